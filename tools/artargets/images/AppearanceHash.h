// A perceptual hash of a picture: 64 bits from the lowest frequencies of its cosine transform at
// 32 x 32, each set when its coefficient is above their median. Re-encoding (PNG to JPEG),
// rescaling or a slight change of levels leaves all but a few bits alone; another picture flips
// about half. Pictures whose hashes differ in at most kSamePictureBits bits are the same
// picture. SamePictures finds those pairs through an index of the hashes' bytes (two hashes that
// close share at least one byte), so that it costs about as much as the number of hashes, not
// their square.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "images/GreyImage.h"

namespace artargets {

inline constexpr int kSamePictureBits = 4;

std::uint64_t AppearanceHash(const GreyImage& image);

// The pairs (i, j), i < j, of `hashes` that are the same picture, in order.
std::vector<std::pair<std::size_t, std::size_t>> SamePictures(
    const std::vector<std::uint64_t>& hashes);

}  // namespace artargets
