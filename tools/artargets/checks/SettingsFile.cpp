#include "checks/SettingsFile.h"

#include <toml++/toml.h>

#include <cmath>
#include <filesystem>

#include "support/InputFile.h"
#include "support/UsageError.h"

namespace artargets {

namespace fs = std::filesystem;

const std::vector<SettingKey>& SettingKeys() {
  using S = ProjectSettings;
  // One row per key: a later check's limit is one more row (its table, if new, comes with it).
  static const std::vector<SettingKey> keys = {
      {"thresholds", "fail-below", "check --images --fail-below: the least score that passes", 0,
       100, 0, [](S& s, double v) { s.failBelow = int(v); }},
      {"thresholds", "unit-length", "ART204: how far a direction's length may be off 1", 0, 1, 6,
       [](S& s, double v) { s.limits.unitLength = v; }},
      {"thresholds", "perpendicular-degrees", "ART205: how far directions may be off 90 degrees", 0,
       90, 0, [](S& s, double v) { s.limits.perpendicularDegrees = v; }},
      {"thresholds", "smallest-side", "ART303: the least pixels on the image's shorter side", 1,
       1e6, 0, [](S& s, double v) { s.limits.smallestSide = v; }},
      {"thresholds", "shape-percent", "ART304: how far the image's shape may be off the target's",
       0, 1000, 0, [](S& s, double v) { s.limits.shapePercent = v; }},
      {"thresholds", "pixels-per-metre", "ART305: the least pixels per metre of the target's width",
       1, 1e9, 0, [](S& s, double v) { s.limits.pixelsPerMetre = v; }},
      {"thresholds", "score", "ART306: the least score for tracking, 0 to 100", 0, 100, 0,
       [](S& s, double v) { s.limits.score = v; }},
      {"thresholds", "sharpness", "ART309: the least sharpness", 0, 10, 2,
       [](S& s, double v) { s.limits.sharpness = v; }},
      {"thresholds", "plain-percent", "ART310: the most of the image that may be plain", 0, 100, 0,
       [](S& s, double v) { s.limits.plainPercent = v; }},
      {"thresholds", "look-alike-percent",
       "ART314: the most of an image's features that may match another's", 0, 100, 0,
       [](S& s, double v) { s.limits.lookAlikePercent = v; }},
      {"thresholds", "arkit-refused-side",
       "ART405: ARKit refuses a shorter side of this many pixels or fewer", 0, 1e6, 0,
       [](S& s, double v) { s.limits.arkitRefusedSide = v; }},
      {"thresholds", "arcore-smallest-side", "ART405: the least shorter side ARCore advises", 0,
       1e6, 0, [](S& s, double v) { s.limits.arcoreSmallestSide = v; }},
      {"thresholds", "vuforia-refused-bytes",
       "ART406: Vuforia refuses a picture of this many bytes or more", 1, 1e12, 0,
       [](S& s, double v) { s.limits.vuforiaRefusedBytes = v; }},
      {"thresholds", "most-images", "ART407: the most images one database holds", 1, 1e9, 0,
       [](S& s, double v) { s.limits.mostImages = v; }},
      {"thresholds", "arkit-height-percent",
       "ART409: how far the height may be off the one ARKit derives", 0, 1000, 2,
       [](S& s, double v) { s.limits.arkitHeightPercent = v; }},
      {"thresholds", "arcore-score", "ART410: the least score ARCore advises", 0, 100, 0,
       [](S& s, double v) { s.limits.arcoreScore = v; }},
      {"camera", "width", "the pixels across the frames the camera tracks on", 16, 100000, 0,
       [](S& s, double v) { s.cameraWidth = int(v); }},
      {"camera", "height", "the pixels down the frames the camera tracks on", 16, 100000, 0,
       [](S& s, double v) { s.cameraHeight = int(v); }},
      {"camera", "field-of-view", "the camera's field of view across the frame, in degrees", 1, 179,
       2, [](S& s, double v) { s.fieldOfView = v; }},
      {"camera", "working-distance", "ART315: the metres a print must track from", 0, 1e6, 2,
       [](S& s, double v) { s.workingDistance = v; }},
  };
  return keys;
}

namespace {

// Reads one document into settings, naming "path:line: key" for what it cannot take.
class SettingsReader {
 public:
  explicit SettingsReader(std::string path) { settings_.path = std::move(path); }

  ProjectSettings Read(const std::string& text) {
    toml::table top;
    try {
      top = toml::parse(text, settings_.path);
    } catch (const toml::parse_error& e) {
      throw UsageError(InputName(settings_.path) + ":" + std::to_string(e.source().begin.line) +
                       ": " + std::string(e.description()));
    }
    for (auto&& [key, node] : top) Top(std::string(key.str()), node);
    return std::move(settings_);
  }

 private:
  [[noreturn]] void Fail(const toml::node& node, const std::string& key, const std::string& why) {
    throw UsageError(InputName(settings_.path) + ":" + std::to_string(node.source().begin.line) +
                     ": " + key + ": " + why);
  }

  void Top(const std::string& key, const toml::node& node) {
    if (key == "units") return Units(node);
    if (key == "codes") return Codes(node);
    bool isTable = false;
    for (const SettingKey& k : SettingKeys()) isTable |= k.table == key;
    if (!isTable) Fail(node, key, "no such key (known: units, codes" + Tables() + ")");
    if (!node.is_table()) Fail(node, key, "is a table: write it as [" + key + "]");
    for (auto&& [name, value] : *node.as_table()) Number(key, std::string(name.str()), value);
  }

  static std::string Tables() {
    std::string tables;
    for (const SettingKey& k : SettingKeys())
      if (tables.find(", " + std::string(k.table)) == std::string::npos)
        tables += ", " + std::string(k.table);
    return tables;
  }

  void Units(const toml::node& node) {
    const auto name = node.value<std::string>();
    const auto unit = name ? UnitNamed(*name) : std::nullopt;
    if (!unit) Fail(node, "units", "give one of " + UnitNames() + " as a string");
    settings_.unit = unit;
  }

  void Codes(const toml::node& node) {
    if (!node.is_table()) Fail(node, "codes", "is a table: write it as [codes]");
    for (auto&& [name, value] : *node.as_table()) {
      const std::string code(name.str()), key = "codes." + code;
      if (const std::string problem = CodeProblem(code); !problem.empty())
        Fail(value, key, problem);
      const std::string state = value.value<std::string>().value_or("");
      if (state == "off")
        settings_.codes[code] = std::nullopt;
      else if (state == "error" || state == "warning" || state == "note")
        settings_.codes[code] = state == "error"     ? Severity::kError
                                : state == "warning" ? Severity::kWarning
                                                     : Severity::kNote;
      else
        Fail(value, key, "give \"off\", \"error\", \"warning\" or \"note\"");
    }
  }

  void Number(const std::string& table, const std::string& name, const toml::node& node) {
    const std::string key = table + "." + name;
    const auto row =
        std::find_if(SettingKeys().begin(), SettingKeys().end(),
                     [&](const SettingKey& k) { return k.table == table && k.key == name; });
    if (row == SettingKeys().end()) {
      std::string known;
      for (const SettingKey& k : SettingKeys())
        if (k.table == table) known += (known.empty() ? "" : ", ") + std::string(k.key);
      Fail(node, key, "no such key (known: " + known + ")");
    }
    const std::optional<double> value = node.is_number() ? node.value<double>() : std::nullopt;
    if (!value || !std::isfinite(*value)) Fail(node, key, "give a number");
    if (row->decimals == 0 && *value != std::floor(*value)) Fail(node, key, "give a whole number");
    if (*value < row->least || *value > row->most)
      Fail(node, key, "give a number from " + Whole(row->least) + " to " + Whole(row->most));
    row->set(settings_, *value);
  }

  static std::string Whole(double value) { return std::to_string(std::llround(value)); }

  ProjectSettings settings_;
};

}  // namespace

ProjectSettings ReadSettingsText(const std::string& text, const std::string& path) {
  return SettingsReader(path).Read(text);
}

ProjectSettings ReadSettingsFile(const std::string& path) {
  std::string text, why;
  if (!ReadInputFile(path, text, why))
    throw UsageError("cannot read the settings file " + InputName(path) + ": " + why);
  return ReadSettingsText(text, path);
}

std::string FindSettingsFile(const std::string& targetPath) {
  std::error_code error;
  const bool here = targetPath == "-" || IsPipe(targetPath);
  const bool relative = here || fs::path(targetPath).is_relative();
  fs::path folder = fs::absolute(here ? fs::path(".") : fs::path(targetPath).parent_path(), error)
                        .lexically_normal();
  if (error) return {};
  for (;; folder = folder.parent_path()) {
    const fs::path candidate = folder / kSettingsFileName;
    std::error_code missing;  // a folder without one, or that cannot be read: look further up
    if (fs::is_regular_file(candidate, missing))  // named as the target file is, for messages
      return relative ? candidate.lexically_relative(fs::current_path(error)).string()
                      : candidate.string();
    if (folder == folder.parent_path()) return {};
  }
}

const ProjectSettings& SettingsFinder::Settings(const std::string& targetPath) {
  std::string file = given_.settings.file;
  if (file.empty() && !given_.settings.none) {
    const std::string folder = fs::path(targetPath).parent_path().string();
    const auto known = fileOfFolder_.find(folder);
    file = known != fileOfFolder_.end() ? known->second
                                        : (fileOfFolder_[folder] = FindSettingsFile(targetPath));
  }
  const auto read = read_.find(file);
  if (read != read_.end()) return read->second;
  return read_[file] = file.empty() ? ProjectSettings{} : ReadSettingsFile(file);
}

CheckOptions SettingsFinder::For(const std::string& targetPath) {
  const ProjectSettings& settings = Settings(targetPath);
  CheckOptions options = given_;
  options.settingsFile = settings.path;
  if (!given_.settings.unitGiven && settings.unit) options.unit = *settings.unit;
  if (!given_.settings.failBelowGiven && settings.failBelow)
    options.failBelow = *settings.failBelow;
  options.limits = settings.limits;
  if (!given_.settings.cameraGiven) {
    if (settings.cameraWidth) options.camera.width = *settings.cameraWidth;
    if (settings.cameraHeight) options.camera.height = *settings.cameraHeight;
  }
  if (!given_.settings.fieldOfViewGiven && settings.fieldOfView)
    options.camera.fieldOfView = *settings.fieldOfView;
  if (!given_.settings.workingDistanceGiven && settings.workingDistance)
    options.workingDistance = *settings.workingDistance;
  options.codes = settings.codes;
  for (const std::string& code : given_.settings.disabled) options.codes[code] = std::nullopt;
  for (const std::string& code : given_.settings.enabled) {
    const auto set = options.codes.find(code);
    if (set != options.codes.end() && !set->second) options.codes.erase(set);
  }
  return options;
}

}  // namespace artargets
