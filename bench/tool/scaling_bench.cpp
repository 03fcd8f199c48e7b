// Every command of the tool at 10,000, 100,000 and (with --million, or AR_SCALING_MILLION=1)
// 1,000,000 targets, run as a user runs it: the built `artargets` as a child process, its wall
// time from start to exit and its peak resident memory. Each command is paired with `list` on
// the same file in the same run (one right after the other, which goes first alternating), and
// its figures are ratios to list's: a machine that is slower for a while slows both. The goals:
// at a million targets, at most 3x list's time and 2x its memory, and at most 12x the time of
// 100,000 targets. A command is killed past 180 s at a million and 60 s below
// (AR_SCALING_TIMEOUT), 8 GB resident or 4 GB printed; the table names why it has no figure.
// Beside the growth of a command's time the table gives the growth of its processor time in its
// own code ("user") and its seconds in the kernel at the largest size ("system"): on a virtual
// machine whose host takes freed memory back, each page a process touches first costs the
// kernel many times what it costs otherwise, so a run's time also depends on what ran before it.
// AR_SCALING_KEEP=1 keeps the generated files (under /tmp) for a look afterwards;
// AR_SCALING_DIR=FOLDER writes them there instead and keeps them, and a later run with the same
// folder reads them again (a million targets take minutes to write).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "ChildProgram.h"
#include "PairedRuns.h"
#include "RatioReporter.h"
#include "ScalingInputs.h"
#include "ScratchDirectory.h"

namespace {

namespace fs = std::filesystem;
using arbench::ScalingInputs;
using Args = std::vector<std::string>;

// What a command needs in place before it starts (untimed): its outputs gone, and the work file
// it rewrites in place starting as the targets or as the reversed targets (see Prepare).
enum class Start { kClean, kWorkOnTargets, kWorkOnReversed };

struct Command {
  const char* name;
  Start start;
  std::function<Args(const ScalingInputs&)> args;
};

std::string Out(const ScalingInputs& in, const std::string& name) {
  return in.dir + "/out/" + name;
}
std::string Work(const ScalingInputs& in) { return in.dir + "/work.xml"; }

Args MissingImages(const ScalingInputs& in, const char* format) {
  return {"check", in.targets, "--images", "--root", in.emptyFolder, "--format", format};
}

const std::vector<Command>& Commands() {
  using S = Start;
  using I = const ScalingInputs&;
  static const std::vector<Command> commands = {
      {"list", S::kClean,
       [](I in) {
         return Args{"list", in.targets};
       }},
      {"list_json", S::kClean,
       [](I in) {
         return Args{"list", in.targets, "--json"};
       }},
      {"list_long", S::kClean,
       [](I in) {
         return Args{"list", in.targets, "--long"};
       }},
      {"check", S::kClean,
       [](I in) {
         return Args{"check", in.targets};
       }},
      {"check_json", S::kClean,
       [](I in) {
         return Args{"check", in.targets, "--format", "json"};
       }},
      {"check_sarif", S::kClean,
       [](I in) {
         return Args{"check", in.targets, "--format", "sarif"};
       }},
      {"check_junit", S::kClean,
       [](I in) {
         return Args{"check", in.targets, "--format", "junit"};
       }},
      {"check_images", S::kClean,
       [](I in) {
         return Args{"check", in.targets, "--images", "--no-cache"};
       }},
      {"check_images_json", S::kClean,
       [](I in) {
         return Args{"check", in.targets, "--images", "--no-cache", "--format", "json"};
       }},
      // Every target with a finding of its own (its image is missing), in every format.
      {"check_missing", S::kClean, [](I in) { return MissingImages(in, "text"); }},
      {"check_missing_json", S::kClean, [](I in) { return MissingImages(in, "json"); }},
      {"check_missing_sarif", S::kClean, [](I in) { return MissingImages(in, "sarif"); }},
      {"check_missing_junit", S::kClean, [](I in) { return MissingImages(in, "junit"); }},
      {"add", S::kWorkOnTargets,
       [](I in) { return Args{"add", Work(in), "Added", "--size", "1", "1"}; }},
      {"set", S::kWorkOnTargets,
       [](I in) { return Args{"set", Work(in), in.middleName, "--size", "0.9", "0.4"}; }},
      {"remove", S::kWorkOnTargets,
       [](I in) {
         return Args{"remove", Work(in), in.middleName};
       }},
      {"import_json", S::kClean,
       [](I in) {
         return Args{"import", in.newJson, "-o", Out(in, "imported.xml")};
       }},
      {"import_csv", S::kClean,
       [](I in) {
         return Args{"import", "--csv", in.newCsv, "-o", Out(in, "imported.xml")};
       }},
      {"import_update_json", S::kWorkOnTargets,
       [](I in) {
         return Args{"import", "--update", in.updateJson, "-o", Work(in)};
       }},
      {"import_update_csv", S::kWorkOnTargets,
       [](I in) { return Args{"import", "--update", "--csv", in.updateCsv, "-o", Work(in)}; }},
      {"export", S::kClean,
       [](I in) {
         return Args{"export", in.targets, "-o", Out(in, "exported.json")};
       }},
      {"diff_one", S::kClean,
       [](I in) {
         return Args{"diff", in.targets, in.oneChange};
       }},
      {"diff_all", S::kClean,
       [](I in) {
         return Args{"diff", in.targets, in.allChanged};
       }},
      {"fmt", S::kWorkOnTargets,
       [](I in) {
         return Args{"fmt", Work(in)};
       }},
      {"fmt_reversed", S::kWorkOnReversed,
       [](I in) {
         return Args{"fmt", Work(in)};
       }},
      {"merge", S::kClean,
       [](I in) {
         return Args{"merge", in.targets, in.ours, in.theirs, "-o", Out(in, "merged.xml")};
       }},
      {"render", S::kClean,
       [](I in) {
         return Args{"render", in.targets, "-o", Out(in, "render.svg")};
       }},
      {"report", S::kClean,
       [](I in) {
         return Args{"report", in.targets,     "-o",        Out(in, "report"),
                     "--root", in.emptyFolder, "--no-cache"};
       }},
  };
  return commands;
}

const std::string& InputsFolder() {
  static const std::string folder = [] {
    const char* given = std::getenv("AR_SCALING_DIR");
    return given && *given ? std::string(given) : arbench::ScratchDirectory();
  }();
  return folder;
}

double EnvNumber(const char* name, double otherwise) {
  const char* value = std::getenv(name);
  return value && *value ? std::atof(value) : otherwise;
}

// Why a command has no figure at a size; a command killed once is not run again at that size.
std::map<std::string, std::string>& Failures() {
  static std::map<std::string, std::string> failures;
  return failures;
}

std::string Key(const Command& command, int count) {
  return std::string(command.name) + "/" + std::to_string(count);
}

// The file a command rewrites in place starts as a second name of its source: made at once,
// where a copy of a million targets takes most of a second, in which this machine's host takes
// back the memory the run before freed, and the command alone would start on pages fresh from
// it (list, whose preparation takes no time, never does). Saves replace the file by name, so
// the source keeps its bytes; a command that wrote into the file itself would change it, which
// Run checks. Where no second name can be made, a copy.
void Prepare(const Command& command, const ScalingInputs& in) {
  fs::remove_all(in.dir + "/out");
  fs::create_directories(in.dir + "/out");
  if (command.start == Start::kClean) return;
  const std::string& source = command.start == Start::kWorkOnTargets ? in.targets : in.reversed;
  fs::remove(Work(in));
  std::error_code refused;
  fs::create_hard_link(source, Work(in), refused);
  if (refused) fs::copy_file(source, Work(in));
}

// What a source file's bytes are known by between runs: its size and time of change.
std::pair<std::uintmax_t, fs::file_time_type> Stamp(const std::string& path) {
  return {fs::file_size(path), fs::last_write_time(path)};
}

arbench::Measured Run(const Command& command, int count) {
  const std::string key = Key(command, count);
  if (Failures().count(key)) return {0, 0, 0, Failures()[key]};
  const std::string smaller = Key(command, count / 10);  // the sizes run in order, smallest first
  if (Failures().count(smaller))
    return {
        0, 0, 0,
        Failures()[key] = "not run: at " + std::to_string(count / 10) + ", " + Failures()[smaller]};
  const ScalingInputs& in = arbench::InputsFor(count, InputsFolder());
  Prepare(command, in);
  const auto before = Stamp(in.targets), reversedBefore = Stamp(in.reversed);
  Args args = command.args(in);
  args.insert(args.begin(), ARTARGETS_PATH);
  arbench::ChildLimits limits;
  // Below a million, a minute is many times list's time: the goal is missed by far already.
  limits.seconds = EnvNumber("AR_SCALING_TIMEOUT", count >= 1000000 ? 180 : 60);
  auto measured = arbench::RunChild(args, in.dir + "/stdout", in.dir + "/stderr", limits);
  if (measured.failure.empty() &&
      (Stamp(in.targets) != before || Stamp(in.reversed) != reversedBefore))
    measured.failure = "it changed its input file in place";
  if (!measured.failure.empty()) Failures()[key] = measured.failure;
  return measured;
}

int RepetitionsFor(int count) {
  return int(EnvNumber("AR_SCALING_REPETITIONS", count >= 1000000 ? 1 : count >= 100000 ? 3 : 5));
}

void Register(int count) {
  const Command& list = Commands().front();
  for (const Command& command : Commands())
    arbench::RegisterMeasuredPair(
        Key(command, count), count, RepetitionsFor(count),
        [count] { arbench::InputsFor(count, InputsFolder()); },
        [&command, count] { return Run(command, count); },
        [&list, count] { return Run(list, count); });
}

const char* Mark(bool met) { return met ? "ok  " : "FAIL"; }

// A run's median counter `name`, or -1 when it has none.
double Figure(const arbench::Median* run, const char* name) {
  if (!run) return -1;
  const auto found = run->counters.find(name);
  return found == run->counters.end() ? -1 : found->second;
}

// How many times a figure grew; -1 when either side has none.
double Growth(double from, double to) { return from > 0 && to > 0 ? to / from : -1; }

void PrintGrowth(double growth) {
  if (growth > 0)
    std::printf(" %8.1fx", growth);
  else
    std::printf(" %9s", "-");
}

// One row a command: its time as a ratio to list's at each size; how its own time grew from the
// second largest size to the largest, and how its processor time in its own code grew; its
// seconds in the kernel at the largest size (fresh memory pages, file writes); its memory as a
// ratio to list's. Growth is judged on the time; the two beside it tell whose time grew.
void PrintTable(const std::map<std::string, arbench::Median>& medians,
                const std::vector<int>& sizes) {
  std::printf("\n%-22s", "time / list's");
  for (int count : sizes) std::printf(" %10d", count);
  std::printf(" %9s %9s %8s %8s   goals at %d: time <= 3, growth <= 12, memory <= 2\n", "growth",
              "user", "system", "memory", sizes.back());
  for (const Command& command : Commands()) {
    std::printf("%-22s", command.name);
    const arbench::Median* at[2] = {};  // the two largest sizes
    for (int count : sizes) {
      auto found = medians.find(Key(command, count));
      const bool measured = found != medians.end() && found->second.counters.count("ratio");
      if (measured)
        std::printf(" %10.2f", found->second.counters.at("ratio"));
      else
        std::printf(" %10s", "-");
      at[0] = at[1];
      at[1] = measured ? &found->second : nullptr;
    }
    // Per target at each size, and the sizes ten times apart: ten times the per-target ratio.
    const double growth = at[0] && at[1] ? Growth(at[0]->nsPerItem, 10 * at[1]->nsPerItem) : -1;
    PrintGrowth(growth);
    PrintGrowth(Growth(Figure(at[0], "user_seconds"), Figure(at[1], "user_seconds")));
    if (!at[1]) {
      const auto failure = Failures().find(Key(command, sizes.back()));
      std::printf(" %8s %8s   %s\n", "-", "-",
                  failure == Failures().end() ? "" : failure->second.c_str());
      continue;
    }
    if (const double system = Figure(at[1], "system_seconds"); system >= 0)
      std::printf(" %7.1fs", system);
    else
      std::printf(" %8s", "-");
    const double time = at[1]->counters.at("ratio"), memory = at[1]->counters.at("peak_ratio");
    std::printf(" %8.2f   time %s growth %s memory %s\n", memory, Mark(time <= 3),
                growth > 0 ? Mark(growth <= 12) : "-   ", Mark(memory <= 2));
  }
  for (const auto& [key, failure] : Failures())
    std::printf("no figure for %s: %s\n", key.c_str(), failure.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> sizes = {10000, 100000};
  std::vector<char*> args;
  bool million = EnvNumber("AR_SCALING_MILLION", 0) != 0;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "--million") == 0)
      million = true;
    else
      args.push_back(argv[i]);
  }
  if (million) sizes.push_back(1000000);
  // Ratings go to a cache of the run's own; --no-cache keeps them out of it anyway.
  ::setenv("XDG_CACHE_HOME", (arbench::ScratchDirectory() + "/cache").c_str(), 1);
  for (int count : sizes) Register(count);
  // In order of size, so that a command killed at one size is not tried at the next.
  std::string inOrder = "--benchmark_enable_random_interleaving=false";
  args.push_back(inOrder.data());
  const auto medians = arbench::RunForMedians(int(args.size()), args.data());
  PrintTable(medians, sizes);
  const bool keep = EnvNumber("AR_SCALING_KEEP", 0) != 0;
  if (keep || InputsFolder() != arbench::ScratchDirectory())
    std::printf("inputs kept in %s\n", InputsFolder().c_str());
  if (!keep) fs::remove_all(arbench::ScratchDirectory());
  return 0;
}
