#include "versioncontrol/Identity.h"

#include <algorithm>

#include "targets/TargetComparison.h"

namespace artargets {

namespace {

// The indices of `group` in order of id, equal ids in the group's order.
std::vector<std::size_t> ById(const Group& group) {
  std::vector<std::size_t> order(group.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return group[a].id < group[b].id; });
  return order;
}

}  // namespace

Pairing PairWithin(const Group& from, const Group& to) {
  Pairing pairing(from.size());
  std::vector<bool> taken(to.size());
  // Equal ids first: the n-th target of `from` with an id takes the n-th of `to` with it. Both
  // walked in order of id, that is one pass, however many targets share the name.
  if (from.size() > 1 || to.size() > 1) {
    const std::vector<std::size_t> a = ById(from), b = ById(to);
    for (std::size_t i = 0, k = 0; i < a.size() && k < b.size();) {
      if (from[a[i]].id < to[b[k]].id) {
        ++i;
      } else if (to[b[k]].id < from[a[i]].id) {
        ++k;
      } else {
        pairing[a[i++]] = b[k];
        taken[b[k++]] = true;
      }
    }
  }
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
