// A folder of its own for a benchmark's files, made under /tmp on first use and kept for the
// whole run (the files a save writes are read by the loads that follow).
#pragma once

#include <stdlib.h>

#include <cstdlib>
#include <string>

namespace arbench {

inline std::string ScratchDirectory() {
  static const std::string dir = [] {
    char pattern[] = "/tmp/ar-bench-XXXXXX";
    if (!::mkdtemp(pattern)) std::abort();
    return std::string(pattern);
  }();
  return dir;
}

}  // namespace arbench
