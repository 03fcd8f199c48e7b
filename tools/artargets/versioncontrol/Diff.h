// What `diff` finds between two sets of targets. Targets are matched by name, then by id:
// within one name, targets with equal ids pair first and the rest pair in order; what is left
// over was added or removed. A pair whose fields differ (bit for bit) is a change.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "targets/TargetRecord.h"

namespace artargets {

struct Difference {
  std::vector<TargetRecord> removed;
  std::vector<TargetRecord> added;
  std::vector<std::pair<TargetRecord, TargetRecord>> changed;  // (old, new)

  bool Empty() const { return removed.empty() && added.empty() && changed.empty(); }
};

Difference Compare(std::vector<TargetRecord> before, std::vector<TargetRecord> after);
// "- NAME (id N)", "+ NAME (id N)" and "~ NAME (id N)" with one "    key: old -> new" line per
// changed field, the targets in canonical order (by name, then id).
std::string Describe(const Difference& difference);
// {"added": [targets], "removed": [targets], "changed": [{"name", "id", "fields": {KEY: {"old",
// "new"}}}]}, the targets in the JSON form of export.
std::string DescribeJson(const Difference& difference);
// "2 added, 1 removed, 3 changed (4 fields)".
std::string Summary(const Difference& difference);

}  // namespace artargets
