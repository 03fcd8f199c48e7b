#include "images/AppearanceHash.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <numbers>
#include <set>
#include <unordered_map>

namespace artargets {

namespace {

constexpr int kSide = 32, kKept = 8;

// cos((2x + 1) u pi / 64) for the kept frequencies u and every x.
const std::array<std::array<double, kSide>, kKept>& Cosines() {
  static const auto table = [] {
    std::array<std::array<double, kSide>, kKept> t{};
    for (int u = 0; u < kKept; ++u)
      for (int x = 0; x < kSide; ++x)
        t[u][x] = std::cos((2 * x + 1) * u * std::numbers::pi / (2 * kSide));
    return t;
  }();
  return table;
}

}  // namespace

std::uint64_t AppearanceHash(const GreyImage& image) {
  if (image.pixels.empty()) return 0;
  const GreyImage tiny = Resized(image, kSide, kSide);
  const auto& cosines = Cosines();
  std::array<std::array<double, kSide>, kKept> rows{};  // each row's transform, kept frequencies
  for (int y = 0; y < kSide; ++y)
    for (int u = 0; u < kKept; ++u)
      for (int x = 0; x < kSide; ++x) rows[u][y] += cosines[u][x] * tiny.At(x, y);
  std::array<double, kKept * kKept> coefficients{};
  for (int v = 0; v < kKept; ++v)
    for (int u = 0; u < kKept; ++u)
      for (int y = 0; y < kSide; ++y) coefficients[v * kKept + u] += cosines[v][y] * rows[u][y];
  std::array<double, kKept * kKept - 1> ac{};  // the mean (0, 0) says nothing of the picture
  std::copy(coefficients.begin() + 1, coefficients.end(), ac.begin());
  std::nth_element(ac.begin(), ac.begin() + ac.size() / 2, ac.end());
  const double median = ac[ac.size() / 2];
  std::uint64_t hash = 0;
  for (std::size_t i = 0; i < coefficients.size(); ++i)
    hash |= std::uint64_t(coefficients[i] > median) << i;
  return hash;
}

std::vector<std::pair<std::size_t, std::size_t>> SamePictures(
    const std::vector<std::uint64_t>& hashes) {
  // Two hashes within kSamePictureBits (< 8) bits of each other are equal in one of their bytes.
  std::unordered_map<std::uint64_t, std::vector<std::size_t>> byByte;  // (byte place, value)
  std::set<std::pair<std::size_t, std::size_t>> pairs;
  for (std::size_t j = 0; j < hashes.size(); ++j) {
    for (int place = 0; place < 8; ++place) {
      auto& same = byByte[std::uint64_t(place) << 8 | ((hashes[j] >> (8 * place)) & 0xff)];
      for (std::size_t i : same)
        if (std::popcount(hashes[i] ^ hashes[j]) <= kSamePictureBits) pairs.insert({i, j});
      same.push_back(j);
    }
  }
  return {pairs.begin(), pairs.end()};
}

}  // namespace artargets
