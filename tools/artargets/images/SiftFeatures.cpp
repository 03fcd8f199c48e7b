#include "images/SiftFeatures.h"

#include <cmath>
#include <memory>

extern "C" {
#include <vl/sift.h>
}

namespace artargets {

namespace {

using Sift = std::unique_ptr<VlSiftFilt, decltype(&vl_sift_delete)>;

// The height of a keypoint's peak in the current octave's difference of Gaussians.
float Strength(const VlSiftFilt& f, const VlSiftKeypoint& k) {
  const int w = f.octave_width, h = f.octave_height;
  const int level = k.is - f.s_min;
  if (k.ix < 0 || k.iy < 0 || k.ix >= w || k.iy >= h || level < 0 || level > f.S + 1) return 0;
  return std::abs(f.dog[(std::size_t(level) * h + k.iy) * w + k.ix]);
}

// Runs SIFT over `image`, calling `each(filter, keypoint)` for every keypoint, octave by octave.
template <typename Each>
void ForEachKeypoint(const GreyImage& image, double peakThreshold, Each each) {
  if (image.pixels.empty()) return;
  std::vector<float> pixels(image.pixels.begin(), image.pixels.end());
  for (float& p : pixels) p /= 255.0f;
  Sift sift(vl_sift_new(image.width, image.height, -1, 3, 0), vl_sift_delete);
  vl_sift_set_peak_thresh(sift.get(), peakThreshold);
  for (int status = vl_sift_process_first_octave(sift.get(), pixels.data()); status == VL_ERR_OK;
       status = vl_sift_process_next_octave(sift.get())) {
    vl_sift_detect(sift.get());
    const VlSiftKeypoint* keys = vl_sift_get_keypoints(sift.get());
    for (int k = 0; k < vl_sift_get_nkeypoints(sift.get()); ++k) each(sift.get(), keys[k]);
  }
}

Keypoint Place(const VlSiftFilt& f, const VlSiftKeypoint& k) {
  return {k.x, k.y, k.sigma, Strength(f, k)};
}

}  // namespace

std::vector<Keypoint> FindKeypoints(const GreyImage& image, double peakThreshold) {
  std::vector<Keypoint> found;
  ForEachKeypoint(image, peakThreshold,
                  [&](VlSiftFilt* f, const VlSiftKeypoint& k) { found.push_back(Place(*f, k)); });
  return found;
}

std::vector<SiftFeature> DescribeKeypoints(const GreyImage& image, double peakThreshold,
                                           const std::function<bool(const Keypoint&)>& describe) {
  std::vector<SiftFeature> features;
  ForEachKeypoint(image, peakThreshold, [&](VlSiftFilt* f, const VlSiftKeypoint& k) {
    const Keypoint at = Place(*f, k);
    if (!describe(at)) return;
    double angles[4];
    if (vl_sift_calc_keypoint_orientations(f, angles, &k) < 1) return;
    SiftFeature& feature = features.emplace_back(SiftFeature{at, {}});
    vl_sift_calc_keypoint_descriptor(f, feature.descriptor.data(), &k, angles[0]);
  });
  return features;
}

}  // namespace artargets
