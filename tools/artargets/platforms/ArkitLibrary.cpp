// ARKit: an Xcode asset catalog's resource group, NAME.arresourcegroup/, with one
// TARGET.arreferenceimage/ folder per target holding its picture and a Contents.json that gives
// the physical width (ARKit derives the height from the picture's shape).
#include <filesystem>
#include <nlohmann/json.hpp>

#include "platforms/ExportManifest.h"
#include "platforms/LibraryFiles.h"
#include "platforms/PlatformLibraries.h"
#include "support/InputFile.h"
#include "support/SafeText.h"

namespace artargets {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

namespace {

const Json& XcodeInfo() {
  static const Json info = {{"author", "xcode"}, {"version", 1}};
  return info;
}

std::string XcodeText(const Json& json) { return json.dump(2) + "\n"; }

// ARKit's units and their length in metres; a width is written in metres unless another
// unit gives it in whole numbers.
struct ArkitUnit {
  const char* name;
  double metres;
};
constexpr ArkitUnit kArkitUnits[] = {
    {"meters", 1}, {"centimeters", 0.01}, {"inches", 0.0254}, {"feet", 0.3048}, {"yards", 0.9144}};

}  // namespace

std::vector<ExportedFile> ExportArkit(const ExportSource& source) {
  const std::string group = source.name + ".arresourcegroup/";
  std::vector<ExportedFile> files;
  Json resources = Json::array();
  for (const TargetRecord& target : source.targets) {
    const std::string folder = group + target.name + ".arreferenceimage/";
    const std::string picture = target.name + PictureExtension(target);
    files.push_back(PictureCopy(folder + picture, target, source.imageRoot));
    const Json contents = {
        {"images", Json::array({{{"filename", picture}, {"idiom", "universal"}}})},
        {"info", XcodeInfo()},
        {"properties", {{"unit", "meters"}, {"width", target.width * source.unit.metres}}}};
    files.push_back({folder + "Contents.json", XcodeText(contents), ""});
    resources.push_back({{"filename", target.name + ".arreferenceimage"}});
  }
  files.push_back(
      {group + "Contents.json", XcodeText({{"info", XcodeInfo()}, {"resources", resources}}), ""});
  return files;
}

namespace {

// One reference image's folder into a target; false, with why, when it cannot be read.
bool ReadReferenceImage(const fs::path& folder, const std::string& imageRoot,
                        const LengthUnit& unit, TargetRecord& target, std::string& error) {
  std::string text;
  if (!ReadInputFile((folder / "Contents.json").string(), text, error)) return false;
  const Json contents = Json::parse(text, nullptr, false);
  if (contents.is_discarded() || !contents.is_object())
    return error = (folder / "Contents.json").string() + " is not JSON", false;
  target.name = folder.stem().string();
  const Json& images = contents.value("images", Json::array());
  for (const Json& image : images)
    if (image.is_object() && image.contains("filename") && image["filename"].is_string())
      target.image = fs::relative(folder / image["filename"].get<std::string>(), imageRoot)
                         .lexically_normal()
                         .string();
  const Json& properties = contents.value("properties", Json::object());
  double metres = 1;
  const std::string unitName =  // Xcode writes "unit"; Apple's samples write "units"
      properties.value("unit", properties.value("units", std::string("meters")));
  for (const ArkitUnit& u : kArkitUnits)
    if (unitName == u.name) metres = u.metres;
  const Json width = properties.value("width", Json());
  if (width.is_number()) target.width = width.get<double>() * metres / unit.metres;
  target.height = HeightFromPicture(PicturePath(target, imageRoot), target.width, 0);
  return true;
}

}  // namespace

bool ImportArkit(const std::string& path, const std::string& imageRoot, const LengthUnit& unit,
                 std::vector<TargetRecord>& targets, std::string& error) {
  std::error_code failed;
  fs::path group = path;  // the group itself, or the export's folder that holds it
  for (const auto& entry : fs::directory_iterator(path, failed))
    if (entry.is_directory() && entry.path().extension() == ".arresourcegroup")
      group = entry.path();
  std::vector<fs::path> folders;
  for (const auto& entry : fs::directory_iterator(group, failed))
    if (entry.is_directory() && entry.path().extension() == ".arreferenceimage")
      folders.push_back(entry.path());
  if (failed) return error = "cannot read the folder " + path + ": " + failed.message(), false;
  std::sort(folders.begin(), folders.end());
  for (const fs::path& folder : folders) {
    TargetRecord target;
    if (!ReadReferenceImage(folder, imageRoot, unit, target, error)) return false;
    targets.push_back(std::move(target));
  }
  if (targets.empty()) error = path + " holds no .arreferenceimage folder";
  return !targets.empty();
}

}  // namespace artargets
