// `check`: whether target files load and what looks wrong in them, as findings with codes
// (FindingCodes.h), printed as text, JSON, SARIF or JUnit XML. The exit status gates CI: 1 when
// any file has an error finding (with `strict`, any warning), or an image scores under
// `failBelow`; the worst of all files.
#pragma once

#include <string>
#include <vector>

#include "checks/CheckOptions.h"

namespace artargets {

// Checks each path (a folder: every *.xml file under it, those that are not target files named
// and skipped) and prints the findings on standard output.
int Check(const std::vector<std::string>& paths, const CheckOptions& options);

}  // namespace artargets
