#include "commands/ReportCommand.h"

#include <filesystem>
#include <iostream>
#include <map>

#include "checks/PlatformChecks.h"
#include "checks/SettingsFile.h"
#include "commands/CommandSupport.h"
#include "commands/OutputGuard.h"
#include "commands/OwnedFolder.h"
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
  r.rotation = t.rotation;
  return r;
}

// Which of `platforms` each target passes, and the codes of what it fails on.
// With the project's limits, and without the codes it turns off (`checking`).
void AddPlatformVerdicts(ReportedFile& file, const std::string& imageRoot,
                         const CheckOptions& checking) {
  const std::vector<PlacedTarget>& targets = file.checked.targets;
  for (const Platform platform : checking.platforms) {
    file.platforms.push_back(PlatformName(platform));
    auto& codes = file.platformCodes.emplace_back(targets.size());
    std::vector<Finding> findings =
        PlatformFindings(targets, imageRoot, {platform}, file.checked.images, checking.limits);
    ApplyCodes(checking.codes, findings);
    for (const Finding& f : findings)
      if (f.place >= 1 && std::size_t(f.place) <= targets.size())
        codes[std::size_t(f.place) - 1].push_back(f.code);
  }
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

}  // namespace

int Report(const std::vector<std::string>& paths, const std::string& dir,
           const CheckOptions& options) {
  if (!OutputAllowed(dir, Output::kReport, paths)) return 1;
  if (const std::string problem = OwnedFolderProblem(dir, kReportFolder); !problem.empty())
    return Fail(problem);
  SettingsFinder settings(options);
  std::vector<ReportedFile> files;
  for (const auto& [path, inFolder] : FilesToCheck(paths)) {
    CheckOptions checking = settings.For(path);
    checking.images = true;
    ReportedFile& file = files.emplace_back();
    file.checked = CheckFile(path, checking, inFolder);
    if (file.checked.skipped) {
      files.pop_back();
      continue;
    }
    AddPlatformVerdicts(file, ImageRoot(path, options.root), checking);
    std::vector<TargetRecord> records;
    std::vector<int> scores;
    for (const PlacedTarget& t : file.checked.targets) records.push_back(RecordOfPlaced(t));
    for (const TargetImage& image : file.checked.images)
      scores.push_back(image.found && image.quality.problem.empty() ? image.quality.score : 0);
    file.svg = RenderSvg(records, fs::path(path).filename().string(), scores, checking.unit.name);
  }
  if (files.empty()) return Fail("no target files to report on under the paths given");
  AddThumbnails(files);
  std::string error;
  const auto page = [&](const TextPieces& put) {
    return WriteHtmlReport(files, options.unit.name, put);
  };
  if (!WriteOwnedFolder(dir, kReportFolder,
                        std::map<std::string, PiecesWriter>{{"index.html", page}}, error))
    return Fail(error);
  std::cout << SafeText(dir) << "/index.html: " << files.size() << " file"
            << (files.size() == 1 ? "" : "s") << " reported\n";
  int status = 0;
  for (const ReportedFile& f : files) status |= f.checked.loaded ? 0 : 1;
  return status;
}

}  // namespace artargets
