// What `check` finds in a target file that loads: what the plug-in accepts silently but its
// author probably did not mean, as findings (FindingCodes.h) that name the target by its place
// in the file and its name: how the reader reads the file (ART1xx) and the targets' values
// (ART2xx): ids and names used twice, sizes, centres, directions and frames, image paths.
#pragma once

#include <string>
#include <vector>

#include "checks/CheckLimits.h"
#include "checks/Finding.h"
#include "checks/PlacedTarget.h"
#include "checks/TargetGroup.h"
#include "targets/Units.h"

namespace orl {
class SerializedContentElement;
}

namespace artargets {

struct Examination {
  std::vector<Finding> findings;
  std::vector<PlacedTarget> targets;  // the ones the reader fills, in file order
  std::vector<TargetGroup> groups;    // of targets sharing an id or a name; findings point here
};

// Reads the file at `path` the way the plug-in's reader does and examines what it gives; sizes
// are told in `unit`; directions are held to `limits`.
Examination Examine(const std::string& path, const LengthUnit& unit = {},
                    const CheckLimits& limits = {});
// Examines a tree the host's XML form reader filled from a file's "targets", with the
// problems it met.
Examination ExamineTree(const orl::SerializedContentElement& top,
                        const std::vector<std::string>& problems, const LengthUnit& unit = {},
                        const CheckLimits& limits = {});

}  // namespace artargets
