// The features of an image that a tracker would still find when it sees the target small, soft
// and noisy: SIFT keypoints of the rating's copy that are found again, at about the same place and
// size, in a copy of a third of its size, slightly blurred, with a higher threshold standing for
// noise. Fine uniform detail (grass, gravel, a blurred background) gives many keypoints at full
// size and few that survive. Of the survivors, at most a budget are described, spread over the
// image: the strongest of each part first, so that which ones are kept does not depend on which way
// up the image is.
//
// A camera sees the target at a series of on-screen widths: how many keypoints it finds in the
// picture reduced to 80, 100, ... 320 pixels wide and softened, at the threshold of the full-size
// picture, is the picture's survival curve. It counts what the camera sees at that width, not
// which full-size keypoints are still there: text and line art lose their finest keypoints when
// small, but their letters and strokes become blobs and corners of their own, which a tracker
// whose reference covers every scale still matches. How far a print tracks follows from it
// (TrackingRange.h).
#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "images/GreyImage.h"
#include "images/SiftFeatures.h"

namespace artargets {

// The target's on-screen widths, in a camera's pixels, at which the survival curve is measured:
// from under the least a tracker holds in a 640 x 480 frame to half the frame (a picture that
// needs more hardly tracks; a wider step would cost as much as all the others).
inline constexpr std::array<int, 7> kSurvivalWidths = {80, 100, 125, 160, 200, 250, 320};

struct SurvivingFeatures {
  int found = 0;     // keypoints at full size
  int survived = 0;  // of those, found again in the reduced copy
  std::vector<SiftFeature>
      features;  // described survivors, at most the budget, in `image`'s pixels
  // The keypoints found in the picture seen at each of kSurvivalWidths (at its own width when
  // it is narrower).
  std::array<int, kSurvivalWidths.size()> atWidth{};
};

SurvivingFeatures FindSurvivingFeatures(const GreyImage& image, std::size_t budget);

}  // namespace artargets
