// `report`: DIR/index.html, a page people look at (HtmlReport.h) for target files: each file
// checked with its images rated (as `check --images`), its three views drawn and every image
// shown as a thumbnail. DIR holds only what the report owns (OwnedFolder.h): a folder that
// holds anything else is refused before any work, and an earlier report is replaced whole.
#pragma once

#include <string>
#include <vector>

#include "commands/CheckCommand.h"

namespace artargets {

// Largest side of a thumbnail, in pixels.
inline constexpr int kThumbnailSize = 200;

int Report(const std::vector<std::string>& paths, const std::string& dir,
           const CheckOptions& options);

}  // namespace artargets
