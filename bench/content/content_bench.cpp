// Targets written to and read from XML text, through the serialized-content tree, against
// pugixml alone building or parsing the same bytes and converting every value, in the same
// run. Large blocks stay with the process (mallopt below), for ours and the baseline alike.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <charconv>
#include <climits>
#include <cstring>
#include <pugixml.hpp>
#include <set>
#include <sstream>
#include <string>

#include "MemoryMeter.h"
#include "RatioReporter.h"
#include "ar/ARContent.h"
#include "ar/ARController.h"
#include "ar/ARTarget.h"
#include "arhost/Host.h"
#include "dg/XmlElem.h"
#include "orl/SerializedContent.h"
#include "serializedContent/XmlParser.h"
#include "serializedContent/XmlWriter.h"

namespace {

using du::SmartPtr;

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

std::string WriteText(const SmartPtr<ar::ARContent>& content) {
  dg::XmlElem* root = dg::NewXmlElem("augmentedreality", false);
  root->SetIntAttribute("version", 1);
  dg::XmlElem* targets = dg::NewXmlElem("targets", root);
  auto top = orl::SerializedContentElement::CreateTopElement(du::Symbol("targets"));
  content->Visit(top.get());
  serializedContent::XmlWriter writer(targets);
  top->Visit(writer, true);
  std::string text = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
  dg::WriteXmlCloseTags(root, text, 0);
  dg::FreeXml(root);
  return text;
}

void ReadText(const std::string& text) {
  dg::XmlElem* root = dg::ParseXmlFromString(text, false, nullptr);
  auto top = orl::SerializedContentElement::CreateTopElement(du::Symbol("targets"));
  serializedContent::XmlParser parser;
  parser.Parse(root->FindChild("targets"), top.get());
  dg::FreeXml(root);
  SmartPtr<ar::ARContent> content = new ar::ARContent;
  content->PopulateFromContent(top.get());
  benchmark::DoNotOptimize(content.get());
}

void ReportPeak(benchmark::State& state, std::size_t before, int targets) {
  state.counters["peak_bytes_per_target"] =
      static_cast<double>(arbench::PeakBytes() - before) / targets;
}

void WriteTargets(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  {
    auto content = MakeContent(count);
    const std::size_t before = arbench::BytesInUse();
    arbench::ResetPeak();
    benchmark::DoNotOptimize(WriteText(content));  // first touch of the memory, untimed
    for (auto _ : state) benchmark::DoNotOptimize(WriteText(content));
    ReportPeak(state, before, count);
    state.SetItemsProcessed(state.iterations() * count);
  }
  arhost::Shutdown();
}
BENCHMARK(WriteTargets)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void ReadTargets(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  {
    const std::string text = WriteText(MakeContent(count));
    arhost::Shutdown();
    const std::size_t before = arbench::BytesInUse();
    arbench::ResetPeak();
    ReadText(text);  // first touch of the memory, untimed
    for (auto _ : state) ReadText(text);
    ReportPeak(state, before, count);
    state.SetItemsProcessed(state.iterations() * count);
  }
  arhost::Shutdown();
}
BENCHMARK(ReadTargets)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Baselines: the same bytes with pugixml alone.
void Number(pugi::xml_node node, const char* name, double value) {
  char buffer[32];
  *std::to_chars(buffer, buffer + sizeof(buffer) - 1, value).ptr = '\0';
  node.append_attribute(name).set_value(buffer);
}

std::string PugixmlWriteText(int count) {
  {
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
    std::ostringstream out;
    out << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
    root.print(out, "  ", pugi::format_indent);
    return out.str();
  }
}

void PugixmlWrite(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const std::size_t before = arbench::BytesInUse();
  arbench::ResetPeak();
  benchmark::DoNotOptimize(PugixmlWriteText(count));  // first touch of the memory, untimed
  for (auto _ : state) benchmark::DoNotOptimize(PugixmlWriteText(count));
  ReportPeak(state, before, count);
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(PugixmlWrite)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void PugixmlRead(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  std::string text;
  {
    text = WriteText(MakeContent(count));
    arhost::Shutdown();
  }
  const std::size_t before = arbench::BytesInUse();
  arbench::ResetPeak();
  bool warm = false;
  for (auto _ : state) {
    if (!warm) {  // first touch of the memory, untimed
      state.PauseTiming();
      pugi::xml_document first;
      first.load_buffer(text.data(), text.size());
      warm = true;
      state.ResumeTiming();
    }
    pugi::xml_document doc;
    doc.load_buffer(text.data(), text.size());
    double sum = 0;
    std::size_t texts = 0;
    auto number = [&](const char* s) {
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
  ReportPeak(state, before, count);
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(PugixmlRead)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  // Keep large blocks in the process for ours and the baseline alike: returning them to the
  // system would make a large parse's time depend on the kernel.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);  // glibc's largest
  mallopt(M_TRIM_THRESHOLD, INT_MAX);
  arbench::MeterPugixml();
  return arbench::RunWithRatios(argc, argv,
                                {
                                    {"WriteTargets/10000", "PugixmlWrite/10000", "<= 3"},
                                    {"WriteTargets/100000", "PugixmlWrite/100000", "<= 3"},
                                    {"ReadTargets/10000", "PugixmlRead/10000", "<= 3"},
                                    {"ReadTargets/100000", "PugixmlRead/100000", "<= 3"},
                                });
}
