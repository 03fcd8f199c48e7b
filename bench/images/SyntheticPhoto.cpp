#include "SyntheticPhoto.h"

#include <algorithm>
#include <random>
#include <vector>

#include "stb/stb_image_write.h"

namespace arbench {

void WriteSyntheticPhoto(const std::string& path, int width, int height, unsigned seed) {
  std::vector<unsigned char> pixels(std::size_t(width) * height, 128);
  std::mt19937 random(seed);
  for (int b = 0; b < 600; ++b) {
    const int cx = int(random() % width), cy = int(random() % height);
    const int r = int(3 + random() % 60);
    const auto grey = static_cast<unsigned char>(random() % 256);
    const bool square = random() % 2 == 0;
    for (int y = std::max(0, cy - r); y < std::min(height, cy + r); ++y)
      for (int x = std::max(0, cx - r); x < std::min(width, cx + r); ++x)
        if (square || (x - cx) * (x - cx) + (y - cy) * (y - cy) < r * r)
          pixels[std::size_t(y) * width + x] = grey;
  }
  stbi_write_jpg(path.c_str(), width, height, 1, pixels.data(), 90);
}

}  // namespace arbench
