// The tool's commands. Each returns the exit status: 0 success, 1 the operation failed (a file
// that does not load or cannot be written, a name that matches nothing). Diff answers as
// diff(1) does: 0 the same, 1 different, 2 a file could not be read. Results go to stdout;
// errors to stderr, each starting with "artargets: ".
#pragma once

#include <string>

#include "TargetOptions.h"

namespace artargets {

inline constexpr int kDiffTrouble = 2;

int List(const std::string& path, bool json);
// What check looks at besides the file: the images of its targets, found against `root`
// (the file's folder when empty); `json` prints one object for scripts; a target scoring under
// `failBelow` (when not negative) fails the check.
struct CheckOptions {
  bool images = false;
  std::string root;
  bool json = false;
  int failBelow = -1;
};

int Check(const std::string& path, const CheckOptions& options);
int Add(const std::string& path, const std::string& name, const TargetOptions& options);
int Set(const std::string& path, const std::string& name, const TargetOptions& options, bool all);
int Remove(const std::string& path, const std::string& name, bool all);
int Export(const std::string& path, const std::string& out);
int Import(const std::string& in, const std::string& path);
int Diff(const std::string& before, const std::string& after);
// With options.images, each target is coloured by its image's score (options.root as for Check).
int Render(const std::string& path, const std::string& out, const CheckOptions& options);
int Demo();

}  // namespace artargets
