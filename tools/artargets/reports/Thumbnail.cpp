#include "reports/Thumbnail.h"

#include <stb/stb_image.h>
#include <stb/stb_image_resize.h>
#include <stb/stb_image_write.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "images/ImageQuality.h"
#include "support/InputFile.h"

namespace artargets {

namespace {

constexpr int kJpegQuality = 75;

void Append(void* context, void* data, int size) {
  static_cast<std::string*>(context)->append(static_cast<const char*>(data), std::size_t(size));
}

}  // namespace

std::string Base64(std::string_view bytes) {
  static const char* const kDigits =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
    std::uint32_t group = 0;
    for (std::size_t k = 0; k < 3; ++k)
      group = group << 8 | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
    for (std::size_t k = 0; k < 4; ++k) out += k <= n ? kDigits[(group >> (18 - 6 * k)) & 63] : '=';
  }
  return out;
}

std::optional<Thumbnail> MakeThumbnail(const std::string& path, int longest) {
  std::string bytes, why;
  if (!ReadInputFile(path, bytes, why)) return std::nullopt;
  const auto* data = reinterpret_cast<const stbi_uc*>(bytes.data());
  const int size = int(std::min<std::size_t>(bytes.size(), 0x7fffffff));
  int w = 0, h = 0, channels = 0;
  if (!stbi_info_from_memory(data, size, &w, &h, &channels) || w <= 0 || h <= 0 ||
      (long long)w * h > kMaxPixels)
    return std::nullopt;
  const std::unique_ptr<stbi_uc, void (*)(void*)> pixels(
      stbi_load_from_memory(data, size, &w, &h, &channels, 3), stbi_image_free);
  if (!pixels) return std::nullopt;
  const double scale = std::min(1.0, double(longest) / std::max(w, h));
  Thumbnail thumbnail;
  thumbnail.width = std::max(1, int(w * scale));
  thumbnail.height = std::max(1, int(h * scale));
  std::vector<unsigned char> small(std::size_t(thumbnail.width) * thumbnail.height * 3);
  if (!stbir_resize_uint8(pixels.get(), w, h, 0, small.data(), thumbnail.width, thumbnail.height, 0,
                          3))
    return std::nullopt;
  std::string jpeg;
  if (!stbi_write_jpg_to_func(Append, &jpeg, thumbnail.width, thumbnail.height, 3, small.data(),
                              kJpegQuality))
    return std::nullopt;
  thumbnail.dataUri = "data:image/jpeg;base64," + Base64(jpeg);
  return thumbnail;
}

}  // namespace artargets
