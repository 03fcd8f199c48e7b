// What a check looks at and how its findings are printed: the options of `check`, which
// `render` and `report` share (they rate images as check does).
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "checks/CheckLimits.h"
#include "checks/Finding.h"
#include "checks/ProjectSettings.h"
#include "images/TrackingRange.h"
#include "platforms/Platforms.h"
#include "targets/Units.h"

namespace artargets {

enum class CheckFormat { kText, kJson, kSarif, kJUnit };

struct CheckOptions {
  bool images = false;
  std::string root;  // where relative image paths start; the file's folder when empty
  CheckFormat format = CheckFormat::kText;
  int failBelow = -1;  // a score under it fails; negative: none does
  bool strict = false;
  bool cache = true;  // reuse saved image ratings (RatingCache.h)
  LengthUnit unit{};
  std::vector<Platform> platforms;  // whose limits to check the targets against (ART4xx)
  // How the command line picks the project's settings (SettingsFile.h), and what they give:
  SettingsChoice settings;
  std::string settingsFile;  // the file the options were completed from; empty for none
  CheckLimits limits;
  std::map<std::string, std::optional<Severity>> codes;  // re-graded, or turned off (nothing)
  std::string baseline, writeBaseline;  // check's --baseline and --write-baseline (Baseline.h)
  Camera camera{};                      // what the tracking range is worked out for
  double workingDistance = 0;           // metres a target must track from (ART315); 0: none
};

}  // namespace artargets
