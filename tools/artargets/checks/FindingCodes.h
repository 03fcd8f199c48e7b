// Every code a finding of `check` may carry, with its severity, a title, why it matters, how to
// fix what it reports and an example: the one table the text, JSON, SARIF and JUnit outputs,
// the report, `explain` and the manual's list all follow. A code is never reused for another
// meaning.
//
// Severity decides the gate: an error fails `check` (exit 1) on its own; a warning fails it
// under --strict; a note never does. Errors are what makes a host go wrong for certain: a file
// that does not load, an image that is missing or cannot be read, an id that finds two targets.
#pragma once

#include <string_view>
#include <vector>

#include "checks/Finding.h"

namespace artargets {

// `fix` ends, where a command can do it, with the one command that does, in single quotes,
// its values as placeholders: FILE, K (the target's place in `list`), N, NEW, W H, X Y Z, PATH.
// Run as written with those filled in, it makes the finding go.
struct FindingCode {
  std::string_view code;
  Severity severity;
  std::string_view title;    // what it means, in a few words
  std::string_view why;      // why it matters: what goes wrong in a host or on a platform
  std::string_view fix;      // what to do about it, one or two sentences
  std::string_view example;  // a case that shows it, and its fix where one is typed
};

const std::vector<FindingCode>& FindingCodes();
// The row of `code`, or null for a code the table does not hold.
const FindingCode* FindCode(std::string_view code);
// "error", "warning", "note".
std::string_view SeverityName(Severity severity);

}  // namespace artargets
