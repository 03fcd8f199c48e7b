#include "TargetFixtures.h"

#include <charconv>
#include <cstring>
#include <set>
#include <string>

#include "MemoryMeter.h"
#include "ar/ARController.h"
#include "ar/ARTarget.h"

namespace arbench {

namespace {

void Number(pugi::xml_node node, const char* name, double value) {
  char buffer[32];
  *std::to_chars(buffer, buffer + sizeof(buffer) - 1, value).ptr = '\0';
  node.append_attribute(name).set_value(buffer);
}

}  // namespace

du::SmartPtr<ar::ARContent> MakeContent(int count) {
  du::SmartPtr<ar::ARContent> content = new ar::ARContent;
  std::set<du::SmartPtr<ar::ARTarget>> targets;
  for (int i = 0; i < count; ++i) {
    du::SmartPtr<ar::ARTarget> t = new ar::ARTarget(ar::ARController::Get());
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

void PugixmlBuildTargetFile(pugi::xml_document& doc, int count) {
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
}

void PugixmlConvertTargets(const pugi::xml_document& doc) {
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

void ReportPerTarget(benchmark::State& state, std::size_t bytesBefore, int count) {
  state.counters["peak_bytes_per_target"] = static_cast<double>(PeakBytes() - bytesBefore) / count;
  state.SetItemsProcessed(state.iterations() * count);
}

}  // namespace arbench
