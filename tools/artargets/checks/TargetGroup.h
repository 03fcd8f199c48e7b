// Targets that share what should be each one's own: an id (ART201), a name (ART208) or a
// picture (ART307). Every member carries a finding of its own, which names a few of the others
// (OthersText) and points at its group by the group's index in the file's list; the list holds
// each group's members once. So what `check` prints grows with the targets, never with the
// square of a group: 20,000 targets that share a picture print 20,000 lines of bounded length.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "checks/PlacedTarget.h"

namespace artargets {

struct TargetGroup {
  std::string code;         // of its members' findings
  std::string shared;       // what they share, as text: the id, the name, the picture's path
  std::vector<int> places;  // its members' places, in file order
};

// How many of the other members a member's finding names; the rest it counts.
inline constexpr std::size_t kOthersNamed = 3;

// The members of `places` (in file order) other than `place`, for a finding's message: `target 9
// "B"`, or `targets 1 "A", 2 "B", 4 "D" and 19,996 more`. Names come from `names` (in file order),
// or are left out when it is null; the work is the same whatever the size of the group.
std::string OthersText(const std::vector<int>& places, int place,
                       const std::vector<PlacedTarget>* names);
// `n` with its thousands set apart by commas: "19,996".
std::string CountText(std::size_t n);

}  // namespace artargets
