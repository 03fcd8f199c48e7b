// Target files loaded and saved through the host's loader and the plug-in (loaded by path, as a
// host does), against pugixml alone parsing the same file and converting every value, or
// building the same document and saving it, in the same run. Peak memory per target is
// reported for each; the load's is compared with pugixml's load.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <pugixml.hpp>
#include <string>

#include "MemoryMeter.h"
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

SmartPtr<orl::AnnoSetTableEntry> Entry(int count) {
  return orl::AnnoSetTableEntry::Make(du::Symbol("targets-" + std::to_string(count)),
                                      du::Symbol("augmentedreality"), orl::ANNO_SET_CONTENT_AR);
}

std::string PathOf(int count) {
  return arbench::ScratchDirectory() + "/targets-" + std::to_string(count) + ".xml";
}

// Starts a host session with the plug-in loaded by path.
void StartHost() {
  if (!orlloader::Loader::GetLoader()->LoadPlugin(AR_PLUGIN_PATH, nullptr)) std::abort();
}

void SaveThroughLoader(const SmartPtr<orl::AnnoSetTable>& table,
                       const SmartPtr<orl::AnnoSetTableEntry>& entry) {
  SmartPtr<orl::AsyncEvent> event = new orl::AsyncEvent(false);
  orlloader::Loader::GetLoader()->SaveAnnotation(table, entry, event.get());
  arhost::RunUntilIdle();
}

void LoadThroughLoader(const SmartPtr<orl::AnnoSetTable>& table, int count) {
  SmartPtr<orl::AsyncEvent> event = new orl::AsyncEvent(false);
  auto entry = Entry(count);
  orlloader::Loader::GetLoader()->LoadAnnotation(table, entry, event.get());
  arhost::RunUntilIdle();
  if (event->GetStatus() != orl::BaseAsyncEvent::kSuccess) std::abort();
}

void Save(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  StartHost();
  {
    auto table = orl::AnnoSetTable::Create(du::Symbol(arbench::ScratchDirectory()));
    auto entry = Entry(count);
    entry->SetContent(arbench::MakeContent(count).get());
    const std::size_t before = arbench::BytesInUse();
    arbench::ResetPeak();
    SaveThroughLoader(table, entry);  // first touch, untimed
    for (auto _ : state) SaveThroughLoader(table, entry);
    arbench::ReportPerTarget(state, before, count);
  }
  arhost::Shutdown();
}

// Writes the file of `count` targets the loads read, unless a save has written it already, so
// that every load benchmark runs on its own.
void EnsureTargetFile(const SmartPtr<orl::AnnoSetTable>& table, int count) {
  if (std::filesystem::exists(PathOf(count))) return;
  auto entry = Entry(count);
  entry->SetContent(arbench::MakeContent(count).get());
  SaveThroughLoader(table, entry);
}

void Load(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  StartHost();
  {
    auto table = orl::AnnoSetTable::Create(du::Symbol(arbench::ScratchDirectory()));
    EnsureTargetFile(table, count);
    const std::size_t before = arbench::BytesInUse();
    arbench::ResetPeak();
    LoadThroughLoader(table, count);  // first touch, untimed
    for (auto _ : state) LoadThroughLoader(table, count);
    arbench::ReportPerTarget(state, before, count);
  }
  arhost::Shutdown();
}

void PugixmlBuildAndSave(int count, const std::string& path) {
  pugi::xml_document doc;
  arbench::PugixmlBuildTargetFile(doc, count);
  doc.save_file(path.c_str(), "  ", pugi::format_indent);
}

void PugixmlSave(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const std::string path = arbench::ScratchDirectory() + "/pugixml.xml";
  const std::size_t before = arbench::BytesInUse();
  arbench::ResetPeak();
  PugixmlBuildAndSave(count, path);  // first touch, untimed
  for (auto _ : state) PugixmlBuildAndSave(count, path);
  arbench::ReportPerTarget(state, before, count);
}

void PugixmlParseAndConvert(const std::string& path) {
  pugi::xml_document doc;
  doc.load_file(path.c_str());
  arbench::PugixmlConvertTargets(doc);
}

void PugixmlLoad(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  StartHost();
  EnsureTargetFile(orl::AnnoSetTable::Create(du::Symbol(arbench::ScratchDirectory())), count);
  arhost::Shutdown();
  const std::size_t before = arbench::BytesInUse();
  arbench::ResetPeak();
  PugixmlParseAndConvert(PathOf(count));  // first touch, untimed
  for (auto _ : state) PugixmlParseAndConvert(PathOf(count));
  arbench::ReportPerTarget(state, before, count);
}

BENCHMARK(Save)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(PugixmlSave)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(Load)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(PugixmlLoad)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  arbench::StartMetering();
  return arbench::RunWithRatios(argc, argv,
                                {
                                    {"Save/1000", "PugixmlSave/1000", "<= 3"},
                                    {"Save/100000", "PugixmlSave/100000", "<= 3"},
                                    {"Save/1000000", "PugixmlSave/1000000", "<= 3"},
                                    {"Load/1000", "PugixmlLoad/1000", "<= 3"},
                                    {"Load/100000", "PugixmlLoad/100000", "<= 3"},
                                    {"Load/1000000", "PugixmlLoad/1000000", "<= 3"},
                                });
}
