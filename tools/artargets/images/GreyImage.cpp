#include "images/GreyImage.h"

#include "stb/stb_image_resize.h"

namespace artargets {

GreyImage Resized(const GreyImage& image, int width, int height) {
  GreyImage out{width, height, std::vector<unsigned char>(std::size_t(width) * height)};
  stbir_resize_uint8(image.pixels.data(), image.width, image.height, 0, out.pixels.data(), width,
                     height, 0, 1);
  return out;
}

}  // namespace artargets
