// artargets::RateImage: what one image is worth as a tracking target. The image is taken as a
// viewer shows it (ShownImage.h) and rated from 0 to 100, naming what lowers the score. What
// counts is what a tracker still finds when it sees the target small, soft and noisy: the
// features that survive a reduced, blurred copy (SurvivingFeatures.h), and of those the ones with
// no look-alike elsewhere in the image; how they spread over the image; how much of the image is
// plain; how sharp it is; its contrast. Fine detail that a distance loses still tracks nearer,
// so the score is never under what its tracking range is worth: a picture that tracks from some
// distance is not rated poor. Thread rules: any number of ratings may run at once; they
// share nothing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "images/ShownImage.h"

namespace artargets {

// Raised whenever the rating of the same bytes can change, so that saved ratings are not reused.
inline constexpr int kRatingVersion = 5;
// Under this sharpness (about 1 / an edge's width in pixels at the rating's size) an image is
// named blurred.
inline constexpr double kBlurredBelow = 0.35;
// From this share of plain cells an image is named mostly plain.
inline constexpr double kMostlyPlainFrom = 0.5;
// The unique features kept per image to compare images with each other (128 bytes each).
inline constexpr std::size_t kSignatureFeatures = 200;

// A feature that counted, in the pixels of the image as shown.
struct ImageFeature {
  float x = 0, y = 0, radius = 0;
};

struct ImageQuality {
  std::string problem{};               // why the bytes could not be rated; empty when they were
  int width = 0, height = 0;           // as shown, Exif orientation applied
  int score = 0;                       // 0 to 100
  std::vector<std::string> reasons{};  // what lowered the score, most important first
  std::vector<ImageFeature> features{};
  // The image cut into coverageColumns x coverageRows parts, row by row from the top left: how
  // well each part is covered, from 0 (nothing to track) to 1.
  int coverageColumns = 0, coverageRows = 0;
  std::vector<float> coverage{};
  int orientation = 1;       // the Exif orientation applied, 1 for none
  bool transparent = false;  // composited onto white
  double sharpness = 0;      // see kBlurredBelow
  double plainShare = 0;     // 0 to 1, see kMostlyPlainFrom
  // The least width, in a camera's pixels, at which the target keeps enough distinctive
  // features to be tracked (from the survival curve, SurvivingFeatures.h); 0 when it has too
  // few at any width. How far a print tracks follows from it (TrackingRange.h).
  double smallestWidth = 0;
  // A perceptual hash of the picture (AppearanceHash.h): equal or near for the same picture
  // re-encoded or rescaled.
  std::uint64_t appearance = 0;
  // The descriptors of up to kSignatureFeatures unique features, 128 bytes each (VLFeat's
  // scaling: 512 times the unit-length descriptor, capped at 255), to find look-alike images.
  std::vector<std::uint8_t> signature{};
};

ImageQuality RateImage(std::string_view bytes);

// Whether the image has edges and they are soft: an image without any edge is plain, not
// blurred.
bool IsBlurred(const ImageQuality& q);

// A hash of an image file's bytes, to find one picture used under several names.
std::uint64_t ContentHash(std::string_view bytes);

}  // namespace artargets
