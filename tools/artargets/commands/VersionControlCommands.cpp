#include "commands/VersionControlCommands.h"

#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <future>
#include <iostream>
#include <nlohmann/json.hpp>
#include <optional>

#include "commands/CommandSupport.h"
#include "commands/OutputGuard.h"
#include "du/FileEditLock.h"
#include "support/InputFile.h"
#include "support/MappedFile.h"
#include "support/SafeText.h"
#include "support/ScratchFolder.h"
#include "support/UsageError.h"
#include "targets/ConflictMarkers.h"
#include "targets/PlainTargetText.h"
#include "targets/ValueText.h"
#include "versioncontrol/Diff.h"
#include "versioncontrol/ThreeWay.h"

extern char** environ;

namespace artargets {

namespace {

constexpr int kCannotRead = 2;  // fmt and merge, as diff: a file that does not load

int Unloadable(const std::string& what, const std::string& why) {
  CannotLoad(what, why);
  return kCannotRead;
}

// The canonical text of `records`: what the tool's save writes (into `saved`), with what the
// file held beyond its targets put back (into `text`); `canonical` views whichever holds it.
bool CanonicalText(const std::vector<TargetRecord>& records, const KeptFrame& kept,
                   SavedCopy& saved, std::string& text, std::string_view& canonical,
                   std::string& error) {
  if (!saved.Make(records, error)) return false;
  canonical = saved.Text();
  if (!KeepsAnything(records, kept)) return true;
  text.assign(canonical);
  if (!WriteKeptContent(text, records, kept, error)) return false;
  canonical = text;
  return true;
}

// fmt -: a target file on standard input, its canonical text on standard output. As git's clean
// filter it sees every file a pattern names: anything the plug-in does not load passes through
// as it came, so that no file is ever changed or refused on its way into the repository.
int FormatStream() {
  std::string why, text;
  std::vector<TargetRecord> records;
  KeptFrame kept;
  if (!LoadTargetFile("-", records, why, LetGoOfTargets::kInBackground, &kept)) {
    std::string bytes, unread;
    if (!ReadInput("-", bytes, unread)) return Unloadable("-", why);
    if (LooksLikeTargetFile(ReadablePath("-", unread)))
      std::cerr << "artargets: "
                << SafeText("standard input does not load (" + why + "); passed on unchanged")
                << "\n";
    std::cout << bytes;
    return 0;
  }
  SavedCopy saved;
  std::string_view canonical;
  if (!CanonicalText(records, kept, saved, text, canonical, why)) return Fail(why);
  std::cout << canonical;
  return 0;
}

// Whether the file at `path` holds `text`, compared where the file lies rather than read into
// memory first; false with why when it cannot be read.
bool SameBytes(const std::string& path, std::string_view text, std::string& why) {
  if (const MappedFile mapped(path); mapped.IsMapped()) return mapped.Text() == text;
  std::string bytes;
  return ReadInputFile(path, bytes, why) && bytes == text;
}

// fmt FILE and fmt --check FILE. A file that is not a target file is skipped, as check skips it.
int FormatFile(const std::string& named, bool check) {
  std::string why, text;
  // A check reads a pipe (or "-") as cat does; a rewrite changes a file in place and refuses one.
  const std::string path = check ? ReadablePath(named, why) : named;
  if (path.empty()) return Unloadable(named, why);
  why = InputProblem(path);
  if (!why.empty()) return Unloadable(named, why);
  if (!LooksLikeTargetFile(path)) {
    std::cout << SafeText(named) << ": note ART102: " << kNotATargetFileReason << "\n";
    return 0;
  }
  std::optional<du::FileEditLock> lock;  // a check changes nothing
  if (!check && !lock.emplace(path).IsHeld()) return Fail(lock->GetLastError());
  std::vector<TargetRecord> records;
  KeptFrame kept;
  if (!LoadTargetFile(named, records, why, LetGoOfTargets::kAtOnce, &kept))
    return Unloadable(named, why);
  SavedCopy saved;
  std::string_view canonical;
  if (!CanonicalText(records, kept, saved, text, canonical, why)) return Fail(why);
  why.clear();
  if (SameBytes(path, canonical, why)) return 0;
  if (!why.empty()) return Fail("cannot read " + path + ": " + why);
  if (check) {
    std::cout << SafeText(InputName(named))
              << ": not in canonical form (artargets fmt rewrites it)\n";
    return 1;
  }
  if (!WriteText(path, canonical, why)) return Fail(why);
  return 0;
}

// A side of a merge read straight from its text, if it is in the plug-in's own layout, on a
// thread of its own while the main thread reads another side: three sides take both cores.
class SideReadAhead {
 public:
  explicit SideReadAhead(const std::string& path)
      : reading_(ReadAside([this, path] { return ReadPlainTargetFile(path, records_); })) {}

  // True, with the side's targets in `records`, when it was in that layout.
  bool Take(std::vector<TargetRecord>& records) {
    if (!reading_.get()) return false;
    records = std::move(records_);
    return true;
  }

 private:
  std::vector<TargetRecord> records_;  // before the reading that fills it, which ends first
  std::future<bool> reading_;
};

// Loads one side of a merge; `side` names it in a message ("our side of hall.xml") when git
// merges a file whose path it gave, for git's own name of the side is a temporary one. A side
// in the plug-in's own layout is read straight from its text (by `ahead` when given): three
// loads through the plug-in were most of a merge's time.
bool LoadSide(const std::string& path, const std::string& side, const std::string& merged,
              std::vector<TargetRecord>& records, KeptFrame& kept, SideReadAhead* ahead = nullptr) {
  if (ahead ? ahead->Take(records) : ReadPlainTargetFile(path, records)) return true;
  if (merged.empty()) return Load(path, records, LetGoOfTargets::kInBackground, &kept);
  std::string why;
  if (LoadTargetFile(path, records, why, LetGoOfTargets::kInBackground, &kept)) return true;
  if (const int marker = ConflictMarkerLineOf(path)) why = ConflictProblem(merged, marker);
  Fail("cannot load " + side + " of " + merged + ": " + why);
  return false;
}

// BASE may be missing or empty: both sides then added the file.
bool LoadBase(const std::string& path, const std::string& merged,
              std::vector<TargetRecord>& records, KeptFrame& kept) {
  bool missing = false;
  InputProblem(path, &missing);
  std::error_code error;  // a FIFO or a folder has no size: Load says what it is
  if (missing || std::filesystem::file_size(path, error) == 0) return true;
  return LoadSide(path, "the common base", merged, records, kept);
}

void ReportConflicts(const std::vector<Conflict>& conflicts, bool json, const std::string& out,
                     const std::string& merged) {
  if (json) {
    nlohmann::ordered_json array = nlohmann::ordered_json::array();
    for (const Conflict& c : conflicts)
      array.push_back({{"name", c.name},
                       {"id", c.id},
                       {"field", c.field},
                       {"base", c.base},
                       {"ours", c.ours},
                       {"theirs", c.theirs}});
    std::cout << SafeJson(
                     array.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace))
              << "\n";
  }
  const std::string about = merged.empty() ? "" : SafeText(merged) + ": ";
  for (const Conflict& c : conflicts)
    std::cerr << "artargets: " << about << "conflict: " << Quoted(c.name) << " (id " << c.id << ") "
              << c.field << ": base " << SafeText(c.base) << ", ours " << SafeText(c.ours)
              << ", theirs " << SafeText(c.theirs) << "\n";
  if (!conflicts.empty())
    std::cerr << "artargets: " << conflicts.size() << " conflict"
              << (conflicts.size() == 1 ? "" : "s") << "; "
              << SafeText(merged.empty() ? out : merged) << " keeps our side of each\n";
}

// `tool` quoted for the shell that git runs commands with.
std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// Runs git with `args`; true when it exits 0.
bool RunGit(std::vector<std::string> args) {
  args.insert(args.begin(), "git");
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t child = 0;
  if (::posix_spawnp(&child, "git", nullptr, nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Adds "PATTERN filter=artargets diff=artargets merge=artargets" to ./.gitattributes for each
// pattern that has no such line yet.
bool AddGitAttributes(const std::vector<std::string>& patterns, std::string& error) {
  std::string lines, line;
  std::ifstream in(".gitattributes");
  while (std::getline(in, line)) lines += line + "\n";
  std::string added;
  for (const std::string& pattern : patterns) {
    const std::string wanted = pattern + " filter=artargets diff=artargets merge=artargets\n";
    if (lines.find(wanted) == std::string::npos && added.find(wanted) == std::string::npos)
      added += wanted;
  }
  if (added.empty()) return true;
  if (!lines.empty() && lines.back() != '\n') lines += '\n';
  return WriteText(".gitattributes", lines + added, error);
}

}  // namespace

int Diff(const std::string& before, const std::string& after, DiffForm form) {
  std::vector<TargetRecord> a, b;
  // The first file's targets are let go before the second loads: freed beside that load, they
  // would slow its allocations more than freeing them takes.
  if (!Load(before, a, LetGoOfTargets::kAtOnce) || !Load(after, b)) return kDiffTrouble;
  const Difference difference = Compare(std::move(a), std::move(b));
  if (form == DiffForm::kJson) std::cout << DescribeJson(difference);
  if (form == DiffForm::kStat) std::cout << Summary(difference);
  if (form == DiffForm::kText) std::cout << Describe(difference);
  return difference.Empty() ? 0 : 1;
}

int Format(const std::vector<std::string>& paths, bool check) {
  if (!check && std::count(paths.begin(), paths.end(), "-") > 1)
    throw UsageError("fmt - writes the canonical text to standard output: give - once");
  int status = 0;
  for (const std::string& path : paths)
    status = std::max(status, path == "-" && !check ? FormatStream() : FormatFile(path, check));
  return status;
}

int Merge(const std::string& base, const std::string& ours, const std::string& theirs,
          const std::string& out, bool json, const std::string& shown) {
  if (json && IsStandardStream(out))
    throw UsageError(
        "-o - and --json would both write to standard output; give -o a file (or leave it "
        "out to merge into OURS) to have the conflicts as JSON");
  const std::string path = out.empty() ? ours : out;
  // In place (no -o) OURS is changed as an edit changes its file, even when THEIRS is it too.
  const std::vector<std::string> inputs =
      out.empty() ? std::vector<std::string>{} : std::vector<std::string>{base, theirs};
  if (!OutputAllowed(path, Output::kTargetFile, inputs)) return 1;
  std::vector<TargetRecord> b, o, t;
  KeptFrame kb, ko, kt;
  SideReadAhead oursAhead(ours), theirsAhead(theirs);
  if (!LoadBase(base, shown, b, kb) || !LoadSide(ours, "our side", shown, o, ko, &oursAhead) ||
      !LoadSide(theirs, "their side", shown, t, kt, &theirsAhead))
    return kCannotRead;
  Merged merged = MergeTargets(std::move(b), std::move(o), std::move(t));
  const KeptFrame kept = MergeKept(kb, ko, kt);
  const du::FileEditLock lock(path);
  if (!lock.IsHeld()) return Fail(lock.GetLastError());
  if (path != ours && !ReplaceableTargetFile(path)) return 1;
  if (Save(path, merged.targets, &kept) != 0) return 1;
  ReportConflicts(merged.conflicts, json, path, shown);
  return merged.conflicts.empty() ? 0 : 1;
}

int GitSetup(bool global, const std::vector<std::string>& patterns) {
  std::error_code error;
  const std::string tool = ShellQuoted(std::filesystem::read_symlink("/proc/self/exe", error));
  const std::pair<const char*, std::string> settings[] = {
      {"filter.artargets.clean", tool + " fmt -"},
      {"diff.artargets.textconv", tool + " list --long"},
      {"merge.artargets.name", "AR target files (artargets merge)"},
      {"merge.artargets.driver", tool + " merge %O %A %B --path %P"},
  };
  for (const auto& [key, value] : settings) {
    std::vector<std::string> args{"config"};
    if (global) args.push_back("--global");
    args.insert(args.end(), {key, value});
    if (!RunGit(args)) return Fail(std::string("cannot set ") + key + " (git config failed)");
  }
  std::string why;
  if (!AddGitAttributes(patterns, why)) return Fail(why);
  std::cout << "git now formats, diffs and merges the files that .gitattributes marks "
               "\"filter=artargets diff=artargets merge=artargets\"\n";
  return 0;
}

}  // namespace artargets
