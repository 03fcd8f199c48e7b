#include "checks/FileCheck.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <future>
#include <optional>

#include "checks/ElementLines.h"
#include "checks/Examination.h"
#include "checks/FindingCodes.h"
#include "checks/PlatformChecks.h"
#include "orl/SerializedContent.h"
#include "serializedContent/XmlParser.h"
#include "support/InputFile.h"
#include "targets/ConflictMarkers.h"
#include "targets/PlainTargetText.h"
#include "targets/TargetFiles.h"
#include "targets/ValueText.h"

namespace artargets {

namespace {

namespace fs = std::filesystem;

// Loads `path` through the plug-in and examines the tree the plug-in's reader reads, as the
// host's XML form reader hands it over: the file is read once. A load that hands over no tree
// (or several), or whose tree could not be examined, is examined by reading the file again.
std::optional<std::size_t> LoadAndExamine(const std::string& path, const CheckOptions& options,
                                          Examination& examination, std::string& why) {
  int trees = 0;
  std::optional<std::size_t> count;
  {
    struct Unwatch {
      ~Unwatch() { serializedContent::XmlParser::Watch(nullptr); }
    } unwatch;  // the watcher refers to these locals: it goes before them, whatever happens
    serializedContent::XmlParser::Watch(
        [&](const orl::SerializedContentElement& top, const std::vector<std::string>& problems) {
          if (++trees > 1) return;
          try {
            examination = ExamineTree(top, problems, options.unit, options.limits);
          } catch (const std::exception&) {  // never into the plug-in: examine the file instead
            ++trees;
          }
        });
    count = CountTargetFile(path, why);
  }
  std::string unread;  // a pipe is read again from the copy the load made of it
  if (count && trees != 1)
    examination = Examine(ReadablePath(path, unread), options.unit, options.limits);
  return count;
}

void AddLines(CheckedFile& file, const std::vector<int>& lines) {
  for (PlacedTarget& t : file.targets)
    if (t.place >= 1 && std::size_t(t.place) <= lines.size()) t.line = lines[t.place - 1];
}

}  // namespace

std::string ImageRoot(const std::string& path, const std::string& root) {
  if (!root.empty()) return root;
  if (IsPipe(path)) return ".";  // /dev/fd is no folder of images: as for standard input
  const std::string folder = fs::path(path).parent_path().string();
  return folder.empty() ? "." : folder;
}

CheckedFile CheckFile(const std::string& path, const CheckOptions& options, bool inFolder) {
  CheckedFile file;
  file.path = path;
  file.unit = options.unit.name;
  if (inFolder && !LooksLikeTargetFile(path)) {
    file.skipped = true;
    file.findings.push_back({"ART102", Severity::kNote, 0, kNotATargetFileReason});
    ApplyCodes(options.codes, file.findings);
    return file;
  }
  Examination examination;
  const std::optional<std::size_t> count = LoadAndExamine(path, options, examination, file.problem);
  if (!count) {
    file.findings.push_back({"ART101", Severity::kError, 0, "cannot load: " + file.problem});
    file.findings.back().line = ConflictMarkerLineOf(path);
    return file;
  }
  file.loaded = true;
  file.loadedCount = *count;
  file.targets = std::move(examination.targets);
  file.findings = std::move(examination.findings);
  file.groups = std::move(examination.groups);
  // The targets' lines (for every format but text) are found on another core meanwhile: a
  // million targets' file takes a second to go through.
  std::vector<int> lines;
  std::future<bool> linesFound;
  if (options.format != CheckFormat::kText)
    linesFound = ReadAside([&] {
      lines = TargetLines(path);
      return !lines.empty();
    });
  if (options.images) {
    const RatingCache cache = options.cache ? RatingCache::Usual() : RatingCache("");
    file.images =
        CheckImages(file.targets, ImageRoot(path, options.root), &cache, options.limits,
                    {options.camera, options.workingDistance, options.failBelow}, &file.groups);
    for (const TargetImage& image : file.images)
      file.findings.insert(file.findings.end(), image.findings.begin(), image.findings.end());
  }
  if (!options.platforms.empty()) {
    const auto platform = PlatformFindings(file.targets, ImageRoot(path, options.root),
                                           options.platforms, file.images, options.limits);
    file.findings.insert(file.findings.end(), platform.begin(), platform.end());
  }
  ApplyCodes(options.codes, file.findings);
  for (TargetImage& image : file.images) ApplyCodes(options.codes, image.findings);
  if (linesFound.valid() && linesFound.get()) AddLines(file, lines);
  return file;
}

std::vector<std::pair<std::string, bool>> FilesToCheck(const std::vector<std::string>& paths) {
  std::vector<std::pair<std::string, bool>> files;
  for (const std::string& path : paths) {
    std::error_code error;
    if (!fs::is_directory(path, error)) {
      files.emplace_back(path, false);
      continue;
    }
    std::vector<std::string> found;
    for (auto walk = fs::recursive_directory_iterator(path, error);
         !error && walk != fs::recursive_directory_iterator(); walk.increment(error))
      if (walk->path().extension() == ".xml" && walk->is_regular_file(error))
        found.push_back(walk->path().string());
    std::sort(found.begin(), found.end());
    for (std::string& f : found) files.emplace_back(std::move(f), true);
  }
  return files;
}

int LineOf(const CheckedFile& file, const Finding& finding) {
  const PlacedTarget* target = TargetAt(file.targets, finding.place);
  return target ? target->line : finding.line;
}

std::size_t CountOf(const CheckedFile& file, Severity severity) {
  return std::size_t(std::count_if(file.findings.begin(), file.findings.end(),
                                   [&](const Finding& f) { return f.severity == severity; }));
}

}  // namespace artargets
