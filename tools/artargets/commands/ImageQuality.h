// artargets::RateImage: what one image is worth as a tracking target. It refuses an image past
// kMaxPixels from its header alone, decodes the rest to grey with stb_image (JPEG and PNG; other
// formats are refused by their first bytes) and rates it from 0 to 100, naming what lowers the
// score: too few features, features bunched in one part of the image, low contrast, a repetitive
// pattern. Features are VLFeat's SIFT keypoints on a copy at most kDetectSize pixels on its longer
// side; repetition is measured by matching the image's descriptors against themselves. Thread
// rules: any number of ratings may run at once; they share nothing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace artargets {

inline constexpr long long kMaxPixels = 100'000'000;
inline constexpr int kDetectSize = 640;
// Raised whenever the rating of the same bytes can change, so that saved ratings are not reused.
inline constexpr int kRatingVersion = 1;

// A feature that counted, in the pixels of the image as rated.
struct ImageFeature {
  float x = 0, y = 0, radius = 0;
};

struct ImageQuality {
  std::string problem{};  // why the bytes could not be rated; empty when they were
  int width = 0, height = 0;
  int score = 0;                       // 0 to 100
  std::vector<std::string> reasons{};  // what lowered the score, most important first
  std::vector<ImageFeature> features{};
  // The image cut into coverageColumns x coverageRows parts, row by row from the top left: how
  // well each part is covered, from 0 (nothing to track) to 1.
  int coverageColumns = 0, coverageRows = 0;
  std::vector<float> coverage{};
};

ImageQuality RateImage(std::string_view bytes);

// A hash of an image file's bytes, to find one picture used under several names.
std::uint64_t ContentHash(std::string_view bytes);

}  // namespace artargets
