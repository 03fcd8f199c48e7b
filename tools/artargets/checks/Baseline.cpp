#include "checks/Baseline.h"

#include <algorithm>
#include <filesystem>

#include "support/InputFile.h"
#include "support/Json.h"
#include "support/UsageError.h"

namespace artargets {

namespace fs = std::filesystem;

namespace {

constexpr int kBaselineVersion = 1;

// The name and id of the target at `place`, as a baseline keys it; empty for the file's own.
std::pair<std::string, std::string> Identity(const CheckedFile& file, int place) {
  const auto target = std::find_if(file.targets.begin(), file.targets.end(),
                                   [&](const PlacedTarget& t) { return t.place == place; });
  if (place == 0 || target == file.targets.end()) return {};
  return {target->name, std::to_string(target->id)};
}

std::string IdText(const Json& id) {
  return id.is_number_integer() ? std::to_string(id.get<long long>()) : "";
}

}  // namespace

std::string NormalPath(const std::string& path, const std::string& folder) {
  if (path == "-") return path;
  std::error_code error;
  const fs::path given(path);
  const fs::path full = given.is_absolute() || folder.empty()
                            ? fs::absolute(given, error)
                            : fs::absolute(fs::path(folder) / given, error);
  return full.lexically_normal().generic_string();
}

Baseline Baseline::Read(const std::string& path) {
  std::string text, why;
  if (!ReadInputFile(path, text, why))
    throw UsageError("cannot read the baseline " + InputName(path) + ": " + why);
  const Json all = Json::parse(text, nullptr, false);
  const auto wrong = [&](const std::string& what) {
    return UsageError("the baseline " + InputName(path) + " " + what +
                      "; give a file check --write-baseline wrote, or check's --format json");
  };
  if (!all.is_object()) throw wrong("is not a JSON object");
  Baseline baseline;
  const bool written = all.contains("artargets_baseline");
  const std::string folder = fs::path(NormalPath(path)).parent_path().string();
  const Json files = written                 ? Json::array({all})
                     : all.contains("files") ? all["files"]
                                             : Json::array({all});
  for (const Json& file : files) {
    if (!file.is_object() || !file.contains("findings") || !file["findings"].is_array())
      throw wrong("holds no findings");
    for (const Json& f : file["findings"]) {
      if (!f.is_object() || !f.value("code", Json()).is_string())
        throw wrong("has a finding without a code");
      const bool ofTarget = written ? f.contains("name") : f.value("target", 0) != 0;
      if (ofTarget && !f.value("name", Json()).is_string())
        throw wrong("names no target by its name (check's JSON before format version 3)");
      const std::string where = written ? f.value("file", "") : file.value("file", "");
      Key key{f["code"], NormalPath(where, written ? folder : ""),
              ofTarget ? f["name"].get<std::string>() : "", ofTarget ? IdText(f["id"]) : ""};
      ++baseline.left_[key];
    }
  }
  return baseline;
}

std::string Baseline::Write(const std::vector<CheckedFile>& files, const std::string& path) {
  const fs::path folder = fs::path(NormalPath(path)).parent_path();
  Json findings = Json::array();
  for (const CheckedFile& file : files) {
    const std::string where =
        file.path == "-"
            ? file.path
            : fs::path(NormalPath(file.path)).lexically_relative(folder).generic_string();
    for (const Finding& f : file.findings) {
      if (f.code == "ART101") continue;  // a file that does not load always fails
      Json row = {{"file", where}, {"code", f.code}};
      if (f.place != 0) {
        const auto [name, id] = Identity(file, f.place);
        row["name"] = name;
        row["id"] = id.empty() ? Json() : Json(std::stoll(id));
      }
      row["message"] = f.message;  // for people reading it; not matched
      findings.push_back(row);
    }
  }
  const Json all = {{"artargets_baseline", kBaselineVersion}, {"findings", findings}};
  return all.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::size_t Baseline::Filter(CheckedFile& file) {
  const std::string where = NormalPath(file.path);
  const auto before = file.findings.size();
  std::erase_if(file.findings, [&](const Finding& f) {
    if (f.code == "ART101") return false;
    const auto [name, id] = Identity(file, f.place);
    const auto left = left_.find({f.code, where, name, id});
    if (left == left_.end() || left->second == 0) return false;
    --left->second;
    return true;
  });
  return before - file.findings.size();
}

}  // namespace artargets
