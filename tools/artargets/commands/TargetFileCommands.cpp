#include "commands/TargetFileCommands.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <future>
#include <iostream>
#include <map>
#include <nlohmann/json.hpp>

#include "commands/CommandSupport.h"
#include "commands/OutputGuard.h"
#include "commands/PlatformCommands.h"
#include "du/FileEditLock.h"
#include "du/FileWriter.h"
#include "forms/BulkEdit.h"
#include "forms/JsonForm.h"
#include "orl/SerializedContent.h"
#include "serializedContent/XmlParser.h"
#include "support/InputFile.h"
#include "support/Progress.h"
#include "support/SafeText.h"
#include "support/UsageError.h"
#include "targets/TargetComparison.h"
#include "targets/TargetFiles.h"
#include "targets/ValueText.h"
#include "versioncontrol/Diff.h"

namespace artargets {

namespace {

// Whether the two hold the same targets, in any order.
bool SameTargets(std::vector<TargetRecord>& a, std::vector<TargetRecord> b) {
  if (a.size() != b.size()) return false;
  SortByNameThenId(a);
  SortByNameThenId(b);
  return std::equal(a.begin(), a.end(), b.begin(), SameRecord);
}

// One line of `list`, written over `line`: a long list reuses one buffer for all its lines.
// `everything` adds the fields a short line leaves out, so that a line changes with any field.
void ListLine(const TargetRecord& r, bool everything, std::string& line) {
  line.clear();
  AppendQuoted(line, r.name);
  line += "  type " + std::to_string(r.type) + "  id " + std::to_string(r.id) + "  size ";
  AppendNumber(line, r.width);
  line += " x ";
  AppendNumber(line, r.height);
  line += "  centre ";
  AppendVector(line, r.center);
  line += "  shape ";
  AppendQuoted(line, r.shape);
  if (everything) {
    line += "  image ";
    AppendQuoted(line, r.image);
    for (const auto& [label, v] : {std::pair{"  normal ", &r.normal}, std::pair{"  xdir ", &r.xdir},
                                   std::pair{"  ydir ", &r.ydir}}) {
      line += label;
      AppendVector(line, *v);
    }
    line += "  rotation ";
    AppendNumber(line, r.rotation);
  }
  line += '\n';
}

// What the selector picks, for messages: "named \"Door\"", "of type 1 with id 7".
std::string Picked(const Selector& selector) {
  if (selector.id) return "of type 1 with id " + std::to_string(*selector.id);
  return "named " + Quoted(selector.name);
}

// The places of the targets `selector` picks; fails (false) when it picks none, or several and
// `all` is not given. Selecting by place sorts `records` as `list` does.
bool Matching(std::vector<TargetRecord>& records, const std::string& path, const Selector& selector,
              bool all, std::vector<std::size_t>& places) {
  if (selector.index) {
    SortByNameThenId(records);
    if (*selector.index < 1 || *selector.index > records.size()) {
      Fail(path + " holds " + std::to_string(records.size()) + " targets; there is no target " +
           std::to_string(*selector.index) + " (see 'artargets list " + path + "')");
      return false;
    }
    places.push_back(*selector.index - 1);
    return true;
  }
  for (std::size_t i = 0; i < records.size(); ++i) {
    const TargetRecord& r = records[i];
    if (selector.id ? r.type == 1 && r.id == *selector.id : r.name == selector.name)
      places.push_back(i);
  }
  if (places.empty()) {
    Fail("no target in " + path + " is " + Picked(selector) + " (see 'artargets list " + path +
         "')");
    return false;
  }
  if (places.size() > 1 && !all) {
    Fail(std::to_string(places.size()) + " targets in " + path + " are " + Picked(selector) +
         "; give --all to change every one of them");
    return false;
  }
  return true;
}

// What an edit made of the records.
enum class Edited { kFailed, kChanged, kUnchanged };

// Reads `path`, lets `change` edit its records and saves them, all under the file's edit lock,
// so that an edit by another process (or a host's save) lands before or after this one, never
// in between. A missing file is started afresh when `mayBeMissing`; one that exists but does
// not load is never overwritten. A path that is no file to edit is refused before the lock is
// taken, so that nothing waits while holding it. An edit that changes no value leaves the file
// alone, bytes and time.
// A file to be made at `path` needs its folder: without it, say so rather than fail to lock.
bool FolderMissing(const std::string& path) {
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  std::error_code error;
  if (folder.empty() || std::filesystem::exists(folder, error)) return false;
  Fail("cannot make " + path + ": the folder " + folder.string() + " does not exist");
  return true;
}

template <class Change>
int Edit(const std::string& path, bool mayBeMissing, Change change) {
  if (IsStandardStream(path))
    throw UsageError(
        "- names standard input, and an edit changes a file in place (name the "
        "file; ./- for one called -)");
  bool missing = false;
  const std::string problem = InputProblem(path, &missing);
  if (!problem.empty() && !(missing && mayBeMissing)) return CannotLoad(path, problem);
  if (missing && FolderMissing(path)) return 1;
  const du::FileEditLock lock(path);
  if (!lock.IsHeld()) return Fail(lock.GetLastError());
  std::vector<TargetRecord> records;
  KeptFrame kept;
  InputProblem(path, &missing);  // again: another editor may have made it meanwhile
  if (!missing && !Load(path, records, LetGoOfTargets::kAtOnce, &kept)) return 1;
  switch (change(records)) {
    case Edited::kFailed:
      return 1;
    case Edited::kUnchanged:
      std::cout << SafeText(path) << ": unchanged, the targets already hold those values\n";
      return 0;
    case Edited::kChanged:
      break;
  }
  return Save(path, records, &kept);
}

// The targets' JSON form to `out` ("-": standard output), a piece at a time.
int WriteJsonForm(const std::vector<TargetRecord>& records, const std::string& out) {
  std::string error;
  const auto write = [&](const TextPieces& put) { return WriteJsonTargets(records, put); };
  return WriteTextInPieces(out, write, error) ? 0 : Fail(error);
}

}  // namespace

int List(const std::string& path, ListForm form) {
  std::vector<TargetRecord> records;
  if (!Load(path, records)) return 1;
  SortByNameThenId(records);
  if (form == ListForm::kJson) return WriteJsonForm(records, "-");
  std::string line;
  for (const auto& r : records) {
    if (form == ListForm::kNames) {
      std::cout << SafeText(r.name) << "\n";
      continue;
    }
    ListLine(r, form == ListForm::kLong, line);
    std::cout << line;
  }
  return 0;
}

int Add(const std::string& path, const std::string& name, const GivenFields& given) {
  return Edit(path, true, [&](std::vector<TargetRecord>& records) {
    TargetRecord added;
    added.name = name;
    given().ApplyTo(added);
    records.push_back(added);
    return Edited::kChanged;
  });
}

int Set(const std::string& path, const Selector& selector, const GivenFields& given, bool all) {
  return Edit(path, false, [&](std::vector<TargetRecord>& records) {
    std::vector<std::size_t> places;
    if (!Matching(records, path, selector, all, places)) return Edited::kFailed;
    Edited edited = Edited::kUnchanged;
    const PartialTarget fields = given();
    for (std::size_t place : places) {
      if (!fields.Changes(records[place])) continue;
      fields.ApplyTo(records[place]);
      edited = Edited::kChanged;
    }
    return edited;
  });
}

int Remove(const std::string& path, const Selector& selector, bool all) {
  return Edit(path, false, [&](std::vector<TargetRecord>& records) {
    std::vector<std::size_t> places;
    if (!Matching(records, path, selector, all, places)) return Edited::kFailed;
    // In one pass: erasing one at a time moves the rest again for each (remove --all).
    std::vector<bool> gone(records.size());
    for (std::size_t place : places) gone[place] = true;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < records.size(); ++i)
      if (!gone[i] && kept++ != i) records[kept - 1] = std::move(records[i]);
    records.resize(kept);
    return Edited::kChanged;
  });
}

int Export(const std::string& path, const std::string& out) {
  if (!out.empty() && !OutputAllowed(out, Output::kJson, {path})) return 1;
  std::vector<TargetRecord> records;
  if (!Load(path, records)) return 1;
  SortByNameThenId(records);
  return WriteJsonForm(records, out.empty() ? "-" : out);
}

namespace {

// The partial targets `in` holds (JSON, or CSV with options.csv), or why there are none: read
// without a word, so that it may run beside other work.
struct PartialsRead {
  std::vector<PartialTarget> partials;
  std::string error;       // a failure to read
  std::string usageError;  // a table that is no table of partial targets

  // Says what went wrong, if anything; false when something did.
  bool Report() const {
    if (!usageError.empty()) throw UsageError(usageError);
    if (!error.empty()) Fail(error);
    return error.empty();
  }
};

PartialsRead ReadPartialsQuietly(const std::string& in, const ImportOptions& options) {
  const std::string name = InputName(in);
  PartialsRead read;
  std::string text;
  try {
    if (!ReadInput(in, text, read.error))
      read.error = "cannot read " + name + ": " + read.error;
    else if (options.csv)
      read.partials = PartialsFromCsv(text, options.byId);
    else if (!FromJsonText(text, read.partials, read.error))
      read.error = name + ": " + read.error;
  } catch (const UsageError& e) {
    read.usageError = name + ": " + e.what();
  }
  return read;
}

// The partial targets `in` holds. False once it said why.
bool ReadPartials(const std::string& in, const ImportOptions& options,
                  std::vector<PartialTarget>& partials) {
  PartialsRead read;
  {
    Progress reading("reading " + InputName(in));
    read = ReadPartialsQuietly(in, options);
  }  // the progress line is gone before any message
  if (!read.Report()) return false;
  partials = std::move(read.partials);
  return true;
}

// import --update: each partial target laid over the target it names, in one save. The table
// is read on a thread of its own while the file loads (a million rows take seconds), and what
// is wrong with it is said once the load is done; a file that does not load is reported first.
int Update(const std::string& in, const std::string& path, const ImportOptions& options) {
  if (IsStandardStream(path))
    throw UsageError("import --update changes the target file in place: -o - names none");
  std::future<PartialsRead> reading =
      std::async(std::launch::async, [&] { return ReadPartialsQuietly(in, options); });
  bool applied = false;
  const int status = Edit(path, false, [&](std::vector<TargetRecord>& records) {
    applied = true;
    const PartialsRead read = reading.get();
    if (!read.Report()) return Edited::kFailed;
    std::string error;
    bool changed = false;
    try {
      if (!ApplyUpdates(records, read.partials, options.byId, error, &changed)) {
        Fail(InputName(in) + ": " + error + "; " + path + " is left as it was");
        return Edited::kFailed;
      }
    } catch (const UsageError& e) {
      throw UsageError(InputName(in) + ": " + e.what());
    }
    return changed ? Edited::kChanged : Edited::kUnchanged;
  });
  if (!applied) reading.get().Report();  // the file's failure is said; the table's too
  return status;
}

// How many of the `existing` targets have no target of their name among `imported` (a name held
// twice needs two).
std::size_t LostTargets(const std::vector<TargetRecord>& existing,
                        const std::vector<TargetRecord>& imported) {
  std::map<std::string, std::size_t> left;
  for (const TargetRecord& r : existing) ++left[r.name];
  for (const TargetRecord& r : imported) {
    const auto named = left.find(r.name);
    if (named != left.end() && named->second > 0) --named->second;
  }
  std::size_t lost = 0;
  for (const auto& [name, count] : left) lost += count;
  return lost;
}

// Import without --update or --replace keeps every target of `path` it finds: true when none
// would be lost, else says how many would and gives false.
bool KeepsTargets(const std::string& in, const std::string& path,
                  const std::vector<TargetRecord>& existing,
                  const std::vector<TargetRecord>& imported) {
  const std::size_t lost = LostTargets(existing, imported);
  if (lost == 0) return true;
  Fail("importing " + InputName(in) + " would replace the " + std::to_string(existing.size()) +
       " targets of " + path + " with " + std::to_string(imported.size()) + ", losing " +
       std::to_string(lost) + " whose names " + InputName(in) + " does not hold; " + path +
       " is left as it is (give --update to change only the targets " + InputName(in) +
       " names, or --replace to replace them all)");
  return false;
}

}  // namespace

int Import(const std::string& in, const std::string& path, const ImportOptions& options) {
  std::vector<TargetRecord> records;
  if (!options.from.empty()) {
    if (!ReadPlatformLibrary(*PlatformNamed(options.from), in, path, options.unit, records))
      return 1;
  } else {
    if (options.update) return Update(in, path, options);
    std::vector<PartialTarget> partials;
    if (!ReadPartials(in, options, partials)) return 1;
    try {
      records = WholeTargets(partials);
    } catch (const UsageError& e) {
      throw UsageError(InputName(in) + ": " + e.what());
    }
  }
  if (IsStandardStream(path)) return Save(path, records);
  if (!OutputAllowed(path, Output::kTargetFile, {in}) || FolderMissing(path)) return 1;
  const du::FileEditLock lock(path);
  if (!lock.IsHeld()) return Fail(lock.GetLastError());
  // Importing replaces the file, but never one that is something other than a target file, nor
  // its targets unasked.
  std::vector<TargetRecord> existing;
  if (!ReplaceableTargetFile(path, &existing)) return 1;
  bool missing = false;
  InputProblem(path, &missing);
  if (!missing && !options.replace && !KeepsTargets(in, path, existing, records)) return 1;
  if (!missing && SameTargets(existing, records)) {
    std::cout << SafeText(path) << ": unchanged, it already holds those targets\n";
    return 0;
  }
  return Save(path, records);
}

}  // namespace artargets
