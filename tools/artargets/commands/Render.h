// `render`: an SVG picture of where the targets stand. Three panels side by side, the top
// (x right, y up), front (x right, z up) and side (y right, z up) views, each scaled to fit the
// targets' centres. Each target is a dot with its normal (red) and x direction (blue) drawn as
// arrows of a fixed length and its name beside it. Targets whose centre is not finite are left
// out and counted in the caption.
#pragma once

#include <string>
#include <vector>

#include "TargetRecord.h"

namespace artargets {

// The picture as SVG text.
std::string RenderSvg(const std::vector<TargetRecord>& records, const std::string& title);

}  // namespace artargets
