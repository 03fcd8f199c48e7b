// The features of an image that a tracker would still find when it sees the target small, soft
// and noisy: SIFT keypoints of the rating's copy that are found again, at about the same place and
// size, in a copy of a third of its size, slightly blurred, with a higher threshold standing for
// noise. Fine uniform detail (grass, gravel, a blurred background) gives many keypoints at full
// size and few that survive. Of the survivors, at most a budget are described, spread over the
// image: the strongest of each part first, so that which ones are kept does not depend on which way
// up the image is.
#pragma once

#include <cstddef>
#include <vector>

#include "images/GreyImage.h"
#include "images/SiftFeatures.h"

namespace artargets {

struct SurvivingFeatures {
  int found = 0;     // keypoints at full size
  int survived = 0;  // of those, found again in the reduced copy
  std::vector<SiftFeature>
      features;  // described survivors, at most the budget, in `image`'s pixels
};

SurvivingFeatures FindSurvivingFeatures(const GreyImage& image, std::size_t budget);

}  // namespace artargets
