// One target file checked: loaded through the plug-in, its values examined (Examination.h),
// with CheckOptions::images its images rated (ImageCheck.h), every finding in one list. What
// `check` prints in its formats and `report` shows.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "checks/CheckOptions.h"
#include "checks/Finding.h"
#include "checks/ImageCheck.h"
#include "checks/PlacedTarget.h"
#include "checks/TargetGroup.h"

namespace artargets {

struct CheckedFile {
  std::string path;
  bool loaded = false;
  bool skipped = false;               // found in a folder, not a target file: not checked (ART102)
  std::string problem;                // why it does not load, when it does not
  std::size_t loadedCount = 0;        // the targets the plug-in loads
  std::vector<PlacedTarget> targets;  // as the file gives them, with their lines
  std::vector<Finding> findings;      // the file's, then its targets' values', then images'
  std::vector<TargetImage> images;    // one per target, with CheckOptions::images
  std::size_t baselined = 0;          // findings left out as a baseline holds them (Baseline.h)
  std::string unit = "m";             // the name of the unit its lengths were read in
  std::vector<TargetGroup> groups;    // targets sharing an id, a name or a picture (Finding::group)
};

// Checks the file at `path`. `inFolder`: it was found walking a folder, so a file that is not a
// target file is skipped with a note rather than failing to load.
CheckedFile CheckFile(const std::string& path, const CheckOptions& options, bool inFolder);
// The files `paths` name: each file itself, and the *.xml files under each folder, sorted; the
// bool tells a file found in a folder.
std::vector<std::pair<std::string, bool>> FilesToCheck(const std::vector<std::string>& paths);
// Where relative image paths start: `root` when given, else the target file's folder.
std::string ImageRoot(const std::string& path, const std::string& root);
// The line of the element of the target at `place`, or the line a finding about the file points
// at; 0 when not known.
int LineOf(const CheckedFile& file, const Finding& finding);
// How many findings of that severity the file has.
std::size_t CountOf(const CheckedFile& file, Severity severity);

}  // namespace artargets
