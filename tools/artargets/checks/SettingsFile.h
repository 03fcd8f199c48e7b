// The project settings file, `.artargets.toml`: found as .clang-tidy and .editorconfig are, in
// the target file's folder or the nearest folder above it, and read with toml++. The name is a
// dot file so that it stays out of listings beside the target files it rules, and TOML so that
// editors colour it and people can comment it. A key the tool does not know, or a value out of
// its range, is an error naming the file, the line and the key (UsageError: exit 2).
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "checks/CheckOptions.h"
#include "checks/ProjectSettings.h"

namespace artargets {

inline constexpr char kSettingsFileName[] = ".artargets.toml";

// One number a settings file may give: the table it stands in, its key, and what it sets.
struct SettingKey {
  std::string_view table, key;
  std::string_view about;  // for the manual's list and for messages
  double least, most;
  int decimals;  // as the finding compares and prints it; 0: a whole number
  void (*set)(ProjectSettings&, double);
};

// Every number a settings file may give (besides "units" and the table of codes).
const std::vector<SettingKey>& SettingKeys();

// Reads the settings file at `path`; throws UsageError naming path:line: key for what it
// cannot take.
ProjectSettings ReadSettingsFile(const std::string& path);
// Reads settings from `text` as if it were the file `path`.
ProjectSettings ReadSettingsText(const std::string& text, const std::string& path);
// The settings file that rules the target file at `targetPath`: the nearest kSettingsFileName
// in its folder or above; empty when there is none. Standard input looks from the current
// folder. The path is relative to the current folder when `targetPath` is.
std::string FindSettingsFile(const std::string& targetPath);

// The options to check one target file with: `given` (the command line's) with the settings
// that rule the file, found once per folder and read once per settings file.
class SettingsFinder {
 public:
  explicit SettingsFinder(const CheckOptions& given) : given_(given) {}
  CheckOptions For(const std::string& targetPath);

 private:
  const ProjectSettings& Settings(const std::string& targetPath);

  CheckOptions given_;
  std::map<std::string, std::string> fileOfFolder_;
  std::map<std::string, ProjectSettings> read_;
};

}  // namespace artargets
