// Target files loaded and saved through the host's loader and the plug-in (loaded by path, as a
// host does), against pugixml alone parsing the same file and converting every value, or
// building the same document and saving it, in the same run. Peak memory per target is
// reported for each; the load's is compared with pugixml's load.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <charconv>
#include <climits>
#include <cstring>
#include <pugixml.hpp>
#include <set>
#include <string>

#include "MemoryMeter.h"
#include "RatioReporter.h"
#include "ar/ARContent.h"
#include "ar/ARController.h"
#include "ar/ARTarget.h"
#include "arhost/Host.h"
#include "orl/AnnoSetTable.h"
#include "orl/AsyncEvent.h"
#include "orlloader/Loader.h"

namespace {

using du::SmartPtr;

std::string Directory() {
  static const std::string dir = [] {
    char pattern[] = "/tmp/files-bench-XXXXXX";
    if (!::mkdtemp(pattern)) std::abort();
    return std::string(pattern);
  }();
  return dir;
}

SmartPtr<orl::AnnoSetTableEntry> Entry(int count) {
  orl::AnnoSetTableEntryData data;
  data.name = du::Symbol("targets-" + std::to_string(count));
  data.family = du::Symbol("augmentedreality");
  data.contentType = orl::ANNO_SET_CONTENT_AR;
  SmartPtr<orl::AnnoSetTableEntry> entry;
  orl::AnnoSetTableEntry::Create(entry, data);
  return entry;
}

std::string PathOf(int count) { return Directory() + "/targets-" + std::to_string(count) + ".xml"; }

SmartPtr<ar::ARContent> MakeContent(int count) {
  SmartPtr<ar::ARContent> content = new ar::ARContent;
  std::set<SmartPtr<ar::ARTarget>> targets;
  for (int i = 0; i < count; ++i) {
    SmartPtr<ar::ARTarget> t = new ar::ARTarget(ar::ARController::Get());
    t->SetName(du::Symbol("target-" + std::to_string(i)));
    t->SetImage(du::Symbol("image-" + std::to_string(i % 100) + ".png"));
    t->SetSize(0.1 * i, 0.2 * i);
    t->SetTargetId(i);
    dg::DPoint3D p{i * 1.5, i * -0.25, 3.75};
    dg::DVec3 n{0, 0, 1}, x{1, 0, 0}, y{0, 1, 0};
    du::Symbol path("/model/shape/" + std::to_string(i));
    t->SetLocation(p, n, x, y, path, i * 0.01);
    targets.insert(t);
  }
  content->SetTargets(targets);
  return content;
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

void Report(benchmark::State& state, std::size_t before, int count) {
  state.counters["peak_bytes_per_target"] =
      static_cast<double>(arbench::PeakBytes() - before) / count;
  state.SetItemsProcessed(state.iterations() * count);
}

void Save(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  StartHost();
  {
    auto table = orl::AnnoSetTable::Create(du::Symbol(Directory()));
    auto entry = Entry(count);
    entry->SetContent(MakeContent(count).get());
    const std::size_t before = arbench::BytesInUse();
    arbench::ResetPeak();
    SaveThroughLoader(table, entry);  // first touch, untimed
    for (auto _ : state) SaveThroughLoader(table, entry);
    Report(state, before, count);
  }
  arhost::Shutdown();
}

void Load(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  StartHost();
  {
    auto table = orl::AnnoSetTable::Create(du::Symbol(Directory()));
    const std::size_t before = arbench::BytesInUse();
    arbench::ResetPeak();
    LoadThroughLoader(table, count);  // first touch, untimed
    for (auto _ : state) LoadThroughLoader(table, count);
    Report(state, before, count);
  }
  arhost::Shutdown();
}

void Number(pugi::xml_node node, const char* name, double value) {
  char buffer[32];
  *std::to_chars(buffer, buffer + sizeof(buffer) - 1, value).ptr = '\0';
  node.append_attribute(name).set_value(buffer);
}

void PugixmlBuildAndSave(int count, const std::string& path) {
  pugi::xml_document doc;
  auto root = doc.append_child("augmentedreality");
  root.append_attribute("version") = 1;
  auto arcontent = root.append_child("targets").append_child("content");
  arcontent.append_attribute("name") = "arcontent";
  for (int i = 0; i < count; ++i) {
    auto t = arcontent.append_child("content");
    t.append_attribute("name") = "artarget";
    const auto property = [&](const char* type, const char* key) {
      auto p = t.append_child(type);
      p.append_attribute("key") = key;
      return p;
    };
    property("uint8", "artargetversion").append_attribute("value") = 0;
    property("string", "artargetname").append_attribute("value") =
        ("target-" + std::to_string(i)).c_str();
    property("string", "artargetimage").append_attribute("value") = "image.png";
    Number(property("double", "artargetwidth"), "value", 0.1 * i);
    Number(property("double", "artargetheight"), "value", 0.2 * i);
    property("uint8", "artargettype").append_attribute("value") = 0;
    property("int", "artargetid").append_attribute("value") = i;
    auto c = property("point", "artargetcenter");
    Number(c, "x", i * 1.5), Number(c, "y", i * -0.25), Number(c, "z", 3.75);
    property("string", "artargetshape").append_attribute("value") = "/model/shape";
    for (const char* key : {"artargetnormal", "artargetxdir", "artargetydir"}) {
      auto v = property("vector", key);
      Number(v, "x", 0), Number(v, "y", 0), Number(v, "z", 1);
    }
    Number(property("double", "artargetrotation"), "value", i * 0.01);
  }
  doc.save_file(path.c_str(), "  ", pugi::format_indent);
}

void PugixmlSave(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const std::string path = Directory() + "/pugixml.xml";
  const std::size_t before = arbench::BytesInUse();
  arbench::ResetPeak();
  PugixmlBuildAndSave(count, path);  // first touch, untimed
  for (auto _ : state) PugixmlBuildAndSave(count, path);
  Report(state, before, count);
}

void PugixmlParseAndConvert(const std::string& path) {
  pugi::xml_document doc;
  doc.load_file(path.c_str());
  double sum = 0;
  std::size_t texts = 0;
  const auto number = [&](const char* s) {
    double v = 0;
    std::from_chars(s, s + std::strlen(s), v);
    sum += v;
  };
  for (auto target : doc.document_element().child("targets").child("content").children()) {
    for (auto p : target.children()) {
      const char* type = p.name();
      if (type[0] == 'p' || type[0] == 'v') {
        number(p.attribute("x").value());
        number(p.attribute("y").value());
        number(p.attribute("z").value());
      } else if (type[0] == 's') {
        texts += std::strlen(p.attribute("value").value());
      } else {
        number(p.attribute("value").value());
      }
    }
  }
  benchmark::DoNotOptimize(sum);
  benchmark::DoNotOptimize(texts);
}

void PugixmlLoad(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const std::size_t before = arbench::BytesInUse();
  arbench::ResetPeak();
  PugixmlParseAndConvert(PathOf(count));  // first touch, untimed
  for (auto _ : state) PugixmlParseAndConvert(PathOf(count));
  Report(state, before, count);
}

// Saves come first: they write the files the loads read.
BENCHMARK(Save)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(PugixmlSave)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(Load)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(PugixmlLoad)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  mallopt(M_MMAP_THRESHOLD, 32 << 20);  // glibc's largest
  mallopt(M_TRIM_THRESHOLD, INT_MAX);
  arbench::MeterPugixml();
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
