#include "reports/SarifLog.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <sstream>
#include <unordered_map>

#include "ar/Version.h"
#include "checks/FindingCodes.h"
#include "reports/TargetIdentity.h"
#include "support/Json.h"
#include "support/JsonOut.h"
#include "support/JsonPieces.h"
#include "support/SafeText.h"

namespace artargets {

namespace {

Json Rules() {
  Json rules = Json::array();
  for (const FindingCode& c : FindingCodes())
    rules.push_back({{"id", c.code},
                     {"shortDescription", {{"text", c.title}}},
                     {"help", {{"text", c.fix}}},
                     {"defaultConfiguration", {{"level", SeverityName(c.severity)}}}});
  return rules;
}

// FNV-1a, 64 bits, as hex: a short, stable digest of a finding's identity.
std::string Digest(const std::string& text) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const unsigned char c : text) hash = (hash ^ c) * 1099511628211ull;
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
  return hex;
}

// One file's results, and the groups their findings point at. A target is named by its
// identity (TargetIdentity.h), so that adding a target changes no other target's logical
// location or fingerprint.
class FileResults {
 public:
  FileResults(const CheckedFile& file, std::size_t firstGroup)
      : file_(file),
        uri_(PathUri(file.path)),
        identities_(TargetIdentities(file.targets)),
        firstGroup_(firstGroup) {}

  // The result of `f` as an object at `depth`, written as text: a million findings make no
  // million JSON trees.
  void AppendResult(std::string& out, const Finding& f, int depth) {
    const PlacedTarget* target = TargetAt(file_.targets, f.place);
    JsonObjectOut result(out, depth);
    result.Text("ruleId", f.code);
    const FindingCode* rule = FindCode(f.code);
    if (rule) result.Whole("ruleIndex", rule - FindingCodes().data());
    result.Text("level", SeverityName(f.severity));
    AppendTextObject(result.Key("message"), result.ValueDepth(), "text", f.message);
    AppendJsonArray(result.Key("locations"), 1, result.ValueDepth(), [&](std::string& text, auto) {
      AppendLocation(text, result.ValueDepth() + 1, std::max(1, LineOf(file_, f)),
                     [&](JsonObjectOut& location) {
                       if (target) AppendLogical(location, *target);
                     });
    });
    // The n-th finding of a code on one target (ART204 may say three directions): the count
    // keeps them apart without their messages, which name places and values.
    const std::string identity = target ? Identity(*target) : FallbackIdentity(f.place);
    const std::string key = f.code + '\n' + uri_ + '\n' + identity;
    AppendTextObject(result.Key("partialFingerprints"), result.ValueDepth(), "artargetsFinding/v1",
                     Digest(key + '\n' + std::to_string(Count(f, rule))));
    if (f.group >= 0) AppendGroup(result, f);
    result.End();
  }

  // The groups of the file: each with all its members, once.
  void AddGroups(Json& groups) const {
    for (const TargetGroup& group : file_.groups) {
      Json members = Json::array();
      for (const int place : group.places) {
        const PlacedTarget* t = TargetAt(file_.targets, place);
        members.push_back(
            {{"startLine", std::max(1, t->line)}, {"fullyQualifiedName", Identity(*t)}});
      }
      groups.push_back({{"ruleId", group.code},
                        {"uri", uri_},
                        {"shared", group.shared},
                        {"members", std::move(members)}});
    }
  }

 private:
  const std::string& Identity(const PlacedTarget& t) const {
    return identities_[std::size_t(&t - file_.targets.data())];
  }
  // How many findings of f's code (`rule`, when the tool knows it) on f's target there have
  // been, f included. A place names one target (and so one identity) of the file: counted by
  // place and code, a million findings keep no million keys of text.
  int Count(const Finding& f, const FindingCode* rule) {
    if (!rule) return ++seenOther_[f.code + '\n' + std::to_string(f.place)];
    const auto code = std::uint64_t(rule - FindingCodes().data());
    return ++seen_[std::uint64_t(std::uint32_t(f.place)) << 16 | code];
  }
  static std::string FallbackIdentity(int place) {  // the file's own, or a target not read
    return place == 0 ? "" : "#" + std::to_string(place);
  }
  // {"key": value}
  static void AppendTextObject(std::string& out, int depth, const char* key,
                               std::string_view value) {
    JsonObjectOut object(out, depth);
    object.Text(key, value);
    object.End();
  }

  // A location at `line` of the file, at `depth`; `more` adds members after physicalLocation.
  void AppendLocation(std::string& out, int depth, int line,
                      const std::function<void(JsonObjectOut&)>& more) const {
    JsonObjectOut location(out, depth);
    JsonObjectOut physical(location.Key("physicalLocation"), location.ValueDepth());
    AppendTextObject(physical.Key("artifactLocation"), physical.ValueDepth(), "uri", uri_);
    JsonObjectOut region(physical.Key("region"), physical.ValueDepth());
    region.Whole("startLine", line);
    region.End();
    physical.End();
    more(location);
    location.End();
  }

  void AppendLogical(JsonObjectOut& location, const PlacedTarget& t) const {
    const int depth = location.ValueDepth();
    AppendJsonArray(location.Key("logicalLocations"), 1, depth, [&](std::string& text, auto) {
      JsonObjectOut logical(text, depth + 1);
      logical.Text("name", t.name);
      logical.Text("fullyQualifiedName", Identity(t));
      logical.Text("kind", "element");
      logical.End();
    });
  }

  // A few of the other members as related locations (the ones the message names), and the
  // group's index in the run's list of groups, which holds them all.
  void AppendGroup(JsonObjectOut& result, const Finding& f) const {
    const TargetGroup& group = file_.groups[std::size_t(f.group)];
    std::vector<const PlacedTarget*> others;
    for (std::size_t i = 0; i < group.places.size() && others.size() < kOthersNamed; ++i) {
      const PlacedTarget* other = TargetAt(file_.targets, group.places[i]);
      if (other && other->place != f.place) others.push_back(other);
    }
    const int depth = result.ValueDepth();
    AppendJsonArray(result.Key("relatedLocations"), others.size(), depth,
                    [&](std::string& text, std::size_t i) {
                      AppendLocation(text, depth + 1, std::max(1, others[i]->line),
                                     [&](JsonObjectOut& location) {
                                       location.Whole("id", static_cast<long long>(i));
                                       AppendLogical(location, *others[i]);
                                       AppendTextObject(location.Key("message"),
                                                        location.ValueDepth(), "text",
                                                        TargetLabel(*others[i]));
                                     });
                    });
    JsonObjectOut properties(result.Key("properties"), depth);
    properties.Whole("targetGroup", static_cast<long long>(firstGroup_) + f.group);
    properties.Whole("targetGroupSize", static_cast<long long>(group.places.size()));
    properties.End();
  }

  const CheckedFile& file_;
  const std::string uri_;
  const std::vector<std::string> identities_;
  const std::size_t firstGroup_;
  std::unordered_map<std::uint64_t, int> seen_;     // by place and code's index
  std::unordered_map<std::string, int> seenOther_;  // a code the tool does not know
};

// Each rated image's score and tracking range (metres; null when it tracks at no distance or
// its size is unknown), for the run's property bag: results say only what is wrong.
Json ImagesProperty(const std::vector<CheckedFile>& files) {
  Json images = Json::array();
  for (const CheckedFile& file : files)
    for (const TargetImage& image : file.images) {
      if (!image.found || !image.quality.problem.empty()) continue;
      const TrackingRange& r = image.range;
      images.push_back({{"uri", PathUri(file.path)},
                        {"target", image.target.place},
                        {"name", image.target.name},
                        {"image", image.target.image},
                        {"score", image.quality.score},
                        {"nearest", r.tracks ? Json(r.nearest) : Json()},
                        {"farthest", r.tracks ? Json(r.farthest) : Json()}});
    }
  return images;
}

}  // namespace

std::string PathUri(const std::string& path) {
  static const char* const kHex = "0123456789ABCDEF";
  std::string uri = path.starts_with("/") ? "file://" : "";
  for (const unsigned char c : path) {
    if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~' || c == '/') {
      uri += char(c);
    } else {
      uri += '%';
      uri += kHex[c >> 4];
      uri += kHex[c & 15];
    }
  }
  return uri;
}

// A group's members are listed once, in the run's property bag ("targetGroups"), and each
// member's result points there ("targetGroup") and names only a few others as related
// locations: repeating every member in every member's result is what made a group of 20,000
// cost hundreds of megabytes. SARIF 2.1.0 has no object for "these locations share one thing":
// relatedLocations belong to one result, and run.graphs want edges that a shared picture does
// not have. A property bag is the schema's own place for what a tool adds; validators accept it
// and viewers (GitHub, VS Code's SARIF viewer) show the results and leave it alone.
void WriteSarifLog(std::ostream& out, const std::vector<CheckedFile>& files,
                   const LengthUnit& unit) {
  std::size_t count = 0;
  for (const CheckedFile& file : files) count += file.findings.size();
  out << "{";
  WriteJsonKey(out, "$schema", 0, true);
  WriteJson(out, "https://json.schemastore.org/sarif-2.1.0.json", 1);
  WriteJsonKey(out, "version", 0);
  WriteJson(out, "2.1.0", 1);
  WriteJsonKey(out, "runs", 0);
  out << "[\n    {";
  const Json driver = {{"name", "artargets"}, {"version", AR_VERSION_STRING}, {"rules", Rules()}};
  WriteJsonKey(out, "tool", 2, true);
  WriteJson(out, {{"driver", driver}}, 3);
  // The results are made one at a time, file after file, in the order of their findings.
  std::size_t file = 0, finding = 0, firstGroup = 0;
  std::optional<FileResults> results;
  WriteJsonKey(out, "results", 2);
  WriteJsonElements(out, count, 3, [&](std::string& text, std::size_t) {
    while (!results || finding == files[file].findings.size()) {
      if (results) firstGroup += files[file++].groups.size();
      finding = 0;
      results.emplace(files[file], firstGroup);
    }
    results->AppendResult(text, files[file].findings[finding++], 4);
  });
  Json groups = Json::array();
  for (std::size_t i = 0, first = 0; i < files.size(); first += files[i++].groups.size())
    if (!files[i].groups.empty()) FileResults(files[i], first).AddGroups(groups);
  WriteJsonKey(out, "properties", 2);
  WriteJson(
      out, {{"lengthUnit", unit.name}, {"images", ImagesProperty(files)}, {"targetGroups", groups}},
      3);
  out << "\n    }\n  ]\n}\n";
}

std::string SarifLog(const std::vector<CheckedFile>& files, const LengthUnit& unit) {
  std::ostringstream out;
  WriteSarifLog(out, files, unit);
  return out.str();
}

}  // namespace artargets
