// Runs a program as a child process and measures it as a user would see it: the wall time from
// its start to its exit, and its peak resident memory and processor time (the kernel's own
// counts, from wait4).
// A run that exceeds its limits is killed, so that one command gone quadratic cannot take the
// machine's memory, its disk or the whole evening.
#pragma once

#include <string>
#include <vector>

#include "PairedRuns.h"

namespace arbench {

struct ChildLimits {
  double seconds = 180;
  double residentBytes = 8e9;
  double outputBytes = 4e9;  // what it prints to `outPath`
};

// Runs `args` (args[0] is the program's path), standard input empty, standard output to
// `outPath` and standard error to `errPath`. Exit status 0 and 1 count as finished (a check
// with findings and a diff with differences exit 1); anything else is a failure, named with the
// first line the program wrote to standard error.
Measured RunChild(const std::vector<std::string>& args, const std::string& outPath,
                  const std::string& errPath, const ChildLimits& limits);

}  // namespace arbench
