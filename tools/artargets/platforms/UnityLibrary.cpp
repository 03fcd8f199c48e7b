// Unity AR Foundation: an XRReferenceImageLibrary asset (YAML, NAME.asset) with its .meta, and
// the pictures in Images/ with theirs. Every guid is made from stable inputs (the library's
// name, the target's name and picture), so that exporting the same targets again gives the
// same bytes and version control stays quiet.
#include <cstdint>
#include <filesystem>
#include <map>
#include <sstream>

#include "platforms/LibraryFiles.h"
#include "platforms/PlatformLibraries.h"
#include "platforms/UnityGuid.h"
#include "support/InputFile.h"

namespace artargets {

namespace fs = std::filesystem;

namespace {

// AR Foundation's library class, the same in every version of it.
constexpr char kLibraryScript[] = "848409ee8ba454f42a5ddff137688a27";

std::string GuidPair(const std::string& indent, const std::string& guid) {
  const auto [low, high] = SerializedGuid(guid);
  return indent + "m_GuidLow: " + std::to_string(low) + "\n" + indent +
         "m_GuidHigh: " + std::to_string(high) + "\n";
}

std::string PictureMeta(const std::string& guid) {
  return "fileFormatVersion: 2\nguid: " + guid + "\n";
}

std::string AssetMeta(const std::string& guid) {
  return PictureMeta(guid) +
         "NativeFormatImporter:\n  externalObjects: {}\n  mainObjectFileID: 11400000\n"
         "  userData: \n  assetBundleName: \n  assetBundleVariant: \n";
}

std::string ImageEntry(const TargetRecord& target, const std::string& library,
                       const std::string& textureGuid, double metres) {
  std::string entry = "  - m_SerializedGuid:\n" +
                      GuidPair("      ", StableGuid({library, "image", target.name})) +
                      "    m_SerializedTextureGuid:\n" + GuidPair("      ", textureGuid);
  entry += "    m_Size: {x: " + NumberText(target.width * metres) +
           ", y: " + NumberText(target.height * metres) + "}\n";
  entry += "    m_SpecifySize: 1\n    m_Name: " + YamlScalar(target.name) + "\n";
  entry += "    m_Texture: {fileID: 2800000, guid: " + textureGuid + ", type: 3}\n";
  return entry;
}

}  // namespace

std::vector<ExportedFile> ExportUnity(const ExportSource& source) {
  std::vector<ExportedFile> files;
  std::string images;
  for (const TargetRecord& target : source.targets) {
    const std::string picture = "Images/" + target.name + PictureExtension(target);
    const std::string textureGuid = StableGuid({source.name, "picture", target.name, picture});
    files.push_back(PictureCopy(picture, target, source.imageRoot));
    files.push_back({picture + ".meta", PictureMeta(textureGuid), ""});
    images += ImageEntry(target, source.name, textureGuid, source.unit.metres);
  }
  std::string asset =
      "%YAML 1.1\n%TAG !u! tag:unity3d.com,2011:\n--- !u!114 &11400000\nMonoBehaviour:\n"
      "  m_ObjectHideFlags: 0\n  m_CorrespondingSourceObject: {fileID: 0}\n"
      "  m_PrefabInstance: {fileID: 0}\n  m_PrefabAsset: {fileID: 0}\n"
      "  m_GameObject: {fileID: 0}\n  m_Enabled: 1\n  m_EditorHideFlags: 0\n"
      "  m_Script: {fileID: 11500000, guid: " +
      std::string(kLibraryScript) + ", type: 3}\n  m_Name: " + YamlScalar(source.name) +
      "\n  m_EditorClassIdentifier: \n" + GuidPair("  ", StableGuid({source.name, "library"})) +
      "  m_DataStore:\n    m_Storage: []\n  m_Images:" + (images.empty() ? " []\n" : "\n" + images);
  files.push_back({source.name + ".asset", asset, ""});
  files.push_back({source.name + ".asset.meta", AssetMeta(StableGuid({source.name, "asset"})), ""});
  return files;
}

namespace {

// The value after "KEY:" on a line, trimmed; nothing when the line holds another key.
std::optional<std::string> ValueOf(const std::string& line, const std::string& key) {
  const std::size_t at = line.find_first_not_of(" -");
  if (at == std::string::npos || line.compare(at, key.size() + 1, key + ":") != 0)
    return std::nullopt;
  std::string value = line.substr(at + key.size() + 1);
  value.erase(0, value.find_first_not_of(' '));
  while (!value.empty() && (value.back() == ' ' || value.back() == '\r')) value.pop_back();
  return value;
}

// "{x: 0.1, y: 0.2}" or "{fileID: 2800000, guid: abc, type: 3}": the value of `key` in it.
std::string InlineValue(const std::string& map, const std::string& key) {
  const std::size_t at = map.find(key + ":");
  if (at == std::string::npos) return {};
  const std::size_t from = map.find_first_not_of(' ', at + key.size() + 1);
  const std::size_t to = map.find_first_of(",}", from);
  return map.substr(from, to - from);
}

// Each picture's guid, from the .meta files below `folder`.
std::map<std::string, fs::path> PicturesByGuid(const fs::path& folder) {
  std::map<std::string, fs::path> pictures;
  std::error_code failed;
  for (const auto& entry : fs::recursive_directory_iterator(folder, failed)) {
    if (entry.path().extension() != ".meta") continue;
    std::string text, why;
    if (!ReadInputFile(entry.path().string(), text, why)) continue;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
      if (const auto guid = ValueOf(line, "guid"))
        pictures[*guid] = fs::path(entry.path()).replace_extension();
  }
  return pictures;
}

}  // namespace

bool ImportUnity(const std::string& path, const std::string& imageRoot, const LengthUnit& unit,
                 std::vector<TargetRecord>& targets, std::string& error) {
  fs::path asset = path;
  if (fs::is_directory(asset))
    for (const auto& entry : fs::directory_iterator(path))
      if (entry.path().extension() == ".asset") asset = entry.path();
  std::string text;
  if (!ReadInputFile(asset.string(), text, error))
    return error = "cannot read " + asset.string() + ": " + error, false;
  if (text.find("m_Images:") == std::string::npos)
    return error = asset.string() + " is not a reference image library (no m_Images)", false;
  const auto pictures = PicturesByGuid(asset.parent_path());
  std::istringstream lines(text.substr(text.find("m_Images:")));
  for (std::string line; std::getline(lines, line);) {
    if (line.find("- m_SerializedGuid:") != std::string::npos) targets.emplace_back();
    if (targets.empty()) continue;
    TargetRecord& target = targets.back();
    if (const auto size = ValueOf(line, "m_Size")) {
      double x = 0, y = 0;
      std::istringstream(InlineValue(*size, "x")) >> x;
      std::istringstream(InlineValue(*size, "y")) >> y;
      target.width = x / unit.metres;
      target.height = y / unit.metres;
    }
    if (const auto name = ValueOf(line, "m_Name")) target.name = FromYamlScalar(*name);
    if (const auto texture = ValueOf(line, "m_Texture")) {
      const auto found = pictures.find(InlineValue(*texture, "guid"));
      if (found != pictures.end())
        target.image = fs::relative(found->second, imageRoot).lexically_normal().string();
    }
  }
  return true;
}

}  // namespace artargets
