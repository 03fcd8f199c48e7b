// artargets::PartialTarget: some of a target's fields, as one element of imported JSON or one
// row of CSV gives them. Whole-file import lays each over add's defaults; `import --update`
// lays each over the target it names, so that only the fields it gives change.
#pragma once

#include <string>
#include <vector>

#include "targets/TargetFields.h"
#include "targets/TargetRecord.h"

namespace artargets {

struct PartialTarget {
  std::string place;  // where it came from, for messages: "target 3", "row 4"
  TargetRecord values;
  std::vector<const Field*> given;  // the fields it sets, each once

  bool Gives(const char* key) const;
  // Copies the given fields into `record`, leaving the others as they are.
  void ApplyTo(TargetRecord& record) const;
  // Whether ApplyTo would change a value of `record` (bit for bit, as SameField compares).
  bool Changes(const TargetRecord& record) const;
};

// Whole targets: each partial laid over add's defaults (TargetRecord{}). Throws UsageError,
// naming its place, for one that gives no name, which add requires too.
std::vector<TargetRecord> WholeTargets(const std::vector<PartialTarget>& partials);

}  // namespace artargets
