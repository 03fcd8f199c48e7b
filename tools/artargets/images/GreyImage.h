// A grey image, one byte per pixel, row by row from the top left: what every measure of an
// image's worth as a target reads.
#pragma once

#include <cstddef>
#include <vector>

namespace artargets {

struct GreyImage {
  int width = 0, height = 0;
  std::vector<unsigned char> pixels{};

  unsigned char At(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
};

// `image` resized to `width` x `height` (stb_image_resize's default filters).
GreyImage Resized(const GreyImage& image, int width, int height);

}  // namespace artargets
