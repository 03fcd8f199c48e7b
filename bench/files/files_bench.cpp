// Target files of 10,000, 100,000 and 1,000,000 targets through the host's loader and the
// plug-in (loaded by path, as a host does), against pugixml alone on the same bytes:
//   load   ours: the loader reads the file into an annotation-set entry;
//          pugixml: parse the file and convert every value into plain records.
//   save   ours: the loader writes an entry's content (fsync included, as every save does);
//          pugixml: build the same document from plain records and save it.
//   peak   the peak resident memory of one load followed by one save, each side.
// Every measurement runs in a child process of its own: its peak resident memory is that case's
// alone, and nothing one case leaves in the allocator or the page cache's bookkeeping helps the
// next. What a case prepares (the content to save, the records) is not timed. Both sides run
// under glibc's default allocator settings. Ours and the baseline run in pairs, one right after
// the other; the table at the end gives the time per target of each at each size and the median
// of the paired ratios; compare ratios, not times, across runs.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <pugixml.hpp>
#include <string>

#include "PairedRuns.h"
#include "RatioReporter.h"
#include "ScratchDirectory.h"
#include "TargetFixtures.h"
#include "ar/ARContent.h"
#include "arhost/Host.h"
#include "orl/AnnoSetTable.h"
#include "orl/AsyncEvent.h"
#include "orlloader/Loader.h"

namespace {

using du::SmartPtr;
using Clock = std::chrono::steady_clock;

constexpr int kSizes[] = {10000, 100000, 1000000};

std::string PathOf(const std::string& what, int count) {
  return arbench::ScratchDirectory() + "/" + what + "-" + std::to_string(count) + ".xml";
}

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The host's loader with the plug-in loaded by path, and an annotation-set table in the
// scratch folder.
SmartPtr<orl::AnnoSetTable> StartHost() {
  if (!orlloader::Loader::GetLoader()->LoadPlugin(AR_PLUGIN_PATH, nullptr)) std::abort();
  return orl::AnnoSetTable::Create(du::Symbol(arbench::ScratchDirectory()));
}

SmartPtr<orl::AnnoSetTableEntry> Entry(const std::string& name) {
  return orl::AnnoSetTableEntry::Make(du::Symbol(name), du::Symbol("augmentedreality"),
                                      orl::ANNO_SET_CONTENT_AR);
}

// Runs one load or save through the loader to its completion.
void Through(bool (orlloader::Loader::*operation)(const SmartPtr<orl::AnnoSetTable>&,
                                                  const SmartPtr<orl::AnnoSetTableEntry>&,
                                                  orl::AsyncEvent*),
             const SmartPtr<orl::AnnoSetTable>& table,
             const SmartPtr<orl::AnnoSetTableEntry>& entry) {
  SmartPtr<orl::AsyncEvent> event = new orl::AsyncEvent(false);
  (orlloader::Loader::GetLoader().get()->*operation)(table, entry, event.get());
  arhost::RunUntilIdle();
  if (event->GetStatus() != orl::BaseAsyncEvent::kSuccess) std::abort();
}

// The file of `count` targets that every load reads, written once per run by the plug-in.
const std::string& TargetFile(int count) {
  static std::map<int, std::string> written;
  std::string& path = written[count];
  if (path.empty()) {
    path = PathOf("targets", count);
    arbench::InChild([count] {
      auto entry = Entry("targets-" + std::to_string(count));
      entry->SetContent(arbench::MakeContent(count).get());
      Through(&orlloader::Loader::SaveAnnotation, StartHost(), entry);
      return 0.0;
    });
  }
  return path;
}

double OursLoad(int count, bool thenSave) {
  const auto table = StartHost();
  const auto entry = Entry("targets-" + std::to_string(count));
  const auto start = Clock::now();
  Through(&orlloader::Loader::LoadAnnotation, table, entry);
  if (thenSave) Through(&orlloader::Loader::SaveAnnotation, table, entry);  // the same bytes
  return SecondsSince(start);
}

double OursSave(int count) {
  const auto table = StartHost();
  const auto entry = Entry("ours-saved-" + std::to_string(count));
  entry->SetContent(arbench::MakeContent(count).get());
  const auto start = Clock::now();
  Through(&orlloader::Loader::SaveAnnotation, table, entry);
  return SecondsSince(start);
}

void PugixmlWrite(const std::vector<arbench::Record>& records, const std::string& path) {
  pugi::xml_document doc;
  arbench::PugixmlBuildTargetFile(doc, records);
  if (!doc.save_file(path.c_str(), "  ", pugi::format_indent)) std::abort();
}

double PugixmlLoad(int count, bool thenSave) {
  const auto start = Clock::now();
  std::vector<arbench::Record> records;
  {
    pugi::xml_document doc;
    if (!doc.load_file(TargetFile(count).c_str())) std::abort();
    records = arbench::PugixmlReadRecords(doc);
  }
  if (thenSave) PugixmlWrite(records, PathOf("pugixml-saved", count));
  benchmark::DoNotOptimize(records.data());
  return SecondsSince(start);
}

double PugixmlSave(int count) {
  const auto records = arbench::MakeRecords(count);
  const auto start = Clock::now();
  PugixmlWrite(records, PathOf("pugixml-saved", count));
  return SecondsSince(start);
}

void PrintTable(const std::map<std::string, arbench::Median>& medians) {
  const auto figure = [&](const std::string& name, int count) {
    auto found = medians.find(name + "/" + std::to_string(count));
    return found == medians.end() ? arbench::Median{-1, {}} : found->second;
  };
  const auto counter = [](const arbench::Median& m, const char* name, double scale = 1) {
    auto found = m.counters.find(name);
    return found == m.counters.end() ? -1 : found->second / scale;
  };
  std::printf(
      "\n%9s %8s | %-31s | %-31s | %s\n%9s %8s | %9s %9s %5s %5s | %9s %9s %5s %5s | %7s %7s "
      "%5s\n",
      "", "", "load (ns per target)", "save (ns per target)", "peak of load + save (MB)", "targets",
      "file MB", "ours", "pugixml", "ratio", "goal", "ours", "pugixml", "ratio", "goal", "ours",
      "pugixml", "ratio");
  for (int count : kSizes) {
    const auto load = figure("Load", count), save = figure("Save", count);
    const auto both = figure("LoadThenSave", count);
    if (load.nsPerItem < 0 && save.nsPerItem < 0 && both.nsPerItem < 0) continue;
    std::error_code error;
    const double fileMb = std::filesystem::file_size(PathOf("targets", count), error) / 1e6;
    std::printf("%9d %8.1f | %9.0f %9.0f %5.2f %5s | %9.0f %9.0f %5.2f %5s | %7.0f %7.0f %5.2f\n",
                count, fileMb, load.nsPerItem, counter(load, "baseline_ns"), counter(load, "ratio"),
                "1.5", save.nsPerItem, counter(save, "baseline_ns"), counter(save, "ratio"), "1.5",
                counter(both, "peak_bytes", 1e6), counter(both, "baseline_peak_bytes", 1e6),
                counter(both, "peak_ratio"));
  }
  std::printf(
      "(each ratio is the median of the ratios of paired runs, not the quotient of the\n"
      "two medians shown beside it)\n");
}

}  // namespace

int main(int argc, char** argv) {
  for (int count : kSizes) {
    const std::string size = "/" + std::to_string(count);
    arbench::RegisterPair(
        "Load" + size, count, [count] { TargetFile(count); },
        [count] { return OursLoad(count, false); }, [count] { return PugixmlLoad(count, false); });
    arbench::RegisterPair(
        "Save" + size, count, [count] { TargetFile(count); }, [count] { return OursSave(count); },
        [count] { return PugixmlSave(count); });
    arbench::RegisterPair(
        "LoadThenSave" + size, count, [count] { TargetFile(count); },
        [count] { return OursLoad(count, true); }, [count] { return PugixmlLoad(count, true); });
  }
  PrintTable(arbench::RunForMedians(argc, argv));
  std::filesystem::remove_all(arbench::ScratchDirectory());  // up to a gigabyte of files
  return 0;
}
