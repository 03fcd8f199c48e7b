#include "versioncontrol/Identity.h"

#include "targets/TargetComparison.h"

namespace artargets {

std::map<std::string, Group> GroupByName(std::vector<TargetRecord> records) {
  SortByNameThenId(records);
  std::map<std::string, Group> groups;
  for (auto& r : records) groups[r.name].push_back(std::move(r));
  return groups;
}

Pairing PairWithin(const Group& from, const Group& to) {
  Pairing pairing(from.size());
  std::vector<bool> taken(to.size());
  for (std::size_t i = 0; i < from.size(); ++i)
    for (std::size_t k = 0; k < to.size() && !pairing[i]; ++k)
      if (!taken[k] && to[k].id == from[i].id) pairing[i] = k, taken[k] = true;
  std::size_t next = 0;
  for (std::size_t i = 0; i < from.size(); ++i) {
    while (next < to.size() && taken[next]) ++next;
    if (!pairing[i] && next < to.size()) pairing[i] = next, taken[next] = true;
  }
  return pairing;
}

std::vector<std::size_t> Unpaired(const Pairing& pairing, std::size_t toSize) {
  std::vector<bool> taken(toSize);
  for (const auto& k : pairing)
    if (k) taken[*k] = true;
  std::vector<std::size_t> left;
  for (std::size_t k = 0; k < toSize; ++k)
    if (!taken[k]) left.push_back(k);
  return left;
}

}  // namespace artargets
