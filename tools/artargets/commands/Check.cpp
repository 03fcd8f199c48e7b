#include "Check.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <string_view>
#include <utility>

#include "ValueText.h"
#include "ar/TargetFileKeys.h"
#include "dg/XmlElem.h"
#include "orl/SerializedContent.h"
#include "serializedContent/ValueText.h"
#include "serializedContent/XmlParser.h"

namespace artargets {

namespace {

// A key the reader knows and the type it expects, interned once so that each property of a
// large file is matched by comparing symbols, not texts.
struct KnownKey {
  du::Symbol key;
  const char* type;
};

const std::vector<KnownKey>& KnownKeys() {
  using namespace ar::keys;
  static const std::vector<KnownKey> keys = {
      {kVersion, "uint8"},  {kName, "string"},   {kImage, "string"}, {kWidth, "double"},
      {kHeight, "double"},  {kType, "uint8"},    {kId, "int"},       {kCenter, "point"},
      {kShape, "string"},   {kNormal, "vector"}, {kXDir, "vector"},  {kYDir, "vector"},
      {kRotation, "double"}};
  return keys;
}

// The directions a target needs, in the order they are reported.
const char* const kDirections[] = {ar::keys::kNormal, ar::keys::kXDir, ar::keys::kYDir};

// One "artarget" element as the file gives it (the last value of a key given twice wins, as
// in the reader).
struct FileTarget {
  int place = 0;  // 1-based, in file order
  std::string name, image;
  bool hasVersion = false;
  int version = 0;
  double width = 0, height = 0;
  dg::DVec3 directions[3] = {};  // as kDirections
  std::vector<std::string> ignored;

  std::string Label() const {
    return "target " + std::to_string(place) + (name.empty() ? "" : " " + Quoted(name));
  }
};

// Reads the "artarget" elements wherever they stand, with their own properties only (the
// reader makes a target of each and does not look inside it for more), and hands each on as
// it ends: a large file's targets are not all held at once.
class TargetCollector final : public orl::SerializedContentVisitor {
 public:
  explicit TargetCollector(std::function<void(const FileTarget&)> onTarget)
      : onTarget_(std::move(onTarget)) {}

  bool StartElement(const du::Symbol& name, const orl::SerializedContentElement*) override {
    if (inside_) return false;
    if (name != artarget_) return true;
    inside_ = true;
    target_ = FileTarget{};
    target_.place = ++places_;
    return true;
  }
  bool EndElement(const du::Symbol& name) override {
    if (name != artarget_) return true;
    inside_ = false;
    onTarget_(target_);
    return true;
  }
  void Visit(const du::Symbol& key, const dg::DVec3& v) override {
    if (!Accept(key, "vector")) return;
    for (int i = 0; i < 3; ++i)
      if (key == *directions_[i]) target_.directions[i] = v;
  }
  void Visit(const du::Symbol& key, const dg::DPoint3D&) override { Accept(key, "point"); }
  void Visit(const du::Symbol& key, const du::Symbol& v) override {
    if (!Accept(key, "string")) return;
    if (key == name_) target_.name = v.str();
    if (key == image_) target_.image = v.str();
  }
  void Visit(const du::Symbol& key, int) override { Accept(key, "int"); }
  void Visit(const du::Symbol& key, unsigned char v) override {
    if (Accept(key, "uint8") && key == version_) {
      target_.hasVersion = true;
      target_.version = v;
    }
  }
  void Visit(const du::Symbol& key, double v) override {
    if (!Accept(key, "double")) return;
    if (key == width_) target_.width = v;
    if (key == height_) target_.height = v;
  }
  void Visit(const du::Symbol& key, float) override { Accept(key, "float"); }
  void Visit(const du::Symbol& key, bool) override { Accept(key, "bool"); }

 private:
  // True when the reader takes this property; notes it as ignored otherwise.
  bool Accept(const du::Symbol& key, const char* type) {
    if (!inside_) return false;
    const auto& keys = KnownKeys();
    const auto known =
        std::find_if(keys.begin(), keys.end(), [&](const KnownKey& k) { return k.key == key; });
    if (known == keys.end()) {
      target_.ignored.push_back(Quoted(key.str()) + " is not a key the reader knows");
      return false;
    }
    if (std::strcmp(known->type, type) != 0) {
      target_.ignored.push_back(Quoted(key.str()) + " is a " + type +
                                " where the reader expects a " + known->type);
      return false;
    }
    return true;
  }

  // The key symbols of the table above, not interned a second time.
  static const du::Symbol& Known(const char* text) {
    const auto& keys = KnownKeys();
    return std::find_if(keys.begin(), keys.end(),
                        [&](const KnownKey& k) { return k.key.view() == text; })
        ->key;
  }

  const du::Symbol artarget_{ar::keys::kArTarget};
  const du::Symbol &name_ = Known(ar::keys::kName), &image_ = Known(ar::keys::kImage),
                   &version_ = Known(ar::keys::kVersion), &width_ = Known(ar::keys::kWidth),
                   &height_ = Known(ar::keys::kHeight);
  const du::Symbol* const directions_[3] = {&Known(kDirections[0]), &Known(kDirections[1]),
                                            &Known(kDirections[2])};
  std::function<void(const FileTarget&)> onTarget_;
  FileTarget target_;
  int places_ = 0;
  bool inside_ = false;
};

std::string Number(double value) { return serializedContent::FormatDouble(value); }

void FindingsOf(const FileTarget& t, std::vector<std::string>& out) {
  if (!t.hasVersion || t.version != 0) {
    out.push_back(t.Label() + ": " +
                  (t.hasVersion ? "its version is " + std::to_string(t.version) + ", not 0"
                                : "it has no \"" + std::string(ar::keys::kVersion) + "\"") +
                  "; the reader makes an empty target of it");
    return;  // its values are not read, so nothing else about it matters
  }
  for (const auto& why : t.ignored) out.push_back(t.Label() + ": " + why + "; it is ignored");
  if (!std::isfinite(t.width) || !std::isfinite(t.height) || t.width <= 0 || t.height <= 0)
    out.push_back(t.Label() + ": its size " + Number(t.width) + " x " + Number(t.height) +
                  " is not " +
                  (std::isfinite(t.width) && std::isfinite(t.height) ? "positive" : "finite"));
  for (int i = 0; i < 3; ++i) {
    const dg::DVec3& v = t.directions[i];
    if (v.x == 0 && v.y == 0 && v.z == 0)
      out.push_back(t.Label() + ": its " + std::string(kDirections[i] + 8) + " has length zero");
  }
}

void SharedNames(const std::vector<PlacedTarget>& targets, std::vector<std::string>& out) {
  // The name and place of each target, sorted: the places of a name follow each other, in
  // file order.
  std::vector<std::pair<std::string_view, int>> named;
  for (const auto& t : targets) named.emplace_back(t.name, t.place);
  std::sort(named.begin(), named.end());
  for (auto first = named.begin(); first != named.end();) {
    const auto end = std::find_if(first, named.end(),
                                  [&](const auto& other) { return other.first != first->first; });
    if (end - first > 1) {
      std::string list;
      for (auto at = first; at != end; ++at)
        list += (at == first ? "" : ", ") + std::to_string(at->second);
      out.push_back("the name " + Quoted(std::string(first->first)) + " is used by " +
                    std::to_string(end - first) + " targets (" + list +
                    "); a scene shows only one of them");
    }
    first = end;
  }
}

}  // namespace

Examination ExamineTree(const orl::SerializedContentElement& top,
                        const std::vector<std::string>& problems) {
  Examination examination;
  std::vector<std::string>& findings = examination.findings;
  for (const auto& problem : problems) findings.push_back(Escaped(problem) + "; it is skipped");
  TargetCollector collector([&](const FileTarget& target) {
    FindingsOf(target, findings);
    if (target.hasVersion && target.version == 0)
      examination.targets.push_back(
          {target.place, target.name, target.image, target.width, target.height});
  });
  top.Visit(collector, true);
  SharedNames(examination.targets, findings);
  return examination;
}

Examination Examine(const std::string& path) {
  dg::XmlTree root(dg::ParseXmlFromFile(path, false, nullptr));
  dg::XmlElem* targets = root ? root->FindChild("targets") : nullptr;
  if (!targets) return {};
  const auto top = orl::SerializedContentElement::CreateTopElement(du::Symbol("targets"));
  serializedContent::XmlParser parser;
  parser.Parse(targets, top.get());
  root.reset();  // the tree has its own copy of everything; a large file's XML goes now
  return ExamineTree(*top, parser.GetProblems());
}

}  // namespace artargets
