// A target as its file gives it, with its place there: what the checks of its values and of its
// image look at, and what the outputs name it by.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "targets/TargetRecord.h"
#include "targets/Units.h"
#include "targets/ValueText.h"

namespace artargets {

struct PlacedTarget {
  int place = 0;  // from 1, in file order
  std::string name, image;
  double width = 0, height = 0;  // in the file's units (see `unit`)
  LengthUnit unit{};
  int type = 0;
  long long id = 0;
  Vec3 center{}, normal{}, xdir{}, ydir{};
  int line = 0;  // of its element in the file, from 1; 0 when not known
  double rotation = 0;
};

// How a finding names it: `target 3 "Banner"` (or `target 3` when it has no name).
inline std::string TargetLabel(const PlacedTarget& t) {
  return "target " + std::to_string(t.place) + (t.name.empty() ? "" : " " + Quoted(t.name));
}

// The target at `place` in `targets` (in file order, as a check holds them), or null: a
// target the reader skips has a place but no entry.
inline const PlacedTarget* TargetAt(const std::vector<PlacedTarget>& targets, int place) {
  const auto at = std::lower_bound(targets.begin(), targets.end(), place,
                                   [](const PlacedTarget& t, int p) { return t.place < p; });
  return at != targets.end() && at->place == place ? &*at : nullptr;
}

}  // namespace artargets
