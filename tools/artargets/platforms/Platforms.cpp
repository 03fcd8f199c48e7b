#include "platforms/Platforms.h"

#include <filesystem>

#include "platforms/ExportManifest.h"
#include "platforms/PlatformLibraries.h"
#include "support/InputFile.h"

namespace artargets {

namespace fs = std::filesystem;

namespace {

struct PlatformRow {
  Platform platform;
  const char* name;
  const char* title;
};
constexpr PlatformRow kPlatforms[] = {{Platform::kArkit, "arkit", "ARKit"},
                                      {Platform::kArcore, "arcore", "ARCore"},
                                      {Platform::kUnity, "unity", "Unity AR Foundation"},
                                      {Platform::kVuforia, "vuforia", "Vuforia"}};

// Where a target no platform places stands: at the origin, facing +z, right along +x.
void Unplaced(TargetRecord& target) {
  target.normal = {0, 0, 1};
  target.xdir = {1, 0, 0};
  target.ydir = {0, 1, 0};
}

// Whether the two paths hold the same bytes.
bool SameBytes(const std::string& a, const std::string& b) {
  std::string x, y, why;
  return ReadInputFile(a, x, why) && ReadInputFile(b, y, why) && x == y;
}

// Gives back what the manifest beside `path` knows of each target the platform read: the
// platform's word on the width (and the height, where it carries one) stands; the picture keeps
// the manifest's path when that file is the same picture.
void Restore(Platform platform, const std::string& path, const std::string& imageRoot,
             std::vector<TargetRecord>& targets) {
  const fs::path folder = fs::is_directory(path) ? fs::path(path) : fs::path(path).parent_path();
  std::string text, why;
  ReadInputFile((folder / kManifestName).string(), text, why);
  const auto known = ManifestTargets(text);
  const bool carriesHeight = platform == Platform::kUnity || platform == Platform::kVuforia;
  for (TargetRecord& target : targets) {
    const auto found = known.find(target.name);
    if (found == known.end()) {
      Unplaced(target);
      continue;
    }
    const TargetRecord read = target;
    target = found->second;
    target.width = read.width;
    if (carriesHeight) target.height = read.height;
    const fs::path original = fs::path(imageRoot) / target.image;
    if (!SameBytes(original.string(), (fs::path(imageRoot) / read.image).string()))
      target.image = read.image;
  }
}

}  // namespace

std::string PlatformName(Platform platform) {
  for (const PlatformRow& row : kPlatforms)
    if (row.platform == platform) return row.name;
  return {};
}

std::string PlatformTitle(Platform platform) {
  for (const PlatformRow& row : kPlatforms)
    if (row.platform == platform) return row.title;
  return {};
}

std::optional<Platform> PlatformNamed(const std::string& name) {
  for (const PlatformRow& row : kPlatforms)
    if (name == row.name) return row.platform;
  return std::nullopt;
}

std::string PlatformNames() { return "arkit, arcore, unity, vuforia"; }

const std::vector<Platform>& AllPlatforms() {
  static const std::vector<Platform> all = {Platform::kArkit, Platform::kArcore, Platform::kUnity,
                                            Platform::kVuforia};
  return all;
}

std::vector<ExportedFile> ExportLibrary(Platform platform, const ExportSource& source) {
  std::vector<ExportedFile> files;
  switch (platform) {
    case Platform::kArkit:
      files = ExportArkit(source);
      break;
    case Platform::kArcore:
      files = ExportArcore(source);
      break;
    case Platform::kUnity:
      files = ExportUnity(source);
      break;
    case Platform::kVuforia:
      files = ExportVuforia(source);
      break;
  }
  files.push_back({kManifestName, ManifestText(platform, source, files), ""});
  return files;
}

bool ImportLibrary(Platform platform, const std::string& path, const std::string& imageRoot,
                   const LengthUnit& unit, std::vector<TargetRecord>& targets, std::string& error) {
  using Reader = bool (*)(const std::string&, const std::string&, const LengthUnit&,
                          std::vector<TargetRecord>&, std::string&);
  const Reader readers[] = {ImportArkit, ImportArcore, ImportUnity, ImportVuforia};
  if (!readers[static_cast<int>(platform)](path, imageRoot, unit, targets, error)) return false;
  Restore(platform, path, imageRoot, targets);
  return true;
}

}  // namespace artargets
