// Findings about groups of targets (an id, a name or a picture shared): each member carries its
// own in every format, naming a bounded number of the others, and JSON and SARIF list each
// group's members once; JUnit and SARIF name targets by name and id, so that a target added
// elsewhere leaves the others' test names and fingerprints as they were.
#include <gtest/gtest.h>

#include <map>
#include <nlohmann/json.hpp>
#include <pugixml.hpp>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "ArtargetsTest.h"
#include "checks/Examination.h"
#include "checks/FileCheck.h"
#include "reports/JUnitReport.h"
#include "reports/SarifLog.h"

namespace {

using artest::ArtargetsTest;
using Json = nlohmann::json;
using Places = std::set<int>;

class TargetGroupsTest : public ArtargetsTest {
 protected:
  // A sound target; type 1 with `id` when `id` is not negative; showing `image` when given.
  static std::string Member(const std::string& name, int id, const std::string& image) {
    std::string extra;
    if (id >= 0)
      extra = "<uint8 key=\"artargettype\" value=\"1\"/><int key=\"artargetid\" value=\"" +
              std::to_string(id) + "\"/>";
    if (!image.empty()) extra += "<string key=\"artargetimage\" value=\"" + image + "\"/>";
    return Target(Named(name) + Sized(1, 2) + kUpright + extra) + "\n";
  }
  // Seven targets: 1, 2, 4 and 7 share the id 5; 2, 3 and 5 the name "Twin"; 1, 3, 5, 6 and 7
  // the picture shared.png.
  void WriteGroups() {
    Image("shared.png", 8, 6, [](int x, int y) { return (x * 37 + y * 91) % 256; });
    Write("t.xml", TargetFile(Member("A", 5, "shared.png") + Member("Twin", 5, "") +
                              Member("Twin", -1, "shared.png") + Member("B", 5, "") +
                              Member("Twin", -1, "shared.png") + Member("C", -1, "shared.png") +
                              Member("D", 5, "shared.png")));
  }
  // The identities JUnit and SARIF give the seven targets of WriteGroups, by place.
  static std::map<std::string, int> Identities() {
    return {{"\"A\" id 5", 1},       {"\"Twin\" id 5", 2}, {"\"Twin\" id 0", 3}, {"\"B\" id 5", 4},
            {"\"Twin\" id 0 #2", 5}, {"\"C\" id 0", 6},    {"\"D\" id 5", 7}};
  }
  // The places that carry a finding of each code, in each format's own terms.
  using Carriers = std::map<std::string, Places>;

  Carriers FromText(const std::string& out) {
    Carriers carriers;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
      const auto code = line.find(" ART");
      const auto target = line.find(": target ");
      if (code != std::string::npos && target != std::string::npos)
        carriers[line.substr(code + 1, 6)].insert(std::stoi(line.substr(target + 9)));
    }
    return carriers;
  }
  // The JSON's findings, each checked against the group it points at.
  Carriers FromJson(const std::string& out, const std::map<std::string, Places>& expected) {
    const Json file = Json::parse(out);
    Carriers carriers;
    for (const Json& f : file["findings"]) {
      carriers[f["code"]].insert(f["target"].get<int>());
      if (!f.contains("group")) continue;
      const Json& group = file["groups"][f["group"].get<std::size_t>()];
      EXPECT_EQ(group["code"], f["code"]);
      const auto members = group["targets"].get<std::vector<int>>();
      EXPECT_EQ(Places(members.begin(), members.end()), expected.at(f["code"]));
    }
    return carriers;
  }
  Carriers FromSarif(const std::string& out, const std::map<std::string, Places>& expected) {
    const Json run = Json::parse(out)["runs"][0];
    Carriers carriers;
    for (const Json& r : run["results"]) {
      const Json& logical = r["locations"][0]["logicalLocations"][0];
      carriers[r["ruleId"]].insert(Identities().at(logical["fullyQualifiedName"]));
      if (!expected.count(r["ruleId"])) continue;  // every expected code is a group's
      if (!r.contains("properties")) {
        ADD_FAILURE() << "no group for " << r;
        continue;
      }
      const std::size_t size = expected.at(r["ruleId"]).size();
      EXPECT_EQ(r["relatedLocations"].size(), std::min<std::size_t>(size - 1, 3)) << r;
      const Json& group =
          run["properties"]["targetGroups"][r["properties"]["targetGroup"].get<int>()];
      EXPECT_EQ(group["ruleId"], r["ruleId"]);
      Places members;
      for (const Json& m : group["members"])
        members.insert(Identities().at(m["fullyQualifiedName"]));
      EXPECT_EQ(members, expected.at(r["ruleId"]));
    }
    return carriers;
  }
  Carriers FromJUnit(const std::string& out) {
    pugi::xml_document doc;
    EXPECT_TRUE(doc.load_string(out.c_str())) << out;
    Carriers carriers;
    for (const pugi::xml_node c : doc.child("testsuites").child("testsuite").children("testcase")) {
      const std::string name = c.attribute("name").value();
      const std::string held = std::string(c.child("failure").attribute("message").value()) +
                               c.child("system-out").text().get();
      for (const char* code : {"ART201", "ART208", "ART307"})
        if (held.find(code) != std::string::npos)
          carriers[code].insert(Identities().at(name.substr(std::string("target ").size())));
    }
    return carriers;
  }
};

// Each member of each group carries the group's finding in every format, and no other target
// does. A finding names the first others by place and counts the rest; a member is never among
// the others it is told of.
TEST_F(TargetGroupsTest, EveryMemberCarriesItsGroupsFindingInEveryFormatNamingAFewOthers) {
  WriteGroups();
  const std::map<std::string, Places> expected = {
      {"ART201", {1, 2, 4, 7}}, {"ART208", {2, 3, 5}}, {"ART307", {1, 3, 5, 6, 7}}};
  const char* const formats[] = {"text", "json", "sarif", "junit"};
  std::string text;
  for (const std::string format : formats) {
    SCOPED_TRACE(format);
    const std::string out = Run("check t.xml --images --no-cache --format " + format).out;
    Carriers found = format == "text"    ? FromText(text = out)
                     : format == "json"  ? FromJson(out, expected)
                     : format == "sarif" ? FromSarif(out, expected)
                                         : FromJUnit(out);
    for (const auto& [code, members] : expected) EXPECT_EQ(found[code], members) << code;
  }
  const std::pair<const char*, const char*> rows[] = {
      {"ART201: target 1 \"A\"",
       "its id 5 is also that of type-1 targets 2 \"Twin\", 4 \"B\" and 7 \"D\";"},
      {"ART201: target 7 \"D\"", "type-1 targets 1 \"A\", 2 \"Twin\" and 4 \"B\";"},
      {"ART208: target 3 \"Twin\"", "its name is also that of targets 2 and 5;"},
      {"ART307: target 1 \"A\"", "that of targets 3 \"Twin\", 5 \"Twin\", 6 \"C\" and 1 more;"},
      {"ART307: target 6 \"C\"", "that of targets 1 \"A\", 3 \"Twin\", 5 \"Twin\" and 1 more;"},
  };
  for (const auto& [who, says] : rows) {
    SCOPED_TRACE(who);
    const auto line = text.find(who);
    ASSERT_NE(line, std::string::npos) << text;
    const std::string shown = text.substr(line, text.find('\n', line) - line);
    EXPECT_NE(shown.find(says), std::string::npos) << shown;
  }
}

// 1,000 targets sharing one picture: one line of bounded length per finding, and the JSON lists
// the group's members once rather than in every member's finding.
TEST_F(TargetGroupsTest, ASharedPictureCostsLinesOfBoundedLength) {
  Image("tiny.png", 8, 6, [](int x, int y) { return (x * 37 + y * 91) % 256; });
  constexpr int kTargets = 1000;
  std::string body;
  for (int i = 0; i < kTargets; ++i) body += Member("T" + std::to_string(i), -1, "tiny.png");
  Write("t.xml", TargetFile(body));
  const std::string text = Run("check t.xml --images --no-cache").out;
  std::istringstream lines(text);
  std::size_t count = 0, shared = 0, longest = 0, ofFirst = 0;
  for (std::string line; std::getline(lines, line); ++count) {
    shared += line.find(" ART307: ") != std::string::npos;
    ofFirst += line.find(": target 1 \"T0\"") != std::string::npos;  // findings, score
    longest = std::max(longest, line.size());
  }
  EXPECT_EQ(shared, std::size_t(kTargets));
  EXPECT_EQ(count, kTargets * ofFirst + 1) << "each target as many lines as the first, and a total";
  EXPECT_LT(longest, 200u);
  EXPECT_LT(text.size(), kTargets * 200 * ofFirst);
  EXPECT_NE(text.find("T0\", 2 \"T1\", 3 \"T2\" and 996 more;"), std::string::npos);
  const std::string json = Run("check t.xml --images --no-cache --json").out;
  EXPECT_LT(json.size(), std::size_t(kTargets) * 5000) << "the members are not repeated";
  const Json parsed = Json::parse(json);
  ASSERT_EQ(parsed["groups"].size(), 1u);
  EXPECT_EQ(parsed["groups"][0]["targets"].size(), std::size_t(kTargets));
}

// A target added before, between or after the others renames no other test case and changes no
// other result's fingerprint or logical location; every result has a fingerprint of its own, also
// each of a code that one target has more than once.
TEST_F(TargetGroupsTest, AnAddedTargetLeavesTheOthersNamesAndFingerprints) {
  const std::string a = Member("A", 3, ""), b = Member("B", 3, ""), twin = Member("Twin", -1, "");
  const std::string joins = Member("New", 3, ""), alone = Member("Solo", -1, "");
  // Two targets added in each row; the one named New joins A's and B's id.
  const std::pair<const char*, std::string> rows[] = {
      {"first", joins + alone + a + b + twin + twin},
      {"between", a + joins + b + twin + alone + twin},
      {"last, a third twin", a + b + twin + twin + joins + twin},
  };
  // Test case names and, by rule and logical location, the results' fingerprints.
  struct Names {
    std::set<std::string> cases;
    std::map<std::string, std::string> fingerprints;
  };
  const auto names = [&](const std::string& body) {
    Write("t.xml", TargetFile(body));
    // Examined as check examines a file that loads, and printed as check prints it.
    artargets::Examination examined = artargets::Examine(dir_.File("t.xml"));
    artargets::CheckedFile file;
    file.path = "t.xml";
    file.loaded = true;
    file.targets = std::move(examined.targets);
    file.findings = std::move(examined.findings);
    file.groups = std::move(examined.groups);
    const std::vector<artargets::CheckedFile> files = {file};
    Names n;
    pugi::xml_document doc;
    EXPECT_TRUE(doc.load_string(artargets::JUnitReport(files, false).c_str()));
    for (const pugi::xml_node c : doc.child("testsuites").child("testsuite").children("testcase"))
      n.cases.insert(c.attribute("name").value());
    std::set<std::string> prints;
    const Json log = Json::parse(artargets::SarifLog(files, {}));
    for (const Json& r : log["runs"][0]["results"]) {
      const std::string print = r["partialFingerprints"]["artargetsFinding/v1"];
      EXPECT_TRUE(prints.insert(print).second) << "a fingerprint of its own: " << r;
      const std::string where = r["locations"][0]["logicalLocations"][0]["fullyQualifiedName"];
      n.fingerprints[r["ruleId"].get<std::string>() + " " + where] = print;
    }
    return n;
  };
  const Names before = names(a + b + twin + twin);
  EXPECT_EQ(before.fingerprints.size(), 4u) << "ART201 on A and B, ART208 on both twins";
  for (const auto& [where, body] : rows) {
    SCOPED_TRACE(where);
    const Names after = names(body);
    EXPECT_EQ(after.cases.size(), before.cases.size() + 2);
    for (const std::string& name : before.cases) EXPECT_EQ(after.cases.count(name), 1u) << name;
    for (const auto& [result, print] : before.fingerprints)
      EXPECT_EQ(after.fingerprints.count(result) ? after.fingerprints.at(result) : "", print)
          << result;
  }
  // A target without directions has three ART204s (one key here), told apart by their count.
  EXPECT_EQ(names(a + Target(Named("Edge") + Sized(1, 2))).fingerprints.size(), 1u);
}

}  // namespace
