#include "ImageQuality.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

extern "C" {
#include <vl/sift.h>
}

#include "stb/stb_image.h"
#include "stb/stb_image_resize.h"

namespace artargets {

namespace {

// What a good target has at least; a measure at or above it costs the score nothing.
constexpr int kGoodFeatures = 150;
constexpr double kGoodContrast = 40;    // standard deviation of the grey levels, 0 to 255
constexpr int kGridSide = 4;            // the image cut into 4 x 4 parts for spread
constexpr double kTwinDistance = 0.25;  // descriptors this close look alike to a tracker
constexpr std::size_t kMostFeatures = 500;
constexpr int kLeastSide = 16;

struct Grey {
  int width = 0, height = 0;
  std::vector<unsigned char> pixels;
};

struct Feature {
  float x, y, radius;
  std::array<float, 128> descriptor;
};

// The image scaled down to at most kDetectSize on its longer side (never up); empty when that
// would leave under kLeastSide pixels on its shorter side, too thin to hold a feature (and to
// be resized or searched safely).
Grey ForDetection(const Grey& image) {
  const double scale = std::min(1.0, double(kDetectSize) / std::max(image.width, image.height));
  Grey small{int(image.width * scale), int(image.height * scale), {}};
  if (std::min(small.width, small.height) < kLeastSide) return {};
  if (scale >= 1) return image;
  small.pixels.resize(std::size_t(small.width) * small.height);
  stbir_resize_uint8(image.pixels.data(), image.width, image.height, 0, small.pixels.data(),
                     small.width, small.height, 0, 1);
  return small;
}

std::vector<Feature> SiftFeatures(const Grey& image) {
  if (image.pixels.empty()) return {};
  std::vector<float> pixels(image.pixels.begin(), image.pixels.end());
  for (float& p : pixels) p /= 255.0f;
  std::unique_ptr<VlSiftFilt, decltype(&vl_sift_delete)> sift(
      vl_sift_new(image.width, image.height, -1, 3, 0), vl_sift_delete);
  vl_sift_set_peak_thresh(sift.get(), 0.01);
  std::vector<Feature> features;
  for (int status = vl_sift_process_first_octave(sift.get(), pixels.data()); status == VL_ERR_OK;
       status = vl_sift_process_next_octave(sift.get())) {
    vl_sift_detect(sift.get());
    const VlSiftKeypoint* keys = vl_sift_get_keypoints(sift.get());
    for (int k = 0; k < vl_sift_get_nkeypoints(sift.get()); ++k) {
      double angles[4];
      const int count = vl_sift_calc_keypoint_orientations(sift.get(), angles, &keys[k]);
      for (int a = 0; a < count && features.size() < kMostFeatures; ++a) {
        Feature f{keys[k].x, keys[k].y, keys[k].sigma, {}};
        vl_sift_calc_keypoint_descriptor(sift.get(), f.descriptor.data(), &keys[k], angles[a]);
        features.push_back(f);
      }
    }
  }
  return features;
}

double Contrast(const Grey& image) {
  double sum = 0, squares = 0;
  for (unsigned char p : image.pixels) sum += p, squares += double(p) * p;
  const double n = double(image.pixels.size()), mean = sum / n;
  return std::sqrt(std::max(0.0, squares / n - mean * mean));
}

// How many features fall in each of the grid's parts, row by row.
std::array<int, kGridSide * kGridSide> GridCounts(const std::vector<Feature>& features,
                                                  const Grey& image) {
  std::array<int, kGridSide * kGridSide> counts{};
  for (const Feature& f : features) {
    const int gx = std::clamp(int(f.x * kGridSide / image.width), 0, kGridSide - 1);
    const int gy = std::clamp(int(f.y * kGridSide / image.height), 0, kGridSide - 1);
    ++counts[gy * kGridSide + gx];
  }
  return counts;
}

// How many of the grid's parts hold a fair share of the features.
int PartsCovered(const std::vector<Feature>& features, const Grey& image) {
  const auto counts = GridCounts(features, image);
  const int fair = std::max<int>(1, int(features.size()) / (4 * kGridSide * kGridSide));
  return int(std::count_if(counts.begin(), counts.end(), [&](int c) { return c >= fair; }));
}

// The features and the grid's coverage as the report draws them, in the rated image's pixels.
void Describe(const std::vector<Feature>& features, const Grey& small, ImageQuality& q) {
  const float toImage = small.width > 0 ? float(q.width) / float(small.width) : 1.0f;
  for (const Feature& f : features)
    q.features.push_back({f.x * toImage, f.y * toImage, f.radius * toImage});
  const auto counts = GridCounts(features, small);
  const float fair = std::max(1.0f, float(features.size()) / (kGridSide * kGridSide));
  q.coverageColumns = q.coverageRows = kGridSide;
  for (int c : counts) q.coverage.push_back(std::min(1.0f, float(c) / fair));
}

// The share of features that have a look-alike elsewhere in the image.
double TwinShare(const std::vector<Feature>& features) {
  if (features.size() < 2) return 0;
  constexpr float kLimit = kTwinDistance * kTwinDistance;
  int twins = 0;
  for (const Feature& a : features) {
    for (const Feature& b : features) {
      const float dx = a.x - b.x, dy = a.y - b.y;
      if (dx * dx + dy * dy < 64) continue;  // the same place, another angle
      float d = 0;
      for (std::size_t i = 0; i < a.descriptor.size() && d < kLimit; ++i)
        d += (a.descriptor[i] - b.descriptor[i]) * (a.descriptor[i] - b.descriptor[i]);
      if (d < kLimit) {
        ++twins;
        break;
      }
    }
  }
  return double(twins) / double(features.size());
}

ImageQuality Rate(const Grey& image) {
  ImageQuality q{"", image.width, image.height};
  const Grey small = ForDetection(image);
  const std::vector<Feature> features = SiftFeatures(small);
  const double contrast = Contrast(image);
  const int parts = PartsCovered(features, small);
  const double twins = TwinShare(features);
  Describe(features, small, q);
  const double featureFactor = std::min(1.0, double(features.size()) / kGoodFeatures);
  const double spreadFactor = double(parts) / (kGridSide * kGridSide);
  const double contrastFactor = std::min(1.0, contrast / kGoodContrast);
  const double repeatFactor = 1 - twins;
  q.score = int(std::lround(100 * featureFactor * std::sqrt(spreadFactor) *
                            std::sqrt(contrastFactor) * repeatFactor));
  if (featureFactor < 0.7)
    q.reasons.push_back("too few features (" + std::to_string(features.size()) + ")");
  if (!features.empty() && spreadFactor < 0.6)
    q.reasons.push_back("features bunched in one part of the image (" + std::to_string(parts) +
                        " of " + std::to_string(kGridSide * kGridSide) + " parts)");
  if (contrastFactor < 0.6) q.reasons.push_back("low contrast");
  if (twins > 0.3)
    q.reasons.push_back("repetitive pattern (" + std::to_string(std::lround(twins * 100)) +
                        "% of features look alike)");
  return q;
}

// JPEG and PNG, by their first bytes. stb_image reads more formats, but its readers of the
// rarer ones (PNM, PSD, HDR...) are not safe on damaged files: the fuzzer crashed its PNM reader.
bool IsJpegOrPng(std::string_view bytes) {
  return bytes.starts_with("\xff\xd8\xff") || bytes.starts_with("\x89PNG\r\n\x1a\n");
}

// Whether a JPEG defines a Huffman table of more than 256 codes, which stb_image 2.27 (Debian's
// libstb) writes past the end of its arrays, in stbi_info already, before it would look at the
// count (the fuzzer found it). The file is walked as stb reads it: a marker is 0xFF, any more
// 0xFF, then its byte; a segment stb reads through is skipped by its length, and anything else,
// entropy-coded data too, byte by byte, where stb finds the same markers or has stopped.
bool HasOversizedHuffmanTable(std::string_view bytes) {
  const auto at = [&](std::size_t i) { return i < bytes.size() ? int(std::uint8_t(bytes[i])) : 0; };
  for (std::size_t i = 2; i < bytes.size();) {  // past the start of image
    if (at(i++) != 0xff) continue;
    while (i < bytes.size() && at(i) == 0xff) ++i;
    const int marker = at(i++);
    const int length = at(i) << 8 | at(i + 1);
    for (std::size_t t = i + 2, left = std::size_t(std::max(length - 2, 0));
         marker == 0xc4 && left > 0 && t < bytes.size();) {
      const int table = at(t++);
      if (table >> 4 > 1 || (table & 15) > 3) break;  // stb refuses the segment
      int codes = 0;
      for (int bits = 0; bits < 16; ++bits) codes += at(t++);
      if (codes > 256) return true;
      t += std::size_t(codes);
      left -= std::min(left, std::size_t(17 + codes));
    }
    const bool segment = (marker >= 0xc0 && marker <= 0xc2) || marker == 0xc4 ||
                         (marker >= 0xda && marker <= 0xdd) || (marker >= 0xe0 && marker <= 0xef) ||
                         marker == 0xfe;
    if (segment) i += std::size_t(length);
  }
  return false;
}

}  // namespace

ImageQuality RateImage(std::string_view bytes) {
  if (!IsJpegOrPng(bytes)) return {"is not a JPEG or PNG image"};
  if (bytes.starts_with("\xff\xd8") && HasOversizedHuffmanTable(bytes))
    return {"cannot be decoded (a Huffman table of more than 256 codes)"};
  const auto* data = reinterpret_cast<const stbi_uc*>(bytes.data());
  const int length = int(std::min<std::size_t>(bytes.size(), INT32_MAX));
  int width = 0, height = 0, channels = 0;
  if (!stbi_info_from_memory(data, length, &width, &height, &channels))
    return {"is not an image stb_image can read (" + std::string(stbi_failure_reason()) + ")"};
  if (static_cast<long long>(width) * height > kMaxPixels)
    return {"has " + std::to_string(width) + " x " + std::to_string(height) +
                " pixels, over the limit of " + std::to_string(kMaxPixels / 1'000'000) +
                " megapixels; it is not decoded",
            width, height};
  std::unique_ptr<stbi_uc, decltype(&stbi_image_free)> pixels(
      stbi_load_from_memory(data, length, &width, &height, &channels, 1), stbi_image_free);
  if (!pixels)
    return {"cannot be decoded (" + std::string(stbi_failure_reason()) + ")", width, height};
  Grey grey{width, height, {pixels.get(), pixels.get() + std::size_t(width) * height}};
  return Rate(grey);
}

std::uint64_t ContentHash(std::string_view bytes) {
  std::uint64_t hash = 1469598103934665603ULL;  // FNV-1a
  for (unsigned char b : bytes) hash = (hash ^ b) * 1099511628211ULL;
  return hash;
}

}  // namespace artargets
