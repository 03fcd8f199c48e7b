// The three-way merge of target files. Targets are matched by identity as `diff` matches them:
// by name, and where a name repeats, by id (equal ids first, then the rest in order). Fields
// merge one by one: a field changed on one side takes that change, the same change on both
// sides is taken once, two different changes of one field are a conflict. A target removed on
// one side and changed on the other is a conflict, and so is a target added on both sides with
// different fields. Each conflict keeps our side. A change or a target that only one side made
// is never lost. What a target's element holds beyond its fields (KeptContent.h) is taken from
// the side that changed it, ours when both did.
#pragma once

#include <string>
#include <vector>

#include "targets/TargetRecord.h"

namespace artargets {

struct Conflict {
  std::string name;
  long long id = 0;
  std::string field;               // a field's key, or "target" for a removal against a change
  std::string base, ours, theirs;  // as people read them; "(none)" where a side has no target
};

struct Merged {
  std::vector<TargetRecord> targets;
  std::vector<Conflict> conflicts;
};

Merged MergeTargets(std::vector<TargetRecord> base, std::vector<TargetRecord> ours,
                    std::vector<TargetRecord> theirs);

}  // namespace artargets
