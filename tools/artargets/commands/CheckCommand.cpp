#include "commands/CheckCommand.h"

#include <algorithm>
#include <iostream>

#include "checks/Baseline.h"
#include "checks/FileCheck.h"
#include "checks/FindingCodes.h"
#include "checks/SettingsFile.h"
#include "commands/CommandSupport.h"
#include "reports/JUnitReport.h"
#include "reports/SarifLog.h"
#include "support/InputFile.h"
#include "support/Json.h"
#include "support/SafeText.h"

namespace artargets {

namespace {

// Today's keys (file, targets, warnings, images) stay; the format's version counts changes
// (3: each finding names its target's name and id, each file how many findings were baselined).
constexpr int kJsonFormatVersion = 3;

std::string Plural(std::size_t n, const std::string& word) {
  return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

// The tally of findings, as a summary line ends: "1 error, 4 warnings, 2 baselined".
std::string Tally(std::size_t errors, std::size_t warnings, std::size_t notes,
                  std::size_t baselined) {
  std::string text = Plural(warnings, "warning");
  if (errors) text = Plural(errors, "error") + ", " + text;
  if (notes) text += ", " + Plural(notes, "note");
  if (baselined) text += ", " + std::to_string(baselined) + " baselined";
  return text;
}

void PrintText(const CheckedFile& file, bool alone) {
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
  for (const TargetImage& image : file.images)  // as eval-img prints it: a line for each image
    if (image.found && image.quality.problem.empty())  // the others have their finding
      std::cout << shown << ": " << SafeText(ImageLabel(image)) << " " << ScoreAndRange(image)
                << "\n";
  if (alone && file.loaded)
    std::cout << shown << ": loads, " << Plural(file.loadedCount, "target") << ", "
              << Tally(CountOf(file, Severity::kError), CountOf(file, Severity::kWarning),
                       CountOf(file, Severity::kNote), file.baselined)
              << " (lengths in " << file.unit << ")\n";
}

// "m", or "each file's units" when the project's settings gave files different ones.
std::string UnitsOf(const std::vector<CheckedFile>& files, const CheckOptions& options) {
  for (const CheckedFile& f : files)
    if (f.unit != files.front().unit) return "each file's units";
  return files.empty() ? options.unit.name : files.front().unit;
}

void PrintSummary(const std::vector<CheckedFile>& files, const CheckOptions& options) {
  std::size_t loaded = 0, skipped = 0, targets = 0, errors = 0, warnings = 0, notes = 0;
  std::size_t baselined = 0;
  for (const CheckedFile& f : files) {
    baselined += f.baselined;
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
            << Plural(targets, "target") << ", " << Tally(errors, warnings, notes, baselined)
            << " (lengths in " << UnitsOf(files, options) << ")\n";
}

Json FileJson(const CheckedFile& file) {
  Json findings = Json::array(), warnings = Json::array();
  for (const Finding& f : file.findings) {
    const auto target = std::find_if(file.targets.begin(), file.targets.end(),
                                     [&](const PlacedTarget& t) { return t.place == f.place; });
    const bool ofTarget = target != file.targets.end();
    const int line = ofTarget ? target->line : f.line;
    findings.push_back({{"code", f.code},
                        {"severity", SeverityName(f.severity)},
                        {"target", f.place},
                        {"name", ofTarget ? Json(target->name) : Json()},
                        {"id", ofTarget ? Json(target->id) : Json()},
                        {"line", line ? Json(line) : Json()},
                        {"message", f.message}});
    if (f.severity == Severity::kWarning) warnings.push_back(f.message);
  }
  Json object = {{"format_version", kJsonFormatVersion},
                 {"file", file.path},
                 {"loads", file.loaded},
                 {"units", file.unit},
                 {"targets", file.loadedCount},
                 {"warnings", warnings},
                 {"findings", findings},
                 {"images", Json::parse(ImagesJson(file.images))},
                 {"baselined", file.baselined}};
  if (!file.loaded) object["error"] = file.findings.empty() ? "" : file.findings[0].message;
  return object;
}

void PrintJson(const std::vector<CheckedFile>& files, bool oneFile, const CheckOptions& options) {
  Json all;
  if (oneFile) {
    all = FileJson(files.front());
  } else {
    all = {{"format_version", kJsonFormatVersion},
           {"units", UnitsOf(files, options)},
           {"files", Json::array()}};
    for (const CheckedFile& f : files) all["files"].push_back(FileJson(f));
  }
  std::cout << SafeJson(all.dump(2, ' ', false, Json::error_handler_t::replace)) << "\n";
}

// 1 when the file fails the gate: an error (a score under --fail-below is one), or a warning
// under --strict.
int Gate(const CheckedFile& file, const CheckOptions& options) {
  if (CountOf(file, Severity::kError) > 0) return 1;
  return options.strict && CountOf(file, Severity::kWarning) > 0 ? 1 : 0;
}

// Leaves out of `file` the findings a baseline answers for: those of the baseline read, or,
// when one is being written, all of them (kept in `recorded` to write).
void Baselined(CheckedFile& file, std::optional<Baseline>& baseline, bool writing,
               std::vector<CheckedFile>& recorded) {
  if (writing) {
    CheckedFile& kept = recorded.emplace_back();  // what the baseline needs of it
    kept.path = file.path;
    kept.targets = file.targets;
    kept.findings = file.findings;
    const std::size_t before = file.findings.size();
    std::erase_if(file.findings, [](const Finding& f) { return f.code != "ART101"; });
    file.baselined = before - file.findings.size();
  } else if (baseline) {
    file.baselined = baseline->Filter(file);
  }
}

}  // namespace

int Check(const std::vector<std::string>& paths, const CheckOptions& options) {
  const auto toCheck = FilesToCheck(paths);
  if (toCheck.empty()) return Fail("no target files to check under the paths given");
  std::optional<Baseline> baseline;
  if (!options.baseline.empty()) baseline = Baseline::Read(options.baseline);
  const bool writing = !options.writeBaseline.empty();
  SettingsFinder settings(options);
  std::vector<CheckedFile> files, recorded;
  int status = 0;
  for (const auto& [path, inFolder] : toCheck) {
    const CheckOptions fileOptions = settings.For(path);
    files.push_back(CheckFile(path, fileOptions, inFolder));
    Baselined(files.back(), baseline, writing, recorded);
    status = std::max(status, Gate(files.back(), fileOptions));
    if (options.format == CheckFormat::kText) {
      PrintText(files.back(), toCheck.size() == 1);
      if (toCheck.size() > 1) files.back().images.clear();  // printed: free the ratings
    }
  }
  std::string error;
  if (writing &&
      !WriteText(options.writeBaseline, Baseline::Write(recorded, options.writeBaseline), error))
    return Fail(error);
  const bool oneFile = toCheck.size() == 1 && !toCheck.front().second;
  switch (options.format) {
    case CheckFormat::kText:
      if (toCheck.size() > 1) PrintSummary(files, options);
      break;
    case CheckFormat::kJson:
      PrintJson(files, oneFile, options);
      break;
    case CheckFormat::kSarif: {
      const auto unit = UnitNamed(UnitsOf(files, options));  // none when the files' units differ
      std::cout << SarifLog(files, unit ? *unit : options.unit);
      break;
    }
    case CheckFormat::kJUnit:
      std::cout << JUnitReport(files, options.strict);
      break;
  }
  return status;
}

}  // namespace artargets
