// Every code a finding of `check` may carry, with its severity, a title and how to fix what it
// reports: the one table the text, JSON, SARIF and JUnit outputs, the report and the manual's
// list all follow. A code is never reused for another meaning.
//
// Severity decides the gate: an error fails `check` (exit 1) on its own; a warning fails it
// under --strict; a note never does. Errors are what makes a host go wrong for certain: a file
// that does not load, an image that is missing or cannot be read, an id that finds two targets.
#pragma once

#include <string_view>
#include <vector>

#include "checks/Finding.h"

namespace artargets {

struct FindingCode {
  std::string_view code;
  Severity severity;
  std::string_view title;  // what it means, in a few words
  std::string_view fix;    // what to do about it, one or two sentences
};

const std::vector<FindingCode>& FindingCodes();
// The row of `code`, or null for a code the table does not hold.
const FindingCode* FindCode(std::string_view code);
// "error", "warning", "note".
std::string_view SeverityName(Severity severity);

}  // namespace artargets
