#include "platforms/ExportManifest.h"

#include "forms/JsonForm.h"
#include "support/Json.h"
#include "support/SafeText.h"
#include "targets/PictureFrame.h"

namespace artargets {

namespace {

Json MatrixJson(const Matrix4& m) {
  Json rows = Json::array();
  for (const auto& row : m) rows.push_back(row);
  return rows;
}

// The transforms of one target, when it has a frame.
Json Placement(const TargetRecord& target, const LengthUnit& unit) {
  const auto frame = FrameOf(target);
  if (!frame) return nullptr;
  const Matrix4 model = ModelFromPicture(*frame, unit.metres);
  const std::pair<const char*, AnchorAxes> anchors[] = {{"arkit", AnchorAxes::kArkitArcore},
                                                        {"arcore", AnchorAxes::kArkitArcore},
                                                        {"unity", AnchorAxes::kUnity},
                                                        {"vuforia", AnchorAxes::kVuforia}};
  Json byPlatform = Json::object();
  for (const auto& [name, axes] : anchors)
    byPlatform[name] = MatrixJson(Multiply(model, PictureFromAnchor(axes)));
  return {{"model_from_picture", MatrixJson(model)}, {"model_from_anchor", byPlatform}};
}

// The picture each target's name was exported as.
std::string ExportedPicture(const TargetRecord& target, const std::vector<ExportedFile>& files) {
  const std::string wanted = "/" + target.name + ".";
  for (const ExportedFile& file : files)
    if (!file.copyOf.empty() && ("/" + file.path).find(wanted) != std::string::npos)
      return file.path;
  return {};
}

}  // namespace

std::string ManifestText(Platform platform, const ExportSource& source,
                         const std::vector<ExportedFile>& files) {
  Json targets = Json::array();
  for (const TargetRecord& target : source.targets)
    targets.push_back({{"target", RecordJson(target)},
                       {"picture", ExportedPicture(target, files)},
                       {"width_m", target.width * source.unit.metres},
                       {"height_m", target.height * source.unit.metres},
                       {"placement", Placement(target, source.unit)}});
  const Json manifest = {
      {"manifest", "artargets"},
      {"version", 1},
      {"platform", PlatformName(platform)},
      {"library", source.name},
      {"units", source.unit.name},
      {"frame", "picture: x right, y up, z out of its face, origin at its centre; metres"},
      {"targets", targets}};
  return DumpJson(manifest);
}

std::map<std::string, TargetRecord> ManifestTargets(const std::string& text) {
  std::map<std::string, TargetRecord> byName;
  const Json manifest = Json::parse(text, nullptr, false);
  if (manifest.is_discarded() || !manifest.is_object() || !manifest.contains("targets"))
    return byName;
  Json records = Json::array();
  for (const Json& entry : manifest["targets"])
    if (entry.is_object() && entry.contains("target")) records.push_back(entry["target"]);
  std::vector<TargetRecord> targets;
  std::string error;
  try {
    if (!FromJsonText(records.dump(), targets, error)) return byName;
  } catch (const std::exception&) {
    return byName;  // a manifest edited by hand into something else restores nothing
  }
  for (TargetRecord& target : targets) byName.emplace(target.name, std::move(target));
  return byName;
}

}  // namespace artargets
