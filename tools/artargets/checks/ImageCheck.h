// What `check --images` finds in the images of a file's targets. Each target's image is looked
// for (a relative path against `root`), each distinct content is rated once (ImageQuality.h), in
// parallel across the cores, with progress on a terminal; then each target is judged against
// the limits (CheckLimits.h): its image missing or unreadable, too few pixels on its shorter
// side, of another shape than the target, too coarse for the target's size, blurred, mostly
// plain, scoring low, shared with other targets, or the same picture as another target's or
// like it; notes say when transparency was composited onto white and when an Exif orientation
// was applied.
#pragma once

#include <string>
#include <vector>

#include "checks/CheckLimits.h"
#include "checks/Finding.h"
#include "checks/PlacedTarget.h"
#include "images/ImageQuality.h"
#include "images/RatingCache.h"

namespace artargets {

struct TargetImage {
  PlacedTarget target;
  std::string path;  // where the image was looked for
  bool found = false;
  ImageQuality quality;
  double pixelsPerMetre = 0;  // along the target's width (in its unit); 0 when unknown
  std::vector<Finding> findings;
};

// `cache`, when given, supplies saved ratings and keeps new ones (RatingCache.h).
std::vector<TargetImage> CheckImages(const std::vector<PlacedTarget>& targets,
                                     const std::string& root, const RatingCache* cache = nullptr,
                                     const CheckLimits& limits = {});
// The findings' messages, in order.
std::vector<std::string> Messages(const std::vector<Finding>& findings);
// One object per target, for scripts (check --images --json).
std::string ImagesJson(const std::vector<TargetImage>& images);

}  // namespace artargets
