#include "images/ShownImage.h"

#include <algorithm>
#include <cstdint>
#include <memory>

#include "images/ExifOrientation.h"
#include "stb/stb_image.h"

namespace artargets {

namespace {

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

// Grey and alpha pixel pairs composited onto white; whether any pixel was not opaque.
bool OntoWhite(const unsigned char* greyAlpha, std::size_t count, unsigned char* grey) {
  bool transparent = false;
  for (std::size_t i = 0; i < count; ++i) {
    const int g = greyAlpha[2 * i], a = greyAlpha[2 * i + 1];
    transparent |= a < 255;
    grey[i] = static_cast<unsigned char>((g * a + 255 * (255 - a) + 127) / 255);
  }
  return transparent;
}

// The stored pixels turned and mirrored as Exif orientation 1 to 8 says they are shown: the
// shown pixel (x, y) is the stored pixel this returns.
GreyImage Oriented(const GreyImage& stored, int orientation) {
  if (orientation == 1) return stored;
  const int w = stored.width, h = stored.height;
  const bool swap = SwapsSides(orientation);
  GreyImage shown{swap ? h : w, swap ? w : h, std::vector<unsigned char>(stored.pixels.size())};
  for (int y = 0; y < shown.height; ++y) {
    for (int x = 0; x < shown.width; ++x) {
      int sx = x, sy = y;
      switch (orientation) {
        case 2:
          sx = w - 1 - x;
          break;
        case 3:
          sx = w - 1 - x, sy = h - 1 - y;
          break;
        case 4:
          sy = h - 1 - y;
          break;
        case 5:
          sx = y, sy = x;
          break;
        case 6:
          sx = y, sy = h - 1 - x;
          break;
        case 7:
          sx = w - 1 - y, sy = h - 1 - x;
          break;
        case 8:
          sx = w - 1 - y, sy = x;
          break;
        default:
          break;
      }
      shown.pixels[std::size_t(y) * shown.width + x] = stored.At(sx, sy);
    }
  }
  return shown;
}

// The decoded pixels at most kDetectSize on the longer side (never enlarged).
GreyImage ForRating(GreyImage full) {
  const double scale = std::min(1.0, double(kDetectSize) / std::max(full.width, full.height));
  if (scale >= 1) return full;
  return Resized(full, std::max(1, int(full.width * scale)), std::max(1, int(full.height * scale)));
}

// The number of colour components of a JPEG's frame (its first start-of-frame segment); 0 when
// there is none.
int JpegComponents(std::string_view bytes) {
  const auto at = [&](std::size_t i) { return i < bytes.size() ? int(std::uint8_t(bytes[i])) : 0; };
  for (std::size_t i = 2; i + 9 < bytes.size();) {
    if (at(i) != 0xff) return 0;
    const int marker = at(i + 1);
    if (marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc)
      return at(i + 9);
    i += 2 + std::size_t(at(i + 2) << 8 | at(i + 3));
  }
  return 0;
}

}  // namespace

PictureHeader ReadPictureHeader(std::string_view bytes) {
  PictureHeader header;
  if (!IsJpegOrPng(bytes)) return header;
  const bool jpeg = bytes.starts_with("\xff\xd8");
  header.format = jpeg ? "jpeg" : "png";
  header.cmyk = jpeg && JpegComponents(bytes) == 4;
  if (jpeg && HasOversizedHuffmanTable(bytes)) return header;
  const auto* data = reinterpret_cast<const stbi_uc*>(bytes.data());
  int width = 0, height = 0, channels = 0;
  if (!stbi_info_from_memory(data, int(std::min<std::size_t>(bytes.size(), INT32_MAX)), &width,
                             &height, &channels))
    return header;
  if (SwapsSides(ExifOrientation(bytes))) std::swap(width, height);
  header.width = width;
  header.height = height;
  return header;
}

ShownImage DecodeShown(std::string_view bytes) {
  if (!IsJpegOrPng(bytes)) return {"is not a JPEG or PNG image"};
  const bool jpeg = bytes.starts_with("\xff\xd8");
  if (jpeg && HasOversizedHuffmanTable(bytes))
    return {"cannot be decoded (a Huffman table of more than 256 codes)"};
  const auto* data = reinterpret_cast<const stbi_uc*>(bytes.data());
  const int length = int(std::min<std::size_t>(bytes.size(), INT32_MAX));
  int width = 0, height = 0, channels = 0;
  if (!stbi_info_from_memory(data, length, &width, &height, &channels))
    return {"is not an image stb_image can read (" + std::string(stbi_failure_reason()) + ")"};
  ShownImage shown{"", width, height, ExifOrientation(bytes)};
  if (SwapsSides(shown.orientation)) std::swap(shown.width, shown.height);
  if (static_cast<long long>(width) * height > kMaxPixels) {
    shown.problem = "has " + std::to_string(shown.width) + " x " + std::to_string(shown.height) +
                    " pixels, over the limit of " + std::to_string(kMaxPixels / 1'000'000) +
                    " megapixels; it is not decoded";
    return shown;
  }
  // A PNG may be transparent (an alpha channel, or a palette's tRNS, which stbi_info does not
  // count): it is decoded with alpha. A JPEG never is, and decodes fastest to grey alone.
  const int components = jpeg ? 1 : 2;
  std::unique_ptr<stbi_uc, decltype(&stbi_image_free)> pixels(
      stbi_load_from_memory(data, length, &width, &height, &channels, components), stbi_image_free);
  if (!pixels) {
    shown.problem = "cannot be decoded (" + std::string(stbi_failure_reason()) + ")";
    return shown;
  }
  GreyImage stored{width, height, std::vector<unsigned char>(std::size_t(width) * height)};
  if (jpeg)
    std::copy_n(pixels.get(), stored.pixels.size(), stored.pixels.begin());
  else
    shown.transparent = OntoWhite(pixels.get(), stored.pixels.size(), stored.pixels.data());
  pixels.reset();
  shown.small = Oriented(ForRating(std::move(stored)), shown.orientation);
  return shown;
}

}  // namespace artargets
