#include "Diff.h"

#include <algorithm>
#include <map>

#include "TargetFields.h"
#include "ValueText.h"

namespace artargets {

namespace {

using Group = std::vector<TargetRecord>;

std::map<std::string, Group> ByName(std::vector<TargetRecord> records) {
  SortByNameThenId(records);
  std::map<std::string, Group> groups;
  for (auto& r : records) groups[r.name].push_back(std::move(r));
  return groups;
}

// Pairs targets of one name: equal ids first, then the rest in order.
void CompareGroup(Group before, Group after, Difference& out) {
  std::vector<std::pair<TargetRecord, TargetRecord>> pairs;
  for (auto b = before.begin(); b != before.end();) {
    auto a = std::find_if(after.begin(), after.end(), [&](const auto& r) { return r.id == b->id; });
    if (a == after.end()) {
      ++b;
      continue;
    }
    pairs.emplace_back(std::move(*b), std::move(*a));
    b = before.erase(b);
    after.erase(a);
  }
  const std::size_t common = std::min(before.size(), after.size());
  for (std::size_t i = 0; i < common; ++i) pairs.emplace_back(before[i], after[i]);
  for (std::size_t i = common; i < before.size(); ++i) out.removed.push_back(before[i]);
  for (std::size_t i = common; i < after.size(); ++i) out.added.push_back(after[i]);
  for (auto& pair : pairs)
    if (!SameRecord(pair.first, pair.second)) out.changed.push_back(std::move(pair));
}

std::string Title(char mark, const TargetRecord& r) {
  return std::string(1, mark) + " " + Quoted(r.name) + " (id " + std::to_string(r.id) + ")\n";
}

}  // namespace

Difference Compare(std::vector<TargetRecord> before, std::vector<TargetRecord> after) {
  auto oldGroups = ByName(std::move(before));
  auto newGroups = ByName(std::move(after));
  for (auto& [name, group] : newGroups) oldGroups.try_emplace(name);
  Difference difference;
  for (auto& [name, group] : oldGroups) {
    auto found = newGroups.find(name);
    CompareGroup(std::move(group), found == newGroups.end() ? Group{} : std::move(found->second),
                 difference);
  }
  return difference;
}

std::string Describe(const Difference& d) {
  std::string text;
  for (const auto& r : d.removed) text += Title('-', r);
  for (const auto& r : d.added) text += Title('+', r);
  for (const auto& [before, after] : d.changed) {
    text += Title('~', before);
    for (const Field& field : kFields)
      if (!SameField(before, after, field))
        text += std::string("    ") + field.key + ": " + FieldText(before, field) + " -> " +
                FieldText(after, field) + "\n";
  }
  return text;
}

}  // namespace artargets
