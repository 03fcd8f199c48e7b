#include "commands/CheckCommand.h"

#include <algorithm>
#include <iostream>
#include <vector>

#include "checks/Baseline.h"
#include "checks/FileCheck.h"
#include "checks/FindingCodes.h"
#include "checks/SettingsFile.h"
#include "commands/CommandSupport.h"
#include "reports/JUnitReport.h"
#include "reports/SarifLog.h"
#include "support/InputFile.h"
#include "support/Json.h"
#include "support/JsonOut.h"
#include "support/JsonPieces.h"
#include "support/SafeText.h"

namespace artargets {

namespace {

// Today's keys (file, targets, warnings, images) stay; the format's version counts changes
// (3: each finding names its target's name and id and its group, each file how many findings
// were baselined, and the groups of targets; 4: `warnings` and an image's `findings` list the
// indices of findings among the file's instead of their messages again, each message once).
constexpr int kJsonFormatVersion = 4;

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

void AppendFinding(std::string& out, const CheckedFile& file, const Finding& f, int depth) {
  const PlacedTarget* target = TargetAt(file.targets, f.place);
  const int line = target ? target->line : f.line;
  JsonObjectOut finding(out, depth);
  finding.Text("code", f.code);
  finding.Text("severity", SeverityName(f.severity));
  finding.Whole("target", f.place);
  if (target) {
    finding.Text("name", target->name);
    finding.Whole("id", target->id);
  } else {
    finding.Null("name");
    finding.Null("id");
  }
  if (line)
    finding.Whole("line", line);
  else
    finding.Null("line");
  finding.Text("message", f.message);
  if (f.group >= 0) finding.Whole("group", f.group);
  finding.End();
}

void AppendGroup(std::string& out, const TargetGroup& g, int depth) {
  JsonObjectOut group(out, depth);
  group.Text("code", g.code);
  group.Text("shared", g.shared);
  AppendJsonWholes(group.Key("targets"), g.places, group.ValueDepth());
  group.End();
}

// Where each image's findings stand among the file's findings: image i's are at[start[i]] up
// to at[start[i + 1]], in order.
struct ImageFindings {
  std::vector<std::size_t> start, at;
};

ImageFindings FindingsOfImages(const CheckedFile& file) {
  const std::size_t none = file.images.size();
  std::vector<std::size_t> imageAt;  // each place's image, `none` where it has none
  for (std::size_t i = 0; i < file.images.size(); ++i) {
    const auto place = std::size_t(std::max(0, file.images[i].target.place));
    if (place >= imageAt.size()) imageAt.resize(place + 1, none);
    imageAt[place] = i;
  }
  std::vector<std::size_t> imageOf(file.findings.size(), none);
  ImageFindings found;
  found.start.assign(none + 2, 0);  // counted one place on, then summed into starts
  for (std::size_t k = 0; k < file.findings.size(); ++k) {
    const Finding& f = file.findings[k];
    const auto place = std::size_t(std::max(0, f.place));
    if (IsImageFinding(f) && place < imageAt.size()) imageOf[k] = imageAt[place];
    ++found.start[imageOf[k] + 1];
  }
  for (std::size_t i = 1; i < found.start.size(); ++i) found.start[i] += found.start[i - 1];
  std::vector<std::size_t> next(found.start.begin(), found.start.end() - 1);
  found.at.resize(file.findings.size());
  for (std::size_t k = 0; k < file.findings.size(); ++k) found.at[next[imageOf[k]]++] = k;
  return found;
}

// One file's object at `depth`, written a finding and an image at a time: a large file's
// findings are never held twice more as JSON.
void WriteFileJson(const CheckedFile& file, int depth) {
  std::ostream& out = std::cout;
  std::vector<std::size_t> warnings;  // where they stand among the findings
  for (std::size_t k = 0; k < file.findings.size(); ++k)
    if (file.findings[k].severity == Severity::kWarning) warnings.push_back(k);
  out << "{";
  WriteJsonKey(out, "format_version", depth, true);
  out << kJsonFormatVersion;
  const std::pair<const char*, Json> heads[] = {{"file", file.path},
                                                {"loads", file.loaded},
                                                {"units", file.unit},
                                                {"targets", file.loadedCount}};
  for (const auto& [key, value] : heads) {
    WriteJsonKey(out, key, depth);
    WriteJson(out, value, depth + 1);
  }
  // Each element is written straight to the stream: no tree of a million findings is built.
  const int inArray = depth + 2;  // the depth of an array's elements
  WriteJsonKey(out, "warnings", depth);
  WriteJsonElements(out, warnings.size(), depth + 1,
                    [&](std::string& text, std::size_t i) { AppendJsonWhole(text, warnings[i]); });
  WriteJsonKey(out, "findings", depth);
  WriteJsonElements(out, file.findings.size(), depth + 1, [&](std::string& text, std::size_t i) {
    AppendFinding(text, file, file.findings[i], inArray);
  });
  // Each group's members once; its members' findings point here by index.
  WriteJsonKey(out, "groups", depth);
  WriteJsonElements(out, file.groups.size(), depth + 1, [&](std::string& text, std::size_t i) {
    AppendGroup(text, file.groups[i], inArray);
  });
  WriteJsonKey(out, "images", depth);
  // Each image's findings are written once, with the file's; the image says where they stand.
  const ImageFindings ofImages = FindingsOfImages(file);
  WriteJsonElements(out, file.images.size(), depth + 1, [&](std::string& text, std::size_t i) {
    JsonObjectOut image(text, inArray);
    AppendImageMembers(image, file.images[i]);
    AppendJsonArray(image.Key("findings"), ofImages.start[i + 1] - ofImages.start[i],
                    image.ValueDepth(), [&](std::string& at, std::size_t k) {
                      AppendJsonWhole(at, ofImages.at[ofImages.start[i] + k]);
                    });
    image.End();
  });
  WriteJsonKey(out, "baselined", depth);
  out << file.baselined;
  if (!file.loaded) {
    WriteJsonKey(out, "error", depth);
    WriteJson(out, file.findings.empty() ? "" : file.findings[0].message, depth + 1);
  }
  out << "\n" << std::string(std::size_t(depth) * 2, ' ') << "}";
}

void PrintJson(const std::vector<CheckedFile>& files, bool oneFile, const CheckOptions& options) {
  if (oneFile) {
    WriteFileJson(files.front(), 0);
  } else {
    std::cout << "{";
    WriteJsonKey(std::cout, "format_version", 0, true);
    std::cout << kJsonFormatVersion;
    WriteJsonKey(std::cout, "units", 0);
    WriteJson(std::cout, UnitsOf(files, options), 1);
    WriteJsonKey(std::cout, "files", 0);
    std::cout << "[";
    for (std::size_t i = 0; i < files.size(); ++i) {
      std::cout << (i ? ",\n    " : "\n    ");
      WriteFileJson(files[i], 2);
    }
    std::cout << "\n  ]\n}";
  }
  std::cout << "\n";
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
      WriteSarifLog(std::cout, files, unit ? *unit : options.unit);
      break;
    }
    case CheckFormat::kJUnit:
      WriteJUnitReport(std::cout, files, options.strict);
      break;
  }
  return status;
}

}  // namespace artargets
