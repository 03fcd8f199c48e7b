// `check --format junit`: the findings as JUnit XML, which CI systems show as tests: one test
// suite per file, one test case per target, named by the target's identity (TargetIdentity.h),
// and one for the file itself when it has findings of its own (or of targets the reader skips)
// or does not load. A case fails on an error finding, and under --strict on a
// warning too; its other findings go to its output.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "checks/FileCheck.h"

namespace artargets {

// Writes the report to `out` a case at a time (a million targets never stand as one text).
void WriteJUnitReport(std::ostream& out, const std::vector<CheckedFile>& files, bool strict);
// The report as text.
std::string JUnitReport(const std::vector<CheckedFile>& files, bool strict);

}  // namespace artargets
