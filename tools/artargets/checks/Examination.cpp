#include "checks/Examination.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string_view>
#include <utility>

#include "ar/TargetFileKeys.h"
#include "checks/FindingCodes.h"
#include "dg/XmlElem.h"
#include "orl/SerializedContent.h"
#include "serializedContent/ValueText.h"
#include "serializedContent/XmlParser.h"
#include "targets/ValueText.h"

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
  double width = 0, height = 0, rotation = 0;
  int type = 0;
  long long id = 0;
  dg::DPoint3D center{};
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
  void Visit(const du::Symbol& key, const dg::DPoint3D& v) override {
    if (Accept(key, "point") && key == center_) target_.center = v;
  }
  void Visit(const du::Symbol& key, const du::Symbol& v) override {
    if (!Accept(key, "string")) return;
    if (key == name_) target_.name = v.str();
    if (key == image_) target_.image = v.str();
  }
  void Visit(const du::Symbol& key, int v) override {
    if (Accept(key, "int") && key == id_) target_.id = v;
  }
  void Visit(const du::Symbol& key, unsigned char v) override {
    if (!Accept(key, "uint8")) return;
    if (key == type_) target_.type = v;
    if (key == version_) {
      target_.hasVersion = true;
      target_.version = v;
    }
  }
  void Visit(const du::Symbol& key, double v) override {
    if (!Accept(key, "double")) return;
    if (key == width_) target_.width = v;
    if (key == height_) target_.height = v;
    if (key == rotation_) target_.rotation = v;
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
                   &height_ = Known(ar::keys::kHeight), &type_ = Known(ar::keys::kType),
                   &id_ = Known(ar::keys::kId), &center_ = Known(ar::keys::kCenter),
                   &rotation_ = Known(ar::keys::kRotation);
  const du::Symbol* const directions_[3] = {&Known(kDirections[0]), &Known(kDirections[1]),
                                            &Known(kDirections[2])};
  std::function<void(const FileTarget&)> onTarget_;
  FileTarget target_;
  int places_ = 0;
  bool inside_ = false;
};

Vec3 AsVec3(const dg::DVec3& v) { return {v.x, v.y, v.z}; }

double Dot(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

Vec3 Cross(const Vec3& a, const Vec3& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

// Adds the findings of one target's values to `out`.
class TargetFindings {
 public:
  TargetFindings(const FileTarget& t, const LengthUnit& unit, const CheckLimits& limits,
                 std::vector<Finding>& out)
      : t_(t), unit_(unit), limits_(limits), out_(out) {}

  void All() {
    if (!t_.hasVersion || t_.version != 0) {
      Add("ART104", (t_.hasVersion ? "its version is " + std::to_string(t_.version) + ", not 0"
                                   : "it has no \"" + std::string(ar::keys::kVersion) + "\"") +
                        "; the reader makes an empty target of it");
      return;  // its values are not read, so nothing else about it matters
    }
    for (const auto& why : t_.ignored) Add("ART105", why + "; it is ignored");
    Size();
    if (!std::isfinite(t_.center.x) || !std::isfinite(t_.center.y) || !std::isfinite(t_.center.z))
      Add("ART203",
          "its centre " + VectorText({t_.center.x, t_.center.y, t_.center.z}) + " is not finite");
    if (Directions()) Frame();
    ImagePath();
  }

 private:
  void Add(const char* code, const std::string& message) {
    out_.push_back({code, FindCode(code)->severity, t_.place, t_.Label() + ": " + message});
  }

  void Size() {
    const bool finite = std::isfinite(t_.width) && std::isfinite(t_.height);
    if (finite && t_.width > 0 && t_.height > 0) return;
    Add("ART202", "its size " + NumberText(t_.width) + " x " + NumberText(t_.height) + " " +
                      unit_.name + " is not " + (finite ? "positive" : "finite"));
  }

  // True when all three directions are of unit length, so that their angles mean something.
  // A length is compared as it is printed, to kLengthDecimals.
  bool Directions() {
    constexpr int kLengthDecimals = 6;
    const long long one = PrintedSteps(1, kLengthDecimals),
                    most = PrintedSteps(limits_.unitLength, kLengthDecimals);
    bool unit = true;
    for (int i = 0; i < 3; ++i) {
      const double length = std::sqrt(Dot(AsVec3(t_.directions[i]), AsVec3(t_.directions[i])));
      const long long printed =
          std::isfinite(length) && length < 1e9 ? PrintedSteps(length, kLengthDecimals) : -1;
      const std::string which = std::string(kDirections[i] + 8);  // past "artarget"
      if (length == 0) {
        Add("ART204", "its " + which + " has length zero");
      } else if (printed < 0 || std::llabs(printed - one) > most) {
        Add("ART204", "its " + which + " " + VectorText(AsVec3(t_.directions[i])) + " has length " +
                          (printed < 0 ? NumberText(length) : StepsText(printed, kLengthDecimals)) +
                          ", not 1");
      } else {
        continue;
      }
      unit = false;
    }
    return unit;
  }

  void Frame() {
    const Vec3 n = AsVec3(t_.directions[0]), x = AsVec3(t_.directions[1]),
               y = AsVec3(t_.directions[2]);
    const long long most = PrintedSteps(limits_.perpendicularDegrees, 0);
    const std::pair<const char*, double> angles[] = {{"normal and xdir", Dot(n, x)},
                                                     {"normal and ydir", Dot(n, y)},
                                                     {"xdir and ydir", Dot(x, y)}};
    bool square = true;
    for (const auto& [pair, cosine] : angles) {  // whole degrees, as printed
      const long long degrees =
          PrintedSteps(std::acos(std::clamp(cosine, -1.0, 1.0)) * 180 / std::acos(-1.0), 0);
      if (std::llabs(degrees - 90) <= most) continue;
      Add("ART205", "its " + std::string(pair) + " are " + std::to_string(degrees) +
                        " degrees apart, not 90");
      square = false;
    }
    if (square && Dot(Cross(n, x), y) < 0)
      Add("ART206", "its ydir is the opposite of normal x xdir: the frame is mirrored");
  }

  void ImagePath() {
    if (t_.image.empty()) return;
    const std::filesystem::path path(t_.image);
    const std::string normal = path.lexically_normal().generic_string();
    if (path.is_absolute())
      Add("ART207", "its image " + Quoted(t_.image) + " is an absolute path");
    else if (normal == ".." || normal.rfind("../", 0) == 0)
      Add("ART207", "its image " + Quoted(t_.image) + " lies outside the file's folder");
  }

  const FileTarget& t_;
  const LengthUnit& unit_;
  const CheckLimits& limits_;
  std::vector<Finding>& out_;
};

// The places of the targets that share a key, for each key shared by more than one, in file
// order.
template <class Key>
std::map<Key, std::vector<int>> Repeated(const std::vector<std::pair<Key, int>>& keyed) {
  std::map<Key, std::vector<int>> places;
  for (const auto& [key, place] : keyed) places[key].push_back(place);
  std::erase_if(places, [](const auto& entry) { return entry.second.size() < 2; });
  return places;
}

// A group of `code` and a finding on each of its members, whose message `says` what the member
// shares with the others (as OthersText names them).
void AddGroup(TargetGroup group, const std::vector<PlacedTarget>* names,
              const std::function<std::string(const std::string& others)>& says, Examination& out) {
  const int index = int(out.groups.size());
  const Severity severity = FindCode(group.code)->severity;
  for (const int place : group.places) {
    const PlacedTarget* target = TargetAt(out.targets, place);
    out.findings.push_back(
        {group.code, severity, place,
         TargetLabel(*target) + ": " + says(OthersText(group.places, place, names)), 0, index});
  }
  out.groups.push_back(std::move(group));
}

void SharedNamesAndIds(Examination& out) {
  std::vector<std::pair<std::string, int>> named;
  std::vector<std::pair<long long, int>> identified;
  for (const auto& t : out.targets) {
    named.emplace_back(t.name, t.place);
    if (t.type == 1) identified.emplace_back(t.id, t.place);
  }
  for (auto& [id, places] : Repeated(identified))
    AddGroup(
        {"ART201", std::to_string(id), std::move(places)}, &out.targets,
        [&](const std::string& others) {
          return "its id " + std::to_string(id) + " is also that of type-1 " + others +
                 "; a host that finds a target by id gets any one of them";
        },
        out);
  for (auto& [name, places] : Repeated(named))
    AddGroup(
        {"ART208", name, std::move(places)}, nullptr,  // the others' names are this one
        [](const std::string& others) {
          return "its name is also that of " + others + "; a scene shows only one of them";
        },
        out);
}
}  // namespace

Examination ExamineTree(const orl::SerializedContentElement& top,
                        const std::vector<std::string>& problems, const LengthUnit& unit,
                        const CheckLimits& limits) {
  Examination examination;
  std::vector<Finding>& findings = examination.findings;
  for (const auto& problem : problems)
    findings.push_back({"ART103", Severity::kWarning, 0, Escaped(problem) + "; it is skipped"});
  TargetCollector collector([&](const FileTarget& t) {
    TargetFindings(t, unit, limits, findings).All();
    if (!t.hasVersion || t.version != 0) return;
    const auto& d = t.directions;
    examination.targets.push_back({t.place, t.name, t.image, t.width, t.height, unit, t.type, t.id,
                                   Vec3{t.center.x, t.center.y, t.center.z}, AsVec3(d[0]),
                                   AsVec3(d[1]), AsVec3(d[2]), 0, t.rotation});
  });
  top.Visit(collector, true);
  SharedNamesAndIds(examination);
  return examination;
}

Examination Examine(const std::string& path, const LengthUnit& unit, const CheckLimits& limits) {
  dg::XmlTree root(dg::ParseXmlFromFile(path, false, nullptr));
  dg::XmlElem* targets = root ? root->FindChild("targets") : nullptr;
  if (!targets) return {};
  const auto top = orl::SerializedContentElement::CreateTopElement(du::Symbol("targets"));
  serializedContent::XmlParser parser;
  parser.Parse(targets, top.get());
  root.reset();  // the tree has its own copy of everything; a large file's XML goes now
  return ExamineTree(*top, parser.GetProblems(), unit, limits);
}

}  // namespace artargets
