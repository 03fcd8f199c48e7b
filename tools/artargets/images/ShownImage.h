// An image file's pixels as a viewer shows them, ready to be rated: decoded to grey with
// stb_image (JPEG and PNG only; other formats are refused by their first bytes), turned as its
// Exif orientation says, transparency composited onto white (as it would be printed) and scaled
// down to at most kDetectSize pixels on its longer side. A file past kMaxPixels is refused from
// its header, before decoding.
#pragma once

#include <string>
#include <string_view>

#include "images/GreyImage.h"

namespace artargets {

inline constexpr long long kMaxPixels = 100'000'000;
inline constexpr int kDetectSize = 640;

struct ShownImage {
  std::string problem{};      // why the bytes could not be decoded; empty when they were
  int width = 0, height = 0;  // the full image as shown (Exif orientation applied)
  int orientation = 1;        // the Exif orientation applied, 1 for none
  bool transparent = false;   // some pixels were not opaque, and were composited onto white
  GreyImage small{};          // the rating's copy, at most kDetectSize on its longer side
};

ShownImage DecodeShown(std::string_view bytes);

// What a picture's header says, without decoding its pixels: its format, its size as shown (Exif
// orientation applied; 0 when the header cannot be read) and whether a JPEG holds CMYK (four
// colour components), which some trackers refuse.
struct PictureHeader {
  std::string format;  // "png", "jpeg", or empty for any other
  int width = 0, height = 0;
  bool cmyk = false;
};
PictureHeader ReadPictureHeader(std::string_view bytes);

}  // namespace artargets
