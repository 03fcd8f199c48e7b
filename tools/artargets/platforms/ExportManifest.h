// The manifest every export writes beside the platform's files, artargets-manifest.json: each
// target as the target file holds it (the JSON of `export`), the picture the export made of it,
// its size in metres, and its place in the model as 4x4 matrices in metres (row-major): from
// the picture's frame (PictureFrame.h) and from each platform's anchor axes, so that an app
// places the model with one multiplication. Import reads it back to restore what a platform
// does not carry.
#pragma once

#include <map>
#include <string>

#include "platforms/Platforms.h"

namespace artargets {

inline constexpr char kManifestName[] = "artargets-manifest.json";

std::string ManifestText(Platform platform, const ExportSource& source,
                         const std::vector<ExportedFile>& files);

// The targets a manifest holds, by name; empty when `text` is not one.
std::map<std::string, TargetRecord> ManifestTargets(const std::string& text);

}  // namespace artargets
