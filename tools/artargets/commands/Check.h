// What `check` says about a target file. Diagnose tells, in one sentence, why the plug-in
// refuses a file; Examine looks through a file that loads for what the plug-in accepts
// silently but its author probably did not mean, one finding per line, each naming the target
// (its place in the file and its name).
#pragma once

#include <string>
#include <vector>

namespace artargets {

std::string Diagnose(const std::string& path);
std::vector<std::string> Examine(const std::string& path);

}  // namespace artargets
