// `render`: an SVG picture of where the targets stand. Three panels side by side, the top
// (x right, y up), front (x right, z up) and side (y right, z up) views, each scaled to fit the
// targets. Each target is its real rectangle (width along its x direction, height along its y
// direction; a dot when those are not known), with its normal (red) and x direction (blue)
// drawn as arrows of a fixed length and its name beside it. Given scores (0 to 100, or -1 for
// none), each rectangle is filled by its image's score: green from 70, orange from 50, red
// below. Targets whose centre is not finite are left out and counted in the caption.
#pragma once

#include <string>
#include <vector>

#include "TargetRecord.h"

namespace artargets {

// The picture as SVG text.
std::string RenderSvg(const std::vector<TargetRecord>& records, const std::string& title,
                      const std::vector<int>& scores = {});

}  // namespace artargets
