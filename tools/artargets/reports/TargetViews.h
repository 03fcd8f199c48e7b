// An SVG picture of where the targets stand. Three panels side by side, the top
// (x right, y up), front (x right, z up) and side (y right, z up) views, all at one scale so that
// sizes compare across them, each with its axes and a scale bar in the file's unit. Each target
// is its real rectangle (width along its x direction, height along its y direction; a dot when
// those are not known), with its normal and x direction as arrows of a fixed length, and a label
// kept inside its panel and off the other labels and the arrows (LabelPlacement.h): labels with
// no room near their target are gathered into "+N more here", or counted in the panel's title
// as left out. Targets drawn identically at the picture's scale (to the pixel, in one colour) are
// drawn once, so that the picture grows with what can be seen, not with the number of targets.
// Given scores (0 to 100, or -1 for none), each rectangle is filled by its image's class of score
// and the score is printed in its label. Colours are the Okabe-Ito palette, which colour-blind
// readers tell apart, with a legend of swatches. Targets whose centre is not finite are left
// out and counted in the caption. Names and the title are made safe (SafeText.h) as every
// text from outside. Takes time in proportion to the number of targets.
#pragma once

#include <string>
#include <vector>

#include "targets/TargetRecord.h"

namespace artargets {

// A coordinate or length in a drawing (SVG), to six significant digits.
std::string DrawingNumber(double value);

// The picture as SVG text; `unit` names the file's lengths for the scale bar.
std::string RenderSvg(const std::vector<TargetRecord>& records, const std::string& title,
                      const std::vector<int>& scores = {}, const std::string& unit = "m");
// The classes of image score, best first: from which score, its colour, and the range in words.
struct ScoreClass {
  int from;
  const char* colour;
  const char* range;
};
inline constexpr ScoreClass kScoreClasses[] = {
    {70, "#009E73", "70 to 100"}, {50, "#F0E442", "50 to 69"}, {0, "#D55E00", "below 50"}};
// The fill of a score (-1: none), shared with the report.
const char* ScoreColour(int score);

}  // namespace artargets
