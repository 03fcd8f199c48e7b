// What the platforms' library writers and readers share: where a target's picture is and what it
// is called in an export, sizes in metres, numbers as text, and the pictures' pixel sizes.
#pragma once

#include <optional>
#include <string>

#include "platforms/Platforms.h"
#include "targets/ValueText.h"

namespace artargets {

// Where the target's picture is: its path against `imageRoot` when relative.
std::string PicturePath(const TargetRecord& target, const std::string& imageRoot);
// The picture's extension as the export names it, lower case with its dot (".png"); empty
// when the path has none.
std::string PictureExtension(const TargetRecord& target);
// A picture copied into an export at `path`.
ExportedFile PictureCopy(const std::string& path, const TargetRecord& target,
                         const std::string& imageRoot);

// A picture's width and height in pixels as it is shown (Exif orientation applied), from its
// header; nothing when it cannot be read.
struct PixelSize {
  int width = 0, height = 0;
};
std::optional<PixelSize> PicturePixels(const std::string& path);

// The target's height in `unit` as its picture's shape gives it for `width`; `fallback` when the
// picture cannot be read.
double HeightFromPicture(const std::string& picture, double width, double fallback);

}  // namespace artargets
