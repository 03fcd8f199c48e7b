// An SVG picture of where the targets stand. Three panels side by side, the top
// (x right, y up), front (x right, z up) and side (y right, z up) views, all at one scale so that
// sizes compare across them, each with its axes and a scale bar in the file's unit. Each target
// is its real rectangle (width along its x direction, height along its y direction; a dot when
// those are not known), with its normal and x direction as arrows of a fixed length, and a label
// kept inside its panel and off the other labels and targets. Given scores (0 to 100, or -1 for
// none), each rectangle is filled by its image's score and the score is printed in its label.
// Colours are the Okabe-Ito palette, which colour-blind readers tell apart. Targets whose centre
// is not finite are left out and counted in the caption.
#pragma once

#include <string>
#include <vector>

#include "targets/TargetRecord.h"

namespace artargets {

// The picture as SVG text; `unit` names the file's lengths for the scale bar.
// A coordinate or length in a drawing (SVG), to six significant digits.
std::string DrawingNumber(double value);

std::string RenderSvg(const std::vector<TargetRecord>& records, const std::string& title,
                      const std::vector<int>& scores = {}, const std::string& unit = "m");
// The fill of a score (-1: none) and what its colours mean, shared with the report.
const char* ScoreColour(int score);
inline constexpr const char* kScoreLegend =
    "image scores: bluish green from 70, orange from 50, vermillion below";

}  // namespace artargets
