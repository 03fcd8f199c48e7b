#include "versioncontrol/ThreeWay.h"

#include "targets/KeptContent.h"
#include "targets/TargetComparison.h"
#include "targets/TargetFields.h"
#include "versioncontrol/Identity.h"

namespace artargets {

namespace {

constexpr const char* kNone = "(none)";

std::string ChangedFields(const TargetRecord& before, const TargetRecord& after) {
  std::string keys;
  for (const Field& field : kFields)
    if (!SameField(before, after, field))
      keys += (keys.empty() ? "" : ", ") + std::string(field.key);
  return "changed: " + keys;
}

class GroupMerge {
 public:
  explicit GroupMerge(Merged& out) : out_(out) {}

  // Both sides hold the base's target: field by field.
  void Both(const TargetRecord* base, const TargetRecord& ours, const TargetRecord& theirs) {
    TargetRecord merged = ours;
    merged.kept = MergeKept(base ? base->kept : nullptr, ours.kept, theirs.kept);
    for (const Field& field : kFields) {
      if (SameField(ours, theirs, field)) continue;
      if (base && SameField(*base, ours, field)) {
        CopyField(theirs, merged, field);
      } else if (!base || !SameField(*base, theirs, field)) {
        out_.conflicts.push_back({ours.name, ours.id, field.key,
                                  base ? FieldText(*base, field) : kNone, FieldText(ours, field),
                                  FieldText(theirs, field)});
      }
    }
    out_.targets.push_back(std::move(merged));
  }
  // One side removed the base's target; `kept` is the other side's.
  void Removed(const TargetRecord& base, const TargetRecord& kept, bool keptIsOurs) {
    if (SameRecord(base, kept)) return;  // removed on one side, untouched on the other
    const std::string change = ChangedFields(base, kept);
    out_.conflicts.push_back({base.name, base.id, "target", "(present)",
                              keptIsOurs ? change : "removed", keptIsOurs ? "removed" : change});
    if (keptIsOurs) out_.targets.push_back(kept);
  }

 private:
  static void CopyField(const TargetRecord& from, TargetRecord& to, const Field& field) {
    if (field.text) to.*field.text = from.*field.text;
    if (field.number) to.*field.number = from.*field.number;
    if (field.whole) to.*field.whole = from.*field.whole;
    if (field.vector) to.*field.vector = from.*field.vector;
  }

  Merged& out_;
};

void MergeGroup(const Group& base, const Group& ours, const Group& theirs, Merged& out) {
  GroupMerge merge(out);
  const auto toOurs = PairWithin(base, ours), toTheirs = PairWithin(base, theirs);
  for (std::size_t i = 0; i < base.size(); ++i) {
    if (toOurs[i] && toTheirs[i])
      merge.Both(&base[i], ours[*toOurs[i]], theirs[*toTheirs[i]]);
    else if (toOurs[i])
      merge.Removed(base[i], ours[*toOurs[i]], true);
    else if (toTheirs[i])
      merge.Removed(base[i], theirs[*toTheirs[i]], false);
  }
  // What each side added: paired with each other as the base is paired with each side.
  std::vector<TargetRecord> oursAdded, theirsAdded;
  for (std::size_t k : Unpaired(toOurs, ours.size())) oursAdded.push_back(ours[k]);
  for (std::size_t k : Unpaired(toTheirs, theirs.size())) theirsAdded.push_back(theirs[k]);
  const auto added = PairWithin(oursAdded, theirsAdded);
  for (std::size_t i = 0; i < oursAdded.size(); ++i) {
    if (added[i])
      merge.Both(nullptr, oursAdded[i], theirsAdded[*added[i]]);
    else
      out.targets.push_back(oursAdded[i]);
  }
  for (std::size_t k : Unpaired(added, theirsAdded.size())) out.targets.push_back(theirsAdded[k]);
}

}  // namespace

Merged MergeTargets(std::vector<TargetRecord> base, std::vector<TargetRecord> ours,
                    std::vector<TargetRecord> theirs) {
  Merged merged;
  ForEachName<3>({&base, &ours, &theirs},
                 [&](const auto& groups) { MergeGroup(groups[0], groups[1], groups[2], merged); });
  return merged;
}

}  // namespace artargets
