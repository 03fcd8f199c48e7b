#include "reports/SarifLog.h"

#include <algorithm>
#include <cctype>

#include "ar/Version.h"
#include "checks/FindingCodes.h"
#include "support/Json.h"
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

int LineOf(const CheckedFile& file, const Finding& f) {
  if (f.line > 0) return f.line;
  for (const PlacedTarget& t : file.targets)
    if (t.place == f.place && t.line > 0) return t.line;
  return 1;
}

Json Result(const CheckedFile& file, const Finding& f) {
  const auto& codes = FindingCodes();
  const auto rule = std::find_if(codes.begin(), codes.end(),
                                 [&](const FindingCode& c) { return c.code == f.code; });
  Json result = {{"ruleId", f.code}};
  if (rule != codes.end()) result["ruleIndex"] = rule - codes.begin();
  result["level"] = SeverityName(f.severity);
  result["message"] = {{"text", f.message}};
  result["locations"] = Json::array({{{"physicalLocation",
                                       {{"artifactLocation", {{"uri", PathUri(file.path)}}},
                                        {"region", {{"startLine", LineOf(file, f)}}}}}}});
  return result;
}

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

std::string SarifLog(const std::vector<CheckedFile>& files, const LengthUnit& unit) {
  Json results = Json::array();
  for (const CheckedFile& file : files)
    for (const Finding& f : file.findings) results.push_back(Result(file, f));
  const Json driver = {{"name", "artargets"}, {"version", AR_VERSION_STRING}, {"rules", Rules()}};
  const Json log = {
      {"$schema", "https://json.schemastore.org/sarif-2.1.0.json"},
      {"version", "2.1.0"},
      {"runs", Json::array({{{"tool", {{"driver", driver}}},
                             {"results", results},
                             {"properties",
                              {{"lengthUnit", unit.name}, {"images", ImagesProperty(files)}}}}})}};
  return SafeJson(log.dump(2, ' ', false, Json::error_handler_t::replace)) + "\n";
}

}  // namespace artargets
