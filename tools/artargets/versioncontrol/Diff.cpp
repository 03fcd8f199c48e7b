#include "versioncontrol/Diff.h"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <tuple>

#include "forms/JsonForm.h"
#include "targets/TargetComparison.h"
#include "targets/TargetFields.h"
#include "targets/ValueText.h"
#include "versioncontrol/Identity.h"

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
  Difference difference;
  ForEachName<2>({&before, &after},
                 [&](const auto& groups) { CompareGroup(groups[0], groups[1], difference); });
  return difference;
}

std::string Describe(const Difference& d) {
  std::vector<std::pair<const TargetRecord*, std::string>> entries;
  for (const auto& r : d.removed) entries.emplace_back(&r, Title('-', r));
  for (const auto& r : d.added) entries.emplace_back(&r, Title('+', r));
  for (const auto& [before, after] : d.changed) {
    std::string text = Title('~', before);
    for (const Field& field : kFields)
      if (!SameField(before, after, field))
        text += std::string("    ") + field.key + ": " + FieldText(before, field) + " -> " +
                FieldText(after, field) + "\n";
    entries.emplace_back(&before, std::move(text));
  }
  std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
    return std::tie(a.first->name, a.first->id) < std::tie(b.first->name, b.first->id);
  });
  std::string text;
  for (const auto& entry : entries) text += entry.second;
  return text;
}

std::string DescribeJson(const Difference& d) {
  nlohmann::ordered_json added = nlohmann::ordered_json::array(), removed = added, changed = added;
  for (const auto& r : d.added) added.push_back(RecordJson(r));
  for (const auto& r : d.removed) removed.push_back(RecordJson(r));
  for (const auto& [before, after] : d.changed) {
    nlohmann::ordered_json fields = nlohmann::ordered_json::object();
    for (const Field& field : kFields)
      if (!SameField(before, after, field))
        fields[field.key] = {{"old", FieldJson(before, field)}, {"new", FieldJson(after, field)}};
    changed.push_back({{"name", before.name}, {"id", before.id}, {"fields", fields}});
  }
  return DumpJson({{"added", added}, {"removed", removed}, {"changed", changed}});
}

std::string Summary(const Difference& d) {
  std::size_t fields = 0;
  for (const auto& [before, after] : d.changed)
    for (const Field& field : kFields) fields += !SameField(before, after, field);
  return std::to_string(d.added.size()) + " added, " + std::to_string(d.removed.size()) +
         " removed, " + std::to_string(d.changed.size()) + " changed (" + std::to_string(fields) +
         " field" + (fields == 1 ? "" : "s") + ")\n";
}

}  // namespace artargets
