#include "commands/ReportCommand.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <map>

#include "commands/CommandSupport.h"
#include "reports/HtmlReport.h"
#include "reports/TargetViews.h"
#include "support/AllCores.h"
#include "support/SafeText.h"
#include "targets/ValueText.h"

namespace artargets {

namespace {

namespace fs = std::filesystem;

TargetRecord RecordOfPlaced(const PlacedTarget& t) {
  TargetRecord r;
  r.name = t.name;
  r.image = t.image;
  r.width = t.width;
  r.height = t.height;
  r.type = t.type;
  r.id = t.id;
  r.center = t.center;
  r.normal = t.normal;
  r.xdir = t.xdir;
  r.ydir = t.ydir;
  return r;
}

// The thumbnails of every image found, each distinct path made once, on all cores.
void AddThumbnails(std::vector<ReportedFile>& files) {
  std::map<std::string, std::optional<Thumbnail>> byPath;
  for (const ReportedFile& f : files)
    for (const TargetImage& image : f.checked.images)
      if (image.found && image.quality.problem.empty()) byPath[image.path];
  std::vector<std::pair<const std::string*, std::optional<Thumbnail>*>> work;
  for (auto& [path, thumbnail] : byPath) work.emplace_back(&path, &thumbnail);
  OnAllCores(work.size(), [&](std::size_t i) {
    *work[i].second = MakeThumbnail(*work[i].first, kThumbnailSize);
  });
  for (ReportedFile& f : files)
    for (const TargetImage& image : f.checked.images)
      f.thumbnails.push_back(byPath.count(image.path) ? byPath[image.path] : std::nullopt);
}

// Puts the folder `made` where `dir` is, replacing an earlier one; false, with why, when it
// cannot.
bool Replace(const fs::path& made, const fs::path& dir, std::string& why) {
  std::error_code error;
  const fs::file_status there = fs::symlink_status(dir, error);
  fs::path old;
  if (fs::exists(there)) {
    if (!fs::is_directory(there)) {
      why = "it is there and not a folder";
      return false;
    }
    old = made;
    old += ".old";
    fs::rename(dir, old, error);
  } else {
    error.clear();  // nothing there: nothing to move away
  }
  if (!error) fs::rename(made, dir, error);
  if (error) {
    why = error.message();
    std::error_code ignored;
    if (!old.empty()) fs::rename(old, dir, ignored);  // the earlier report back in its place
    return false;
  }
  if (!old.empty()) fs::remove_all(old, error);
  return true;
}

}  // namespace

int Report(const std::vector<std::string>& paths, const std::string& dir,
           const CheckOptions& options) {
  CheckOptions checking = options;
  checking.images = true;
  std::vector<ReportedFile> files;
  for (const auto& [path, inFolder] : FilesToCheck(paths)) {
    ReportedFile& file = files.emplace_back();
    file.checked = CheckFile(path, checking, inFolder);
    if (file.checked.skipped) {
      files.pop_back();
      continue;
    }
    std::vector<TargetRecord> records;
    std::vector<int> scores;
    for (const PlacedTarget& t : file.checked.targets) records.push_back(RecordOfPlaced(t));
    for (const TargetImage& image : file.checked.images)
      scores.push_back(image.found && image.quality.problem.empty() ? image.quality.score : 0);
    file.svg = RenderSvg(records, fs::path(path).filename().string(), scores, options.unit.name);
  }
  if (files.empty()) return Fail("no target files to report on under the paths given");
  AddThumbnails(files);
  const fs::path target = fs::absolute(fs::path(dir).lexically_normal());
  std::string pattern =
      (target.parent_path() / ("." + target.filename().string() + "-XXXXXX")).string();
  if (!::mkdtemp(pattern.data())) return Fail("cannot write " + dir + ": " + std::strerror(errno));
  const mode_t mask = ::umask(0);  // mkdtemp makes the folder private; a report is to be read
  ::umask(mask);
  fs::permissions(pattern, static_cast<fs::perms>(0777 & ~mask));
  std::string error, why;
  if (!WriteText(pattern + "/index.html", HtmlReport(files, options.unit.name), error) ||
      !Replace(pattern, target, why)) {
    std::error_code ignored;
    fs::remove_all(pattern, ignored);
    return Fail(error.empty() ? "cannot write " + dir + ": " + why : error);
  }
  std::cout << SafeText(dir) << "/index.html: " << files.size() << " file"
            << (files.size() == 1 ? "" : "s") << " reported\n";
  int status = 0;
  for (const ReportedFile& f : files) status |= f.checked.loaded ? 0 : 1;
  return status;
}

}  // namespace artargets
