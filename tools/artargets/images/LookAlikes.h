// Different pictures that a tracker could take for one another: each picture's signature (the
// descriptors of its unique features, ImageQuality.h) matched against every other picture's, as
// a tracker matches what the camera sees against all its targets. A feature matches a picture
// when its nearest descriptor among all the other pictures' is that picture's and lies within
// kLookAlikeDistance. The descriptors of all pictures go into one VLFeat k-d forest, searched
// approximately, so that the cost grows about as the number of pictures, not as its square;
// the pictures are searched for on all cores.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace artargets {

inline constexpr double kLookAlikeDistance = 0.3;  // between unit-length SIFT descriptors
// From this share of a picture's features matching another picture, the two are confusable.
inline constexpr double kConfusableShare = 0.25;
// A picture with fewer signature features than this is not judged: too little to compare.
inline constexpr std::size_t kLeastCompared = 20;

struct LookAlike {
  std::size_t picture = 0, other = 0;
  double share = 0;  // of `picture`'s features that match `other`
};

// Each picture's signature: 128 bytes per feature. The pairs, by picture then other, where
// `picture` looks like `other` (the relation need not be symmetric): from `fromShare` of its
// features matching.
std::vector<LookAlike> FindLookAlikes(const std::vector<std::vector<std::uint8_t>>& signatures,
                                      double fromShare = kConfusableShare);

}  // namespace artargets
