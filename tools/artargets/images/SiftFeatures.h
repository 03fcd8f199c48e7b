// VLFeat's SIFT, as the rating uses it: keypoints with a strength (the height of their
// difference-of-Gaussians peak, which does not depend on where in the image they lie or on the
// order VLFeat finds them), and descriptors for the keypoints a caller chooses. Each keypoint
// counts once, with the descriptor of its dominant orientation.
#pragma once

#include <array>
#include <functional>
#include <vector>

#include "images/GreyImage.h"

namespace artargets {

struct Keypoint {
  float x = 0, y = 0, sigma = 0, strength = 0;
};

struct SiftFeature {
  Keypoint at;
  std::array<float, 128> descriptor{};  // unit length
};

// Every keypoint whose peak reaches `peakThreshold` (grey levels scaled to 0..1).
std::vector<Keypoint> FindKeypoints(const GreyImage& image, double peakThreshold);

// The keypoints as FindKeypoints finds them, described when `describe` says so.
std::vector<SiftFeature> DescribeKeypoints(const GreyImage& image, double peakThreshold,
                                           const std::function<bool(const Keypoint&)>& describe);

}  // namespace artargets
