// Drives the rating of images. Every input is rated as it is (any file an author might name);
// an input of 4 bytes or more also becomes a small picture (its width and height from the first
// two bytes, its pixels from all of them), written as PNG and as JPEG with stb_image_write and
// then damaged at the places the input's last bytes name, and those are rated too: so the
// decoders of both formats are reached without binary seeds. Whatever the bytes, the rating
// returns, stays within 0 to 100, and says why when it could not rate.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "images/ImageQuality.h"
#include "stb/stb_image_write.h"

namespace {

void Rated(std::string_view bytes) {
  const artargets::ImageQuality q = artargets::RateImage(bytes);
  if (q.score < 0 || q.score > 100) std::abort();
  if (!q.problem.empty() && q.score != 0) std::abort();
}

void Append(void* out, void* data, int size) {
  static_cast<std::string*>(out)->append(static_cast<const char*>(data), std::size_t(size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Rated(std::string_view(reinterpret_cast<const char*>(data), size));
  if (size < 4) return 0;
  const int width = 1 + data[0] % 64, height = 1 + data[1] % 64;
  std::vector<unsigned char> pixels(std::size_t(width) * height);
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = data[i % size];
  std::string png, jpeg;
  stbi_write_png_to_func(Append, &png, width, height, 1, pixels.data(), width);
  stbi_write_jpg_to_func(Append, &jpeg, width, height, 1, pixels.data(), 1 + data[2] % 100);
  for (std::string* encoded : {&png, &jpeg}) {
    if (encoded->empty()) continue;
    Rated(*encoded);
    std::string damaged = *encoded;
    for (std::size_t i = size - 1; i >= 3 && i + 8 > size; i -= 2)  // the last four pairs
      damaged[(std::size_t(data[i - 1]) << 8 | data[i]) % damaged.size()] ^= char(data[i] | 1);
    Rated(damaged);
  }
  return 0;
}
