// `render`: the three views of a target file (TargetViews.h) as an SVG picture.
#pragma once

#include <string>

#include "checks/CheckOptions.h"

namespace artargets {

// The command: the picture of the file at `path` into `out`; with options.images each target
// coloured by its image's score.
int Render(const std::string& path, const std::string& out, const CheckOptions& options);

}  // namespace artargets
