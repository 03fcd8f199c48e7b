#include "images/ImageQuality.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "images/AppearanceHash.h"
#include "images/ImageTexture.h"
#include "images/SurvivingFeatures.h"

namespace artargets {

namespace {

// The measures' scales. Each factor is 0 to 1; their product p gives the score
// 100 (1 - e^(-4p)) / (1 - e^(-4)), which leaves an image with little to track near 0 and
// spreads the rest: a product of 0.15 scores 46, 0.3 scores 72, 0.5 scores 88.
constexpr double kUniqueScale = 150;  // unique surviving features: 1 - e^(-n / 150)
constexpr double kSpread = 4;
constexpr double kGoodContrast = 40;    // standard deviation of the grey levels, 0 to 255
constexpr double kSharpScale = 0.45;    // sharpness from which blur costs nothing
constexpr std::size_t kFewUnique = 40;  // under this, the features are named as too few
constexpr int kGridSide = 4;            // the image cut into 4 x 4 parts for spread
constexpr double kTwinDistance = 0.25;  // descriptors this close look alike to a tracker
constexpr std::size_t kDescribed = 500;
constexpr int kLeastSide = 16;
// The distinctive keypoints a camera must find in the target to hold it: eight matches fix a
// homography, and the rest allow for those a changed view, blur and noise lose.
constexpr double kTrackedFrom = 50;
// A picture that keeps them at some width tracks from some distance, and scores at least
// kRangeFloor when it needs the widest measured width, rising to kRangeTop when it keeps them
// at the narrowest: the bands of "tracks close up" up to "a good target".
constexpr double kRangeFloor = 50;
constexpr double kRangeTop = 80;

// How many features fall in each of the grid's parts, row by row.
std::array<int, kGridSide * kGridSide> GridCounts(const std::vector<SiftFeature>& features,
                                                  const GreyImage& image) {
  std::array<int, kGridSide * kGridSide> counts{};
  for (const SiftFeature& f : features) {
    const int gx = std::clamp(int(f.at.x * kGridSide / image.width), 0, kGridSide - 1);
    const int gy = std::clamp(int(f.at.y * kGridSide / image.height), 0, kGridSide - 1);
    ++counts[gy * kGridSide + gx];
  }
  return counts;
}

// How evenly the features cover the grid, 0 to 1: each part counts fully from a quarter of its
// even share of the features, and in proportion below, so that one feature more or less (as
// when the image is turned) moves the measure a little, not by a whole part.
double Spread(const std::vector<SiftFeature>& features, const GreyImage& image) {
  const auto counts = GridCounts(features, image);
  const double fair = std::max(1.0, double(features.size()) / (4 * kGridSide * kGridSide));
  double covered = 0;
  for (int c : counts) covered += std::min(1.0, c / fair);
  return covered / (kGridSide * kGridSide);
}

// The features without a look-alike elsewhere in the image: a repeated pattern misleads a
// tracker only where nothing distinctive is left.
std::vector<SiftFeature> Unique(const std::vector<SiftFeature>& features) {
  constexpr float kLimit = kTwinDistance * kTwinDistance;
  std::vector<SiftFeature> unique;
  for (const SiftFeature& a : features) {
    bool twin = false;
    for (const SiftFeature& b : features) {
      const float dx = a.at.x - b.at.x, dy = a.at.y - b.at.y;
      if (dx * dx + dy * dy < 64) continue;  // the same place
      float d = 0;
      for (std::size_t i = 0; i < a.descriptor.size() && d < kLimit; ++i)
        d += (a.descriptor[i] - b.descriptor[i]) * (a.descriptor[i] - b.descriptor[i]);
      if ((twin = d < kLimit)) break;
    }
    if (!twin) unique.push_back(a);
  }
  return unique;
}

// The features and the grid's coverage as the report draws them, in the shown image's pixels;
// the signature of the first kSignatureFeatures (the strongest of each part first).
void DescribeFeatures(const std::vector<SiftFeature>& unique, const GreyImage& small,
                      ImageQuality& q) {
  const float toImage = small.width > 0 ? float(q.width) / float(small.width) : 1.0f;
  for (const SiftFeature& f : unique)
    q.features.push_back({f.at.x * toImage, f.at.y * toImage, f.at.sigma * toImage});
  const auto counts = GridCounts(unique, small);
  const float fair = std::max(1.0f, float(unique.size()) / (kGridSide * kGridSide));
  q.coverageColumns = q.coverageRows = kGridSide;
  for (int c : counts) q.coverage.push_back(std::min(1.0f, float(c) / fair));
  for (std::size_t i = 0; i < std::min(unique.size(), kSignatureFeatures); ++i)
    for (float v : unique[i].descriptor)
      q.signature.push_back(std::uint8_t(std::min(255.0f, 512.0f * v)));
}

// The least on-screen width from which every wider one keeps kTrackedFrom distinctive keypoints:
// the survival curve's counts, times the share of the described survivors that are unique,
// read between the measured widths on a log scale. 0 when even the widest falls short.
double SmallestWidth(const SurvivingFeatures& found, std::size_t unique) {
  const double share = found.features.empty() ? 0 : double(unique) / found.features.size();
  std::size_t first = kSurvivalWidths.size();
  while (first > 0 && found.atWidth[first - 1] * share >= kTrackedFrom) --first;
  if (first == kSurvivalWidths.size()) return 0;
  if (first == 0) return kSurvivalWidths[0];
  const double below = found.atWidth[first - 1] * share, at = found.atWidth[first] * share;
  const double t = (kTrackedFrom - below) / std::max(1e-9, at - below);
  return kSurvivalWidths[first - 1] *
         std::pow(double(kSurvivalWidths[first]) / kSurvivalWidths[first - 1], t);
}

// What the least on-screen width is worth: kRangeFloor at the widest measured width, kRangeTop
// at the narrowest, and in proportion on a log scale between; 0 when the picture never tracks.
double RangeScore(double smallestWidth) {
  if (smallestWidth <= 0) return 0;
  const double widest = kSurvivalWidths.back(), narrowest = kSurvivalWidths.front();
  const double t = std::log(widest / smallestWidth) / std::log(widest / narrowest);
  return kRangeFloor + (kRangeTop - kRangeFloor) * std::clamp(t, 0.0, 1.0);
}

std::string Percent(double share) { return std::to_string(std::lround(share * 100)) + "%"; }

void Rate(const GreyImage& small, ImageQuality& q) {
  const bool usable = std::min(small.width, small.height) >= kLeastSide;
  const SurvivingFeatures found =
      usable ? FindSurvivingFeatures(small, kDescribed) : SurvivingFeatures{};
  const std::vector<SiftFeature> unique = Unique(found.features);
  const double contrast = Contrast(small);
  q.sharpness = Sharpness(small);
  q.plainShare = PlainShare(small);
  q.appearance = AppearanceHash(small);
  DescribeFeatures(unique, small, q);
  q.smallestWidth = SmallestWidth(found, unique.size());
  const double featureFactor = 1 - std::exp(-double(unique.size()) / kUniqueScale);
  const double spreadFactor = Spread(unique, small);
  const double textureFactor = 1 - 0.6 * q.plainShare * q.plainShare;
  const double sharpFactor = std::clamp(q.sharpness / kSharpScale, 0.4, 1.0);
  const double contrastFactor = std::min(1.0, contrast / kGoodContrast);
  const double product = featureFactor * std::sqrt(spreadFactor) * textureFactor * sharpFactor *
                         std::sqrt(contrastFactor);
  const double farScore = 100 * (1 - std::exp(-kSpread * product)) / (1 - std::exp(-kSpread));
  q.score = int(std::lround(std::max(farScore, RangeScore(q.smallestWidth))));
  if (unique.size() < kFewUnique) {
    // Many features, but nearly all with a look-alike: the pattern repeats.
    const bool repeated = found.features.size() >= 2 * unique.size() + 20;
    q.reasons.push_back(repeated ? "repetitive pattern (" + std::to_string(unique.size()) + " of " +
                                       std::to_string(found.features.size()) +
                                       " features have no look-alike)"
                                 : "too few features that survive at a distance (" +
                                       std::to_string(unique.size()) + ")");
  }
  if (!unique.empty() && spreadFactor < 0.6)
    q.reasons.push_back("features bunched in one part of the image (they cover " +
                        Percent(spreadFactor) + " of it)");
  if (q.plainShare >= kMostlyPlainFrom)
    q.reasons.push_back("mostly plain areas: " + Percent(q.plainShare) + " of the image");
  if (IsBlurred(q)) q.reasons.push_back("blurred");
  if (contrastFactor < 0.6) q.reasons.push_back("low contrast");
}

}  // namespace

bool IsBlurred(const ImageQuality& q) { return q.sharpness > 0 && q.sharpness < kBlurredBelow; }

ImageQuality RateImage(std::string_view bytes) {
  ShownImage shown = DecodeShown(bytes);
  ImageQuality q{shown.problem, shown.width, shown.height};
  if (!q.problem.empty()) return q;
  q.orientation = shown.orientation;
  q.transparent = shown.transparent;
  Rate(shown.small, q);
  return q;
}

std::uint64_t ContentHash(std::string_view bytes) {
  std::uint64_t hash = 1469598103934665603ULL;  // FNV-1a
  for (unsigned char b : bytes) hash = (hash ^ b) * 1099511628211ULL;
  return hash;
}

}  // namespace artargets
