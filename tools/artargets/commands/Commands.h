// The tool's commands. Each returns the exit status: 0 success, 1 the operation failed (a file
// that does not load or cannot be written, a name that matches nothing, differences found by
// Diff). Results go to stdout; errors to stderr, each starting with "artargets: ".
#pragma once

#include <string>

#include "TargetOptions.h"

namespace artargets {

int List(const std::string& path, bool json);
int Check(const std::string& path);
int Add(const std::string& path, const TargetOptions& options);
int Set(const std::string& path, const std::string& name, const TargetOptions& options, bool all);
int Remove(const std::string& path, const std::string& name, bool all);
int Export(const std::string& path, const std::string& out);
int Import(const std::string& in, const std::string& path);
int Diff(const std::string& before, const std::string& after);
int Render(const std::string& path, const std::string& out);
int Demo();

}  // namespace artargets
