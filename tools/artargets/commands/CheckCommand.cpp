#include "commands/CheckCommand.h"

#include <algorithm>
#include <iostream>

#include "checks/FileCheck.h"
#include "checks/FindingCodes.h"
#include "commands/CommandSupport.h"
#include "reports/JUnitReport.h"
#include "reports/SarifLog.h"
#include "support/InputFile.h"
#include "support/Json.h"
#include "support/JsonPieces.h"
#include "support/SafeText.h"

namespace artargets {

namespace {

// Today's keys (file, targets, warnings, images) stay; the format's version counts changes
// (3: groups of targets, and the findings' "group").
constexpr int kJsonFormatVersion = 3;

std::string Plural(std::size_t n, const std::string& word) {
  return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

// The tally of findings, as a summary line ends: "1 error, 4 warnings".
std::string Tally(std::size_t errors, std::size_t warnings, std::size_t notes) {
  std::string text = Plural(warnings, "warning");
  if (errors) text = Plural(errors, "error") + ", " + text;
  if (notes) text += ", " + Plural(notes, "note");
  return text;
}

void PrintText(const CheckedFile& file, bool alone, const CheckOptions& options) {
  const std::string shown = SafeText(InputName(file.path));
  if (!file.loaded && !file.skipped) {  // the one-line failure of every command
    std::cerr << "artargets: "
              << SafeText("cannot load " + InputName(file.path) + ": " + file.problem) << "\n";
    return;
  }
  for (const Finding& f : file.findings)
    if (f.code != "ART101")
      std::cout << shown << ": " << SeverityName(f.severity) << " " << f.code << ": " << f.message
                << "\n";
  if (alone && file.loaded)
    std::cout << shown << ": loads, " << Plural(file.loadedCount, "target") << ", "
              << Tally(CountOf(file, Severity::kError), CountOf(file, Severity::kWarning),
                       CountOf(file, Severity::kNote))
              << " (lengths in " << options.unit.name << ")\n";
}

void PrintSummary(const std::vector<CheckedFile>& files, const CheckOptions& options) {
  std::size_t loaded = 0, skipped = 0, targets = 0, errors = 0, warnings = 0, notes = 0;
  for (const CheckedFile& f : files) {
    loaded += f.loaded;
    skipped += f.skipped;
    targets += f.loadedCount;
    errors += CountOf(f, Severity::kError) - (!f.loaded && !f.skipped);
    warnings += CountOf(f, Severity::kWarning);
    notes += CountOf(f, Severity::kNote);
  }
  const std::size_t failed = files.size() - loaded - skipped;
  std::cout << "checked " << Plural(files.size(), "file") << ": " << loaded << " loaded"
            << (failed ? ", " + std::to_string(failed) + " did not load" : "")
            << (skipped ? ", " + std::to_string(skipped) + " skipped" : "") << ", "
            << Plural(targets, "target") << ", " << Tally(errors, warnings, notes)
            << " (lengths in " << options.unit.name << ")\n";
}

Json FindingJson(const CheckedFile& file, const Finding& f) {
  const int line = LineOf(file, f);
  Json finding = {{"code", f.code},
                  {"severity", SeverityName(f.severity)},
                  {"target", f.place},
                  {"line", line ? Json(line) : Json()},
                  {"message", f.message}};
  if (f.group >= 0) finding["group"] = f.group;
  return finding;
}

// One file's object at `depth`, written a finding and an image at a time: a large file's
// findings are never held twice more as JSON.
void WriteFileJson(const CheckedFile& file, const CheckOptions& options, int depth) {
  std::ostream& out = std::cout;
  std::vector<const Finding*> warnings;
  for (const Finding& f : file.findings)
    if (f.severity == Severity::kWarning) warnings.push_back(&f);
  out << "{";
  WriteJsonKey(out, "format_version", depth, true);
  out << kJsonFormatVersion;
  const std::pair<const char*, Json> heads[] = {{"file", file.path},
                                                {"loads", file.loaded},
                                                {"units", options.unit.name},
                                                {"targets", file.loadedCount}};
  for (const auto& [key, value] : heads) {
    WriteJsonKey(out, key, depth);
    WriteJson(out, value, depth + 1);
  }
  WriteJsonKey(out, "warnings", depth);
  WriteJsonArray(out, warnings.size(), depth + 1,
                 [&](std::size_t i) { return warnings[i]->message; });
  WriteJsonKey(out, "findings", depth);
  WriteJsonArray(out, file.findings.size(), depth + 1,
                 [&](std::size_t i) { return FindingJson(file, file.findings[i]); });
  // Each group's members once; its members' findings point here by index.
  WriteJsonKey(out, "groups", depth);
  WriteJsonArray(out, file.groups.size(), depth + 1, [&](std::size_t i) {
    const TargetGroup& g = file.groups[i];
    return Json{{"code", g.code}, {"shared", g.shared}, {"targets", g.places}};
  });
  WriteJsonKey(out, "images", depth);
  WriteJsonArray(out, file.images.size(), depth + 1,
                 [&](std::size_t i) { return ImageJson(file.images[i]); });
  if (!file.loaded) {
    WriteJsonKey(out, "error", depth);
    WriteJson(out, file.findings.empty() ? "" : file.findings[0].message, depth + 1);
  }
  out << "\n" << std::string(std::size_t(depth) * 2, ' ') << "}";
}

void PrintJson(const std::vector<CheckedFile>& files, bool oneFile, const CheckOptions& options) {
  if (oneFile) {
    WriteFileJson(files.front(), options, 0);
  } else {
    std::cout << "{";
    WriteJsonKey(std::cout, "format_version", 0, true);
    std::cout << kJsonFormatVersion;
    WriteJsonKey(std::cout, "units", 0);
    WriteJson(std::cout, options.unit.name, 1);
    WriteJsonKey(std::cout, "files", 0);
    std::cout << "[";
    for (std::size_t i = 0; i < files.size(); ++i) {
      std::cout << (i ? ",\n    " : "\n    ");
      WriteFileJson(files[i], options, 2);
    }
    std::cout << "\n  ]\n}";
  }
  std::cout << "\n";
}

// 1 when the file fails the gate: an error, a warning under --strict, a score under
// --fail-below.
int Gate(const CheckedFile& file, const CheckOptions& options) {
  if (CountOf(file, Severity::kError) > 0) return 1;
  if (options.strict && CountOf(file, Severity::kWarning) > 0) return 1;
  const bool low = std::any_of(file.images.begin(), file.images.end(), [&](const TargetImage& i) {
    return i.quality.score < options.failBelow;
  });
  return low ? 1 : 0;
}

}  // namespace

int Check(const std::vector<std::string>& paths, const CheckOptions& options) {
  const auto toCheck = FilesToCheck(paths);
  if (toCheck.empty()) return Fail("no target files to check under the paths given");
  std::vector<CheckedFile> files;
  int status = 0;
  for (const auto& [path, inFolder] : toCheck) {
    files.push_back(CheckFile(path, options, inFolder));
    status = std::max(status, Gate(files.back(), options));
    if (options.format == CheckFormat::kText) {
      PrintText(files.back(), toCheck.size() == 1, options);
      if (toCheck.size() > 1) files.back().images.clear();  // printed: free the ratings
    }
  }
  const bool oneFile = toCheck.size() == 1 && !toCheck.front().second;
  switch (options.format) {
    case CheckFormat::kText:
      if (toCheck.size() > 1) PrintSummary(files, options);
      break;
    case CheckFormat::kJson:
      PrintJson(files, oneFile, options);
      break;
    case CheckFormat::kSarif:
      WriteSarifLog(std::cout, files, options.unit);
      break;
    case CheckFormat::kJUnit:
      std::cout << JUnitReport(files, options.strict);
      break;
  }
  return status;
}

}  // namespace artargets
