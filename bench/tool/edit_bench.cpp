// What writing target files in canonical order costs the tool, at 100,000 and 1,000,000 targets,
// against the same work in the plug-in's own order, measured in pairs in one run:
//   set   the tool's load, one changed field and save (the work of `artargets set`), with the
//         targets put in canonical order as they are written, against the same without it;
//   fmt   load, the canonical text made and read back, and the file read to compare (the work
//         of `artargets fmt` on a file already canonical), against `set` without the order.
// Each case runs in a child process of its own, the two of a pair one right after the other,
// which goes first alternating; the table gives the median of the paired ratios.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>

#include "PairedRuns.h"
#include "RatioReporter.h"
#include "ScratchDirectory.h"
#include "TargetFixtures.h"
#include "arhost/Host.h"
#include "orlloader/Loader.h"
#include "serializedContent/XmlWriter.h"
#include "support/InputFile.h"
#include "targets/TargetFiles.h"
#include "versioncontrol/CanonicalOrder.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kSizes[] = {100000, 1000000};

std::string PathOf(const std::string& what, int count) {
  return arbench::ScratchDirectory() + "/" + what + "-" + std::to_string(count) + ".xml";
}

void StartHost() {
  if (!orlloader::Loader::GetLoader()->LoadPlugin(AR_PLUGIN_PATH, nullptr)) std::abort();
}

// The file every case reads: `count` varied targets, in the plug-in's order.
const std::string& TargetFile(int count) {
  static std::map<int, std::string> written;
  std::string& path = written[count];
  if (path.empty()) {
    path = PathOf("targets", count);
    arbench::InChild([&] {
      StartHost();
      std::vector<artargets::TargetRecord> records;
      for (const auto& r : arbench::MakeRecords(count))
        records.push_back({r.name, r.image, r.width, r.height, r.type, r.id, r.center, r.normal,
                           r.xdir, r.ydir, r.shape, r.rotation});
      std::string error;
      if (!artargets::SaveTargetFile(path, records, error)) std::abort();
      return 0.0;
    });
  }
  return path;
}

double Set(int count, bool canonical) {
  StartHost();
  if (canonical) artargets::WriteCanonicalFiles();
  const auto start = Clock::now();
  std::vector<artargets::TargetRecord> records;
  std::string why;
  if (!artargets::LoadTargetFile(TargetFile(count), records, why,
                                 artargets::LetGoOfTargets::kAtOnce))
    std::abort();
  records.front().image = "changed.png";
  if (!artargets::SaveTargetFile(PathOf("set", count), records, why)) std::abort();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double Format(int count) {
  StartHost();
  artargets::WriteCanonicalFiles();
  const auto start = Clock::now();
  std::vector<artargets::TargetRecord> records;
  std::string why, canonical, original;
  if (!artargets::LoadTargetFile(TargetFile(count), records, why,
                                 artargets::LetGoOfTargets::kAtOnce) ||
      !artargets::SaveTargetFile(PathOf("canonical", count), records, why) ||
      !artargets::ReadInputFile(PathOf("canonical", count), canonical, why) ||
      !artargets::ReadInputFile(TargetFile(count), original, why))
    std::abort();
  benchmark::DoNotOptimize(canonical == original);
  return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  for (int count : kSizes) {
    const std::string size = "/" + std::to_string(count);
    arbench::RegisterPair(
        "SetCanonical" + size, count, [count] { TargetFile(count); },
        [count] { return Set(count, true); }, [count] { return Set(count, false); });
    arbench::RegisterPair(
        "Fmt" + size, count, [count] { TargetFile(count); }, [count] { return Format(count); },
        [count] { return Set(count, false); });
  }
  const auto medians = arbench::RunForMedians(argc, argv);
  std::printf("\n%-22s %10s %8s %s\n", "", "ns/target", "ratio",
              "against set in the plug-in's order");
  for (const auto& [name, median] : medians) {
    const auto ratio = median.counters.find("ratio");
    std::printf("%-22s %10.0f %8.2f\n", name.c_str(), median.nsPerItem,
                ratio == median.counters.end() ? -1 : ratio->second);
  }
  std::filesystem::remove_all(arbench::ScratchDirectory());
  return 0;
}
