// `check --format sarif`: the findings as a SARIF 2.1.0 log, which code-scanning services and
// editors read: one run of the tool, every code of FindingCodes.h as a rule, and every finding a
// result located at its file and at the line of its target's element (line 1 for findings about
// the file as a whole), its target named by identity (TargetIdentity.h) as a logical location and
// in a fingerprint that survives edits elsewhere in the file. A finding about a group of targets
// names a few of the others as related locations; the run lists every group's members once.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "checks/FileCheck.h"
#include "targets/Units.h"

namespace artargets {

// Writes the log to `out` a result at a time (a million findings never stand as one tree).
void WriteSarifLog(std::ostream& out, const std::vector<CheckedFile>& files,
                   const LengthUnit& unit);
// The log as text.
std::string SarifLog(const std::vector<CheckedFile>& files, const LengthUnit& unit);
// `path` as a URI reference: relative paths stay relative, absolute ones become file: URIs;
// every byte but unreserved ones and '/' percent-encoded.
std::string PathUri(const std::string& path);

}  // namespace artargets
