// What `check --images` finds in the images of a file's targets. Each target's image is looked
// for (a relative path against `root`), each distinct content is rated once (ImageQuality.h), in
// parallel across the cores, with progress on a terminal; then each target is judged: its image
// missing or unreadable, under kSmallestSide pixels on its shorter side, of another shape than
// the target (past kAspectTolerance), too coarse for the target's size (under
// kLeastPixelsPerMetre), blurred, mostly plain, scoring under kWarnBelowScore, shared with other
// targets, or the same picture as another target's or like it; notes say when transparency was
// composited onto white and when an Exif orientation was applied.
#pragma once

#include <string>
#include <vector>

#include "checks/Finding.h"
#include "checks/PlacedTarget.h"
#include "checks/TargetGroup.h"
#include "images/ImageQuality.h"
#include "images/RatingCache.h"
#include "support/Json.h"

namespace artargets {

inline constexpr int kSmallestSide = 300;
inline constexpr double kAspectTolerance = 0.05;
inline constexpr double kLeastPixelsPerMetre = 2000;  // about 50 dots per inch
inline constexpr int kWarnBelowScore = 50;

struct TargetImage {
  PlacedTarget target;
  std::string path;  // where the image was looked for
  bool found = false;
  ImageQuality quality;
  double pixelsPerMetre = 0;  // along the target's width (in its unit); 0 when unknown
  std::vector<Finding> findings;
};

// `cache`, when given, supplies saved ratings and keeps new ones (RatingCache.h). Targets that
// share a picture are added to `groups`, when given, and their findings point into it.
std::vector<TargetImage> CheckImages(const std::vector<PlacedTarget>& targets,
                                     const std::string& root, const RatingCache* cache = nullptr,
                                     std::vector<TargetGroup>* groups = nullptr);
// The findings' messages, in order.
std::vector<std::string> Messages(const std::vector<Finding>& findings);
// The object of one target's image, for scripts (check --images --json has one per target).
Json ImageJson(const TargetImage& image);

}  // namespace artargets
