// Where each target's element stands in its file, for outputs that point at it (SARIF regions,
// JSON "line"): the line of every <content name="artarget"> element below "targets", in file
// order, as the plug-in's reader meets them (not looking inside a target for more). The file is
// read again for this only by the outputs that need lines: in one pass over its lines when it is
// laid out as the plug-in writes it (PlainTargetText.h), with pugixml otherwise.
#pragma once

#include <string>
#include <vector>

namespace artargets {

// The lines (from 1) of the targets' elements; empty when the file cannot be read or parsed.
std::vector<int> TargetLines(const std::string& path);

}  // namespace artargets
