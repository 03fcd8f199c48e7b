// Targets written to and read from XML text, through the serialized-content tree, against
// pugixml alone building the same bytes from plain records or parsing them back into records, in
// the same run, under the allocator settings of arbench::StartMetering.
#include <benchmark/benchmark.h>

#include <pugixml.hpp>
#include <sstream>
#include <string>

#include "MemoryMeter.h"
#include "RatioReporter.h"
#include "TargetFixtures.h"
#include "ar/ARContent.h"
#include "arhost/Host.h"
#include "dg/XmlElem.h"
#include "orl/SerializedContent.h"
#include "serializedContent/XmlParser.h"
#include "serializedContent/XmlWriter.h"

namespace {

using du::SmartPtr;

std::string WriteText(const SmartPtr<ar::ARContent>& content) {
  const dg::XmlTree root(dg::NewXmlElem("augmentedreality", false));
  root->SetIntAttribute("version", 1);
  dg::XmlElem* targets = dg::NewXmlElem("targets", root.get());
  auto top = orl::SerializedContentElement::CreateTopElement(du::Symbol("targets"));
  content->Visit(top.get());
  serializedContent::XmlWriter writer(targets);
  top->Visit(writer, true);
  std::string text = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
  dg::WriteXmlCloseTags(root.get(), text, 0);
  return text;
}

void ReadText(const std::string& text) {
  const dg::XmlTree root(dg::ParseXmlFromString(text, false, nullptr));
  auto top = orl::SerializedContentElement::CreateTopElement(du::Symbol("targets"));
  serializedContent::XmlParser parser;
  parser.Parse(root->FindChild("targets"), top.get());
  SmartPtr<ar::ARContent> content = new ar::ARContent;
  content->PopulateFromContent(top.get());
  benchmark::DoNotOptimize(content.get());
}

void WriteTargets(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  {
    auto content = arbench::MakeContent(count);
    const std::size_t before = arbench::BytesInUse();
    arbench::ResetPeak();
    benchmark::DoNotOptimize(WriteText(content));  // first touch of the memory, untimed
    for (auto _ : state) benchmark::DoNotOptimize(WriteText(content));
    arbench::ReportPerTarget(state, before, count);
  }
  arhost::Shutdown();
}
BENCHMARK(WriteTargets)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void ReadTargets(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  {
    const std::string text = WriteText(arbench::MakeContent(count));
    arhost::Shutdown();
    const std::size_t before = arbench::BytesInUse();
    arbench::ResetPeak();
    ReadText(text);  // first touch of the memory, untimed
    for (auto _ : state) ReadText(text);
    arbench::ReportPerTarget(state, before, count);
  }
  arhost::Shutdown();
}
BENCHMARK(ReadTargets)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Baselines: the same bytes with pugixml alone.
std::string PugixmlWriteText(const std::vector<arbench::Record>& records) {
  pugi::xml_document doc;
  arbench::PugixmlBuildTargetFile(doc, records);
  std::ostringstream out;
  out << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
  doc.document_element().print(out, "  ", pugi::format_indent);
  return out.str();
}

void PugixmlWrite(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const auto records = arbench::MakeRecords(count);
  const std::size_t before = arbench::BytesInUse();
  arbench::ResetPeak();
  benchmark::DoNotOptimize(PugixmlWriteText(records));  // first touch of the memory, untimed
  for (auto _ : state) benchmark::DoNotOptimize(PugixmlWriteText(records));
  arbench::ReportPerTarget(state, before, count);
}
BENCHMARK(PugixmlWrite)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void PugixmlRead(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  std::string text;
  {
    text = WriteText(arbench::MakeContent(count));
    arhost::Shutdown();
  }
  const std::size_t before = arbench::BytesInUse();
  arbench::ResetPeak();
  const auto parseAndConvert = [&] {
    pugi::xml_document doc;
    doc.load_buffer(text.data(), text.size());
    benchmark::DoNotOptimize(arbench::PugixmlReadRecords(doc));
  };
  parseAndConvert();  // first touch of the memory, untimed
  for (auto _ : state) parseAndConvert();
  arbench::ReportPerTarget(state, before, count);
}
BENCHMARK(PugixmlRead)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  arbench::StartMetering();
  return arbench::RunWithRatios(argc, argv,
                                {
                                    {"WriteTargets/10000", "PugixmlWrite/10000", "<= 3"},
                                    {"WriteTargets/100000", "PugixmlWrite/100000", "<= 3"},
                                    {"ReadTargets/10000", "PugixmlRead/10000", "<= 3"},
                                    {"ReadTargets/100000", "PugixmlRead/100000", "<= 3"},
                                });
}
