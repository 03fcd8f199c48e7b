#include "platforms/LibraryFiles.h"

#include <algorithm>
#include <filesystem>

#include "images/ShownImage.h"
#include "support/InputFile.h"

namespace artargets {

namespace fs = std::filesystem;

std::string PicturePath(const TargetRecord& target, const std::string& imageRoot) {
  const fs::path image(target.image);
  return (image.is_absolute() ? image : fs::path(imageRoot) / image).string();
}

std::string PictureExtension(const TargetRecord& target) {
  std::string extension = fs::path(target.image).extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  return extension;
}

ExportedFile PictureCopy(const std::string& path, const TargetRecord& target,
                         const std::string& imageRoot) {
  return {path, "", PicturePath(target, imageRoot)};
}

std::optional<PixelSize> PicturePixels(const std::string& path) {
  std::string bytes, why;
  if (!ReadInputFile(path, bytes, why)) return std::nullopt;
  const PictureHeader header = ReadPictureHeader(bytes);
  if (header.width <= 0 || header.height <= 0) return std::nullopt;
  return PixelSize{header.width, header.height};
}

double HeightFromPicture(const std::string& picture, double width, double fallback) {
  const auto pixels = PicturePixels(picture);
  return pixels ? width * pixels->height / pixels->width : fallback;
}

}  // namespace artargets
