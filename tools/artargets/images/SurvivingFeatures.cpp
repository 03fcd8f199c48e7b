#include "images/SurvivingFeatures.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

namespace artargets {

namespace {

constexpr double kPeakThreshold = 0.01;     // grey levels scaled to 0..1
constexpr double kReducedThreshold = 0.02;  // what noise leaves of a weak peak at a third
constexpr int kBudgetCells = 8;             // the budget is spread over 8 x 8 parts

// `width` pixels wide, then a 3 x 3 binomial blur: what a camera makes of the target seen that
// wide. A third of the rating copy's size stands for a working distance (a 640-pixel rating copy
// against a target some 200 pixels wide in a 640 x 480 frame); a half was too kind: grass and
// gravel kept most of their features.
GreyImage ReducedAndSoft(const GreyImage& image, int width) {
  width = std::max(1, width);
  GreyImage half = Resized(
      image, width, std::max(1, int(std::lround(double(image.height) * width / image.width))));
  GreyImage soft = half;
  for (int y = 1; y + 1 < half.height; ++y)
    for (int x = 1; x + 1 < half.width; ++x) {
      int sum = 4 * half.At(x, y);
      sum += 2 * (half.At(x - 1, y) + half.At(x + 1, y) + half.At(x, y - 1) + half.At(x, y + 1));
      sum += half.At(x - 1, y - 1) + half.At(x + 1, y - 1) + half.At(x - 1, y + 1) +
             half.At(x + 1, y + 1);
      soft.pixels[std::size_t(y) * soft.width + x] = static_cast<unsigned char>((sum + 8) / 16);
    }
  return soft;
}

// The reduced copy's keypoints, bucketed by place, to be looked up by a full-size keypoint.
class Found {
 public:
  Found(std::vector<Keypoint> keys, double toFull) {
    for (Keypoint k : keys) {
      k.x *= float(toFull), k.y *= float(toFull), k.sigma *= float(toFull);
      buckets_[Bucket(k.x, k.y)].push_back(k);
    }
  }
  // Whether a keypoint about as large lies within the keypoint's own size of its place.
  bool Has(const Keypoint& k) const {
    const float reach = std::max(2.0f, 0.75f * k.sigma);
    const int span = int(std::ceil(reach / kBucket));
    const auto [bx, by] = Bucket(k.x, k.y);
    for (int y = by - span; y <= by + span; ++y)
      for (int x = bx - span; x <= bx + span; ++x) {
        const auto bucket = buckets_.find({x, y});
        if (bucket == buckets_.end()) continue;
        for (const Keypoint& r : bucket->second) {
          const float dx = r.x - k.x, dy = r.y - k.y, ratio = r.sigma / k.sigma;
          if (dx * dx + dy * dy <= reach * reach && ratio > 0.5f && ratio < 2.5f) return true;
        }
      }
    return false;
  }

 private:
  static constexpr float kBucket = 16;
  static std::pair<int, int> Bucket(float x, float y) {
    return {int(std::floor(x / kBucket)), int(std::floor(y / kBucket))};
  }
  std::map<std::pair<int, int>, std::vector<Keypoint>> buckets_;
};

// At most `budget` features: the strongest of every part, then the second strongest of every
// part, and so on; within one round, the strongest first.
std::vector<SiftFeature> SpreadBudget(std::vector<SiftFeature> features, const GreyImage& image,
                                      std::size_t budget) {
  if (features.size() <= budget) return features;
  std::vector<std::vector<SiftFeature>> parts(kBudgetCells * kBudgetCells);
  for (SiftFeature& f : features) {
    const int gx = std::clamp(int(f.at.x * kBudgetCells / image.width), 0, kBudgetCells - 1);
    const int gy = std::clamp(int(f.at.y * kBudgetCells / image.height), 0, kBudgetCells - 1);
    parts[std::size_t(gy) * kBudgetCells + gx].push_back(f);
  }
  const auto stronger = [](const SiftFeature& a, const SiftFeature& b) {
    return a.at.strength > b.at.strength;
  };
  for (auto& part : parts) std::sort(part.begin(), part.end(), stronger);
  std::vector<SiftFeature> kept;
  for (std::size_t rank = 0; kept.size() < budget; ++rank) {
    std::vector<SiftFeature> round;
    for (const auto& part : parts)
      if (rank < part.size()) round.push_back(part[rank]);
    std::sort(round.begin(), round.end(), stronger);
    round.resize(std::min(round.size(), budget - kept.size()));
    kept.insert(kept.end(), round.begin(), round.end());
  }
  return kept;
}

// The keypoints found in `image` reduced to `width` pixels (none when it is not reduced: then
// every keypoint counts as found again).
std::optional<Found> FoundAt(const GreyImage& image, int width) {
  if (width >= image.width) return std::nullopt;
  const GreyImage reduced = ReducedAndSoft(image, width);
  return Found(FindKeypoints(reduced, kReducedThreshold),
               double(image.width) / std::max(1, reduced.width));
}

}  // namespace

SurvivingFeatures FindSurvivingFeatures(const GreyImage& image, std::size_t budget) {
  SurvivingFeatures out;
  const std::optional<Found> again = FoundAt(image, image.width / 3);
  std::vector<SiftFeature> survivors =
      DescribeKeypoints(image, kPeakThreshold, [&](const Keypoint& k) {
        ++out.found;
        const bool survives = !again || again->Has(k);
        out.survived += survives;
        return survives;
      });
  out.features = SpreadBudget(std::move(survivors), image, budget);
  for (std::size_t i = 0; i < kSurvivalWidths.size(); ++i) {
    const GreyImage seen = ReducedAndSoft(image, std::min(kSurvivalWidths[i], image.width));
    out.atWidth[i] = int(FindKeypoints(seen, kPeakThreshold).size());
  }
  return out;
}

}  // namespace artargets
