// How JUnit and SARIF name a target so that the name outlives edits elsewhere in its file: by
// its name and id, never by its place. Targets that agree in both are told apart by their order
// among themselves: `"Banner" id 0`, then `"Banner" id 0 #2`. Adding, removing or moving other
// targets changes no target's identity, so a CI system's test history and a code-scanning
// service's alerts stay with their targets.
#pragma once

#include <string>
#include <vector>

#include "checks/PlacedTarget.h"

namespace artargets {

// One identity per target of `targets`, in the same order.
std::vector<std::string> TargetIdentities(const std::vector<PlacedTarget>& targets);

}  // namespace artargets
