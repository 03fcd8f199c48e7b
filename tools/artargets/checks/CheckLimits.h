// Every number a finding compares a measure with, as a team may set it in its project settings
// (ProjectSettings.h): the defaults are the tool's own. Each limit but the platforms' refusals
// (ARKit's side, Vuforia's bytes) is the last value that passes: a measure fails only beyond it,
// and both are compared as the finding prints them (PrintedSteps), so that a value printed as equal
// to its limit never fails it.
#pragma once

#include <string>

namespace artargets {

struct CheckLimits {
  double unitLength = 0.01;          // ART204: how far a direction's length may be off 1
  double perpendicularDegrees = 1;   // ART205: how far directions may be off 90 degrees
  double smallestSide = 300;         // ART303: pixels on the image's shorter side, at least
  double shapePercent = 5;           // ART304: how far the image's shape may be off the target's
  double pixelsPerMetre = 2000;      // ART305: along the target's width, at least
  double score = 50;                 // ART306: the image's score, at least
  double sharpness = 0.35;           // ART309: at least
  double plainPercent = 50;          // ART310: the plain share of the image, at most
  double lookAlikePercent = 25;      // ART314: features matching another picture's, at most
  double arkitRefusedSide = 100;     // ART405: ARKit refuses a shorter side this small or less
  double arcoreSmallestSide = 300;   // ART405: ARCore's advice
  double vuforiaRefusedBytes = 2e6;  // ART406: Vuforia refuses pictures of this size or more
  double mostImages = 1000;          // ART407: images in one database, at most
  double arkitHeightPercent = 1;     // ART409: how far the height may be off the picture's shape
  double arcoreScore = 75;           // ART410: ARCore's advice
};

// A measure as a finding prints it, `decimals` decimals after the point, as a whole number of
// those steps: a measure and its limit compared as steps compare as printed.
long long PrintedSteps(double value, int decimals);
// `steps` of PrintedSteps as text, without trailing zeros: (990000, 6) gives "0.99".
std::string StepsText(long long steps, int decimals);

}  // namespace artargets
