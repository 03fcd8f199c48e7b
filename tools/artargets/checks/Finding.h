// One thing `check` reports: a stable code (every code is listed, with its meaning and its fix,
// in docs/artargets.md), how much it matters, the target it concerns and one line of text.
// Codes are grouped by what they look at: ART1xx the file, ART2xx the targets' values, ART3xx
// their images, ART4xx the AR platforms' limits (check --platform).
#pragma once

#include <string>

namespace artargets {

enum class Severity { kError, kWarning, kNote };

struct Finding {
  std::string code;
  Severity severity = Severity::kWarning;
  int place = 0;        // the target's place in the file (from 1); 0 for the file as a whole
  std::string message;  // one line, naming the target: "target N "name": ..."
  int line = 0;         // for the file as a whole, the line it points at (0: none)
  int group = -1;       // about a group of targets: its index in the file's groups; -1: none
};

}  // namespace artargets
