// A small copy of an image for the report, embedded in the page itself (a data: URI) so that
// the page works offline and travels as one file: decoded with stb_image, scaled down with
// stb_image_resize to at most `longest` pixels on its longer side, and written as JPEG.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace artargets {

struct Thumbnail {
  std::string dataUri;  // "data:image/jpeg;base64,..."
  int width = 0, height = 0;
};

// The thumbnail of the image file at `path`; nothing when it cannot be read or decoded, or is
// past kMaxPixels (ImageQuality.h).
std::optional<Thumbnail> MakeThumbnail(const std::string& path, int longest);
std::string Base64(std::string_view bytes);

}  // namespace artargets
