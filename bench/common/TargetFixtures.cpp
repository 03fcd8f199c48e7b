#include "TargetFixtures.h"

#include <charconv>
#include <cstring>
#include <set>
#include <string>

#include "ar/ARController.h"
#include "ar/ARTarget.h"

namespace arbench {

namespace {

void Number(pugi::xml_node node, const char* name, double value) {
  char buffer[32];
  *std::to_chars(buffer, buffer + sizeof(buffer) - 1, value).ptr = '\0';
  node.append_attribute(name).set_value(buffer);
}

void Triple(pugi::xml_node node, const std::array<double, 3>& v) {
  Number(node, "x", v[0]), Number(node, "y", v[1]), Number(node, "z", v[2]);
}

template <class T>
T Read(const char* text) {
  T value{};
  std::from_chars(text, text + std::strlen(text), value);
  return value;
}

std::array<double, 3> ReadTriple(pugi::xml_node node) {
  return {Read<double>(node.attribute("x").value()), Read<double>(node.attribute("y").value()),
          Read<double>(node.attribute("z").value())};
}

dg::DVec3 Vec(const std::array<double, 3>& v) { return {v[0], v[1], v[2]}; }

}  // namespace

std::vector<Record> MakeRecords(int count) {
  std::vector<Record> records(count);
  for (int i = 0; i < count; ++i) {
    Record& r = records[i];
    r.name = "target-" + std::to_string(i);
    r.image = "image-" + std::to_string(i % 100) + ".png";
    r.shape = "/model/shape/" + std::to_string(i);
    r.width = 0.1 * i, r.height = 0.2 * i, r.rotation = i * 0.01;
    r.id = i;
    r.center = {i * 1.5, i * -0.25, 3.75};
    r.normal = {0, 0, 1}, r.xdir = {1, 0, 0}, r.ydir = {0, 1, 0};
  }
  return records;
}

du::SmartPtr<ar::ARContent> MakeContent(int count) {
  du::SmartPtr<ar::ARContent> content = new ar::ARContent;
  std::set<du::SmartPtr<ar::ARTarget>> targets;
  for (const Record& r : MakeRecords(count)) {
    du::SmartPtr<ar::ARTarget> t = new ar::ARTarget(ar::ARController::Get());
    t->SetName(du::Symbol(r.name));
    t->SetImage(du::Symbol(r.image));
    t->SetSize(r.width, r.height);
    t->SetTargetId(r.id);
    dg::DPoint3D p{r.center[0], r.center[1], r.center[2]};
    dg::DVec3 n = Vec(r.normal), x = Vec(r.xdir), y = Vec(r.ydir);
    du::Symbol path(r.shape);
    t->SetLocation(p, n, x, y, path, r.rotation);
    targets.insert(t);
  }
  content->SetTargets(targets);
  return content;
}

void PugixmlBuildTargetFile(pugi::xml_document& doc, const std::vector<Record>& records) {
  auto root = doc.append_child("augmentedreality");
  root.append_attribute("version") = 1;
  auto arcontent = root.append_child("targets").append_child("content");
  arcontent.append_attribute("name") = "arcontent";
  for (const Record& r : records) {
    auto t = arcontent.append_child("content");
    t.append_attribute("name") = "artarget";
    const auto property = [&](const char* type, const char* key) {
      auto p = t.append_child(type);
      p.append_attribute("key") = key;
      return p;
    };
    property("uint8", "artargetversion").append_attribute("value") = r.version;
    property("string", "artargetname").append_attribute("value") = r.name.c_str();
    property("string", "artargetimage").append_attribute("value") = r.image.c_str();
    Number(property("double", "artargetwidth"), "value", r.width);
    Number(property("double", "artargetheight"), "value", r.height);
    property("uint8", "artargettype").append_attribute("value") = r.type;
    property("int", "artargetid").append_attribute("value") = r.id;
    Triple(property("point", "artargetcenter"), r.center);
    property("string", "artargetshape").append_attribute("value") = r.shape.c_str();
    Triple(property("vector", "artargetnormal"), r.normal);
    Triple(property("vector", "artargetxdir"), r.xdir);
    Triple(property("vector", "artargetydir"), r.ydir);
    Number(property("double", "artargetrotation"), "value", r.rotation);
  }
}

std::vector<Record> PugixmlReadRecords(const pugi::xml_document& doc) {
  std::vector<Record> records;
  for (auto target : doc.document_element().child("targets").child("content").children()) {
    Record& r = records.emplace_back();
    for (auto p : target.children()) {
      const std::string_view key = p.attribute("key").value();
      const char* value = p.attribute("value").value();
      if (key == "artargetversion") r.version = Read<unsigned char>(value);
      if (key == "artargetname") r.name = value;
      if (key == "artargetimage") r.image = value;
      if (key == "artargetwidth") r.width = Read<double>(value);
      if (key == "artargetheight") r.height = Read<double>(value);
      if (key == "artargettype") r.type = Read<unsigned char>(value);
      if (key == "artargetid") r.id = Read<int>(value);
      if (key == "artargetcenter") r.center = ReadTriple(p);
      if (key == "artargetshape") r.shape = value;
      if (key == "artargetnormal") r.normal = ReadTriple(p);
      if (key == "artargetxdir") r.xdir = ReadTriple(p);
      if (key == "artargetydir") r.ydir = ReadTriple(p);
      if (key == "artargetrotation") r.rotation = Read<double>(value);
    }
  }
  return records;
}

}  // namespace arbench
