#include "images/ImageTexture.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace artargets {

namespace {

// A pixel is on an edge (or in texture) when its grey level differs by this much across it.
constexpr int kEdgeStep = 12;
// A cell carries texture when this share of its pixels is on an edge.
constexpr double kTexturedShare = 0.06;

// |dx| + |dy| across the pixel, in grey levels; the pixel must not be on the border.
int Gradient(const GreyImage& g, int x, int y) {
  return std::abs(g.At(x + 1, y) - g.At(x - 1, y)) + std::abs(g.At(x, y + 1) - g.At(x, y - 1));
}

}  // namespace

double PlainShare(const GreyImage& image) {
  if (image.width < 3 || image.height < 3) return 1;
  const double cell = double(std::max(image.width, image.height)) / kTextureCells;
  const int columns = std::max(1, int(std::lround(image.width / cell)));
  const int rows = std::max(1, int(std::lround(image.height / cell)));
  std::vector<int> edges(std::size_t(columns) * rows), pixels(edges.size());
  for (int y = 1; y + 1 < image.height; ++y) {
    const int row = std::min(rows - 1, y * rows / image.height);
    for (int x = 1; x + 1 < image.width; ++x) {
      const std::size_t c =
          std::size_t(row) * columns + std::min(columns - 1, x * columns / image.width);
      ++pixels[c];
      edges[c] += Gradient(image, x, y) >= kEdgeStep;
    }
  }
  int plain = 0;
  for (std::size_t c = 0; c < edges.size(); ++c)
    plain += edges[c] < kTexturedShare * std::max(1, pixels[c]);
  return double(plain) / double(edges.size());
}

double Sharpness(const GreyImage& image) {
  double laplacian = 0, gradient = 0;
  for (int y = 1; y + 1 < image.height; ++y) {
    for (int x = 1; x + 1 < image.width; ++x) {
      const int dx = image.At(x + 1, y) - image.At(x - 1, y);
      const int dy = image.At(x, y + 1) - image.At(x, y - 1);
      if (std::abs(dx) + std::abs(dy) < kEdgeStep) continue;
      const int l = image.At(x + 1, y) + image.At(x - 1, y) + image.At(x, y + 1) +
                    image.At(x, y - 1) - 4 * image.At(x, y);
      laplacian += double(l) * l;
      gradient += (double(dx) * dx + double(dy) * dy) / 4;
    }
  }
  return gradient > 0 ? std::sqrt(laplacian / gradient) : 0;
}

double Contrast(const GreyImage& image) {
  if (image.pixels.empty()) return 0;
  double sum = 0, squares = 0;
  for (unsigned char p : image.pixels) sum += p, squares += double(p) * p;
  const double n = double(image.pixels.size()), mean = sum / n;
  return std::sqrt(std::max(0.0, squares / n - mean * mean));
}

}  // namespace artargets
