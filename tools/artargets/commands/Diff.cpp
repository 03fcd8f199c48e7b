#include "Diff.h"

#include "Identity.h"
#include "TargetFields.h"
#include "ValueText.h"

namespace artargets {

namespace {

// The targets of one name: partners that differ changed, the rest were removed or added.
void CompareGroup(const Group& before, const Group& after, Difference& out) {
  const Pairing pairing = PairWithin(before, after);
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (!pairing[i])
      out.removed.push_back(before[i]);
    else if (!SameRecord(before[i], after[*pairing[i]]))
      out.changed.emplace_back(before[i], after[*pairing[i]]);
  }
  for (std::size_t k : Unpaired(pairing, after.size())) out.added.push_back(after[k]);
}

std::string Title(char mark, const TargetRecord& r) {
  return std::string(1, mark) + " " + Quoted(r.name) + " (id " + std::to_string(r.id) + ")\n";
}

}  // namespace

Difference Compare(std::vector<TargetRecord> before, std::vector<TargetRecord> after) {
  auto oldGroups = GroupByName(std::move(before));
  auto newGroups = GroupByName(std::move(after));
  for (auto& [name, group] : newGroups) oldGroups.try_emplace(name);
  Difference difference;
  for (auto& [name, group] : oldGroups) CompareGroup(group, newGroups[name], difference);
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
