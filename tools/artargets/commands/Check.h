// `check`: whether target files load and what looks wrong in them, as findings with codes
// (FindingCodes.h), printed as text, JSON, SARIF or JUnit XML. The exit status gates CI: 1 when
// any file has an error finding (with `strict`, any warning), or an image scores under
// `failBelow`; the worst of all files.
#pragma once

#include <string>
#include <vector>

#include "PlacedTarget.h"
#include "Platforms.h"
#include "Units.h"

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
};

// Checks each path (a folder: every *.xml file under it, those that are not target files named
// and skipped) and prints the findings on standard output.
int Check(const std::vector<std::string>& paths, const CheckOptions& options);

}  // namespace artargets
