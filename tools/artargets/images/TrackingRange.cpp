#include "images/TrackingRange.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace artargets {

double FocalPixels(const Camera& camera) {
  const double half = camera.fieldOfView / 2 * std::numbers::pi / 180;
  return camera.width / 2.0 / std::tan(half);
}

TrackingRange RangeOf(double smallestWidth, double width, double height, const Camera& camera) {
  const bool sized = std::isfinite(width) && std::isfinite(height) && width > 0 && height > 0;
  if (!sized || smallestWidth <= 0 || camera.width <= 0 || camera.height <= 0) return {};
  const double focal = FocalPixels(camera);
  TrackingRange range;
  range.nearest = focal * std::max(width / camera.width, height / camera.height);
  range.farthest = focal * width / smallestWidth;
  // A target that needs more of the frame than it can fill whole tracks at no distance.
  range.tracks = range.farthest > range.nearest;
  return range;
}

double WidthToReach(const TrackingRange& range, double width, double distance) {
  if (!range.tracks) return 0;
  return width * distance / range.farthest;
}

}  // namespace artargets
