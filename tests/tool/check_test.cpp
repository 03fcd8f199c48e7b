// `check`, `render` and `report` as a person and a CI system use them: every finding code with
// a file that has it, the gate's exit statuses, the SARIF log as Microsoft's validator judges it,
// the JUnit XML as an XML parser reads it, the report as headless Chromium shows it, and the
// saved ratings. Then every fix the tool prints, run as written.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <pugixml.hpp>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "ArtargetsTest.h"
#include "checks/ElementLines.h"
#include "checks/FindingCodes.h"
#include "commands/OwnedFolder.h"
#include "images/ImageQuality.h"
#include "images/RatingCache.h"
#include "reports/HtmlReport.h"
#include "reports/SarifLog.h"
#include "reports/Thumbnail.h"
#include "targets/PlainTargetText.h"
#include "targets/TargetElement.h"

namespace {

using artest::ArtargetsTest;
using artest::Result;
using Json = nlohmann::json;

class CheckTest : public ArtargetsTest {
 protected:
  static std::string TypeOne(const std::string& name, int id) {
    return Target(Named(name) + Sized(1, 2) + kUpright + Property("uint8", "artargettype", "1") +
                  Property("int", "artargetid", std::to_string(id)));
  }
  // Targets of a crowded hall: `spot` at one place, and a row of `row` close together.
  static std::string CrowdedHall(int spot, int row) {
    std::string body;
    for (int i = 0; i < spot + row; ++i) {
      const double x = i < spot ? 0 : 0.3 * (i - spot), z = i < spot ? 2 : 0;
      body += Target(Named("poster " + std::to_string(i)) + Sized(0.2, 0.2) + kUpright +
                     "<point key=\"artargetcenter\" x=\"" + std::to_string(x) + "\" y=\"0\" z=\"" +
                     std::to_string(z) + "\"/>");
    }
    return body;
  }
  std::string Tools() const { return AR_BINARY_DIR "/test-tools"; }
};

// The codes no fix command removes have a file that shows them here, with the table's severity
// (ART103 and ART105 are in artargets_test.cpp's exact output, the fix commands below show the
// others, image_rating_test.cpp and platforms_test.cpp the pictures' own troubles and the
// platforms' limits); the manual lists every code with its severity.
TEST_F(CheckTest, CodesWithoutAFixCommandAreFoundWithTheirSeverity) {
  Image("textured.png", 640, 480);
  std::filesystem::create_directory(dir_.path() / "folder");
  Write("folder/notes.xml", "<notes/>");
  struct Row {
    std::string code, body, args;  // the file's targets; what check is given besides the file
  };
  const Row rows[] = {
      {"ART101", "", "missing.xml"},
      {"ART102", "", "folder"},
      {"ART315", Pictured("A", "textured.png"), "--images --working-distance 100"},
      {"ART316", Pictured("A", "textured.png"), "--images --fail-below 100"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.code);
    const artargets::FindingCode* code = artargets::FindCode(row.code);
    ASSERT_NE(code, nullptr);
    std::string file = row.body.empty() ? "" : row.code + ".xml";
    if (!file.empty()) Write(file, TargetFile(row.body));
    const auto found = Findings(file + " " + row.args);
    const auto [first, end] = found.equal_range(row.code);
    ASSERT_NE(first, end) << "not found";
    for (auto f = first; f != end; ++f)
      EXPECT_EQ(f->second["severity"], artargets::SeverityName(code->severity));
  }
  // ART305 depends on the unit: 640 pixels across 320 mm are enough, across 320 cm not.
  Write("mm.xml", TargetFile(Target(Named("A") + Sized(320, 240) + kUpright +
                                    Property("string", "artargetimage", "textured.png"))));
  EXPECT_EQ(Findings("mm.xml --images --units mm").count("ART305"), 0u);
  EXPECT_EQ(Findings("mm.xml --images --units cm").count("ART305"), 1u);
  const Json mm = Json::parse(Run("check mm.xml --images --units mm --json").out);
  EXPECT_EQ(mm["units"], "mm");
  EXPECT_EQ(mm["images"][0]["pixels_per_metre"], 2000);
  Write("missing.xml", TargetFile(Pictured("A", "nowhere.png")));
  const Json missing = Json::parse(Run("check missing.xml --images --json").out);
  EXPECT_EQ(missing["images"][0]["problem"], "is missing");
  EXPECT_TRUE(Json::parse(Run("check folder --json").out).contains("files")) << "one file in it";
  const std::string manual = artest::ReadFile(AR_SOURCE_DIR "/docs/artargets.md");
  for (const auto& code : artargets::FindingCodes()) {
    const std::string row = "| " + std::string(code.code) + " | " +
                            std::string(artargets::SeverityName(code.severity)) + " | ";
    EXPECT_NE(manual.find(row), std::string::npos) << "the manual lists " << code.code;
  }
}

// Each message is written once, among the file's findings; the warnings and each image's
// findings are listed by where they stand there, whichever findings the options leave.
TEST_F(CheckTest, EachMessageIsWrittenOnceAndWarningsAndImagesPointToIt) {
  Image("textured.png", 640, 480);
  Write("t.xml",
        TargetFile(Pictured("A", "textured.png") + Sound("A") + Pictured("B", "textured.png") +
                   Pictured("C", "lost.png") + Sound("D")));
  // The places in `findings` of those that `pick` takes.
  const auto where = [](const Json& findings, const std::function<bool(const Json&)>& pick) {
    std::multiset<std::size_t> at;
    for (std::size_t k = 0; k < findings.size(); ++k)
      if (pick(findings[k])) at.insert(k);
    return at;
  };
  for (const char* args : {"", " --disable ART307", " --disable ART301,ART308"}) {
    SCOPED_TRACE(args);
    const std::string text = Run(std::string("check t.xml --images --json") + args).out;
    const Json file = Json::parse(text);
    EXPECT_EQ(file["format_version"], 4);
    const Json& findings = file["findings"];
    for (const Json& f : findings) {
      const std::string message = Json(f["message"]).dump();
      std::size_t written = 0;
      for (auto at = text.find(message); at != std::string::npos; at = text.find(message, at + 1))
        ++written;
      EXPECT_EQ(written,
                where(findings, [&](const Json& g) { return g["message"] == f["message"]; }).size())
          << message;
    }
    const std::vector<std::size_t> listed = file["warnings"];
    EXPECT_EQ(std::multiset<std::size_t>(listed.begin(), listed.end()),
              where(findings, [](const Json& f) { return f["severity"] == "warning"; }));
    std::multiset<std::size_t> pointed;
    for (const Json& image : file["images"]) {
      for (const std::size_t at : image["findings"]) {
        pointed.insert(at);
        ASSERT_LT(at, findings.size());
        EXPECT_EQ(findings[at]["target"], image["target"]);
      }
    }
    const auto ofImages = where(
        findings, [](const Json& f) { return f["code"].get<std::string>().starts_with("ART3"); });
    EXPECT_EQ(pointed, ofImages) << "each image finding reachable from its image, once";
    EXPECT_GE(ofImages.size(), std::string(args).empty() ? 4u : 2u);
    EXPECT_LT(ofImages.size(), findings.size()) << "the repeated name A is no image's";
  }
}

// The lines findings point at are the lines of the targets' elements, whether the file is laid
// out as the plug-in writes it (read line by line) or otherwise (parsed).
TEST_F(CheckTest, TargetLinesAreTheLinesOfTheTargetsElementsInEveryLayout) {
  std::string target = "      <content name=\"artarget\">\n";
  for (const auto& [key, element] : artargets::PropertyForms())
    target += "        <" + element + " key=\"" + key + "\"" +
              (element == "point" || element == "vector" ? " x=\"0\" y=\"0\" z=\"1\""
               : key == "artargetversion"                ? " value=\"0\""
                                                         : " value=\"1\"") +
              " />\n";
  target += "      </content>\n";
  const std::string plain = artest::PluginLayout(target + target + target);
  ASSERT_TRUE(artargets::HoldsOnlyTargets(plain));
  struct Row {
    const char* what;
    std::string text;
    std::vector<int> lines;
  };
  const Row rows[] = {
      {"as the plug-in writes it", plain, {5, 20, 35}},
      {"without its last line feed", plain.substr(0, plain.size() - 1), {5, 20, 35}},
      {"a comment before the second",
       artest::PluginLayout(target + "      <!-- x -->\n" + target + target),
       {5, 21, 36}},
      {"on one line", TargetFile(Sound("A") + Sound("B")), {2, 2}},
      {"no targets", artest::PluginLayout(""), {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Write("t.xml", row.text);
    EXPECT_EQ(artargets::TargetLines(dir_.File("t.xml")), row.lines);
  }
}

// The exit status: errors fail, warnings only under --strict, notes never; many files give the
// worst; wrong usage is 2 (an option's wrong values: help_and_messages_test.cpp).
TEST_F(CheckTest, GateExitsWithTheWorstStatus) {
  Image("textured.png", 640, 480);
  Write("clean.xml", TargetFile(Sound("A")));
  Write("warned.xml", TargetFile(Sound("A") + Sound("A")));
  Write("ids.xml", TargetFile(TypeOne("A", 1) + TypeOne("B", 1)));
  Write("pictured.xml", TargetFile(Pictured("A", "textured.png")));
  Write("lost.xml", TargetFile(Pictured("A", "lost.png")));
  std::filesystem::create_directory(dir_.path() / "others");
  Write("others/notes.xml", "<notes/>");
  Write("others/t.xml", TargetFile(Sound("B")));  // a target file, its XML declaration first
  const std::pair<const char*, int> rows[] = {
      {"clean.xml", 0},
      {"warned.xml", 0},
      {"warned.xml --strict", 1},
      {"clean.xml --strict", 0},
      {"ids.xml", 1},
      {"clean.xml ids.xml", 1},
      {"ids.xml clean.xml", 1},
      {"clean.xml warned.xml", 0},
      {"clean.xml missing.xml", 1},
      {"others", 0},
      {"lost.xml", 0},
      {"lost.xml --images", 1},
      {"pictured.xml --images", 0},
      {"clean.xml --json --format json", 2},
      {"clean.xml --no-cache", 2},
  };
  for (const auto& [args, status] : rows) {
    SCOPED_TRACE(args);
    EXPECT_EQ(Run(std::string("check ") + args).status, status);
  }
  // A score at the threshold passes; one point under it fails.
  const int score =
      Json::parse(Run("check pictured.xml --images --json").out)["images"][0]["score"];
  for (const int under : {0, 1})
    EXPECT_EQ(
        Run("check pictured.xml --images --fail-below " + std::to_string(score + under)).status,
        under);
  const Result many = Run("check clean.xml missing.xml warned.xml others");
  EXPECT_NE(many.out.find("checked 5 files: 3 loaded, 1 did not load, 1 skipped, 4 targets, "
                          "2 warnings, 1 note"),
            std::string::npos)
      << many.out;
  const Json notLoaded = Json::parse(Run("check missing.xml --json").out);
  EXPECT_EQ(notLoaded["loads"], false);
  EXPECT_NE(notLoaded["error"].get<std::string>().find("No such file"), std::string::npos);
}

// The SARIF log passes Microsoft's validator (which rejects a broken log), and each result
// points at its target's element.
TEST_F(CheckTest, SarifPassesTheMultitoolAndPointsAtTheTargetsLine) {
  const std::string multitool =
      Tools() + "/node_modules/@microsoft/sarif-multitool-linux/Sarif.Multitool";
  const Result installed =
      Shell("[ -x '" + multitool + "' ] || { npm install --prefix '" + Tools() +
            "' --no-audit --no-fund --loglevel=error @microsoft/sarif-multitool@5.7.0 && "
            "chmod u+x '" +
            multitool + "'; }");
  ASSERT_EQ(installed.status, 0) << "the SARIF multitool could not be installed: " << installed.err;
  Write("t.xml",
        TargetFile(Sound("A") + "\n\n" + TypeOne("B &lt;&amp;&gt;", 3) + "\n" + TypeOne("C", 3) +
                   "\n" + Target(Named("D") + Sized(1, 2))));  // D: three directions missing
  ASSERT_EQ(Run("check t.xml --format sarif > log.sarif").status, 1);
  const Json log = Json::parse(Read("log.sarif"));
  std::string broken = Read("log.sarif");
  broken.replace(broken.find("\"2.1.0\""), 7, "\"9.9\"");
  Write("broken.sarif", broken);
  for (const auto& [file, valid] : {std::pair{"log.sarif", true}, {"broken.sarif", false}}) {
    SCOPED_TRACE(file);
    const Result r = Shell("'" + multitool + "' validate " + file +
                           " -o checked.sarif --log ForceOverwrite --level Error");
    const Json checked = Json::parse(Read("checked.sarif"));
    std::size_t errors = 0;
    for (const Json& run : checked["runs"])
      for (const Json& result : run.value("results", Json::array()))
        errors += result.value("level", "warning") == "error";
    EXPECT_EQ(errors == 0 && r.status == 0, valid) << r.out;
  }
  const Json& results = log["runs"][0]["results"];
  ASSERT_EQ(results.size(), 5u) << "ART201 on B and on C";
  EXPECT_EQ(results[0]["locations"][0]["physicalLocation"]["region"]["startLine"], 6) << "D's";
  EXPECT_EQ(results[3]["ruleId"], "ART201");
  EXPECT_EQ(results[3]["level"], "error");
  const Json& where = results[3]["locations"][0]["physicalLocation"];
  EXPECT_EQ(where["artifactLocation"]["uri"], "t.xml");
  EXPECT_EQ(where["region"]["startLine"], 4) << "B's element starts on the file's fourth line";
  const Json& rules = log["runs"][0]["tool"]["driver"]["rules"];
  EXPECT_EQ(rules.size(), artargets::FindingCodes().size());
  EXPECT_EQ(rules[results[3]["ruleIndex"].get<std::size_t>()]["id"], "ART201");
}

// JUnit: a suite per file, a case per target; errors fail a case, warnings too under --strict.
TEST_F(CheckTest, JUnitHoldsOneCasePerTarget) {
  Write("t.xml",
        TargetFile(TypeOne("A", 3) + TypeOne("B &lt;&amp;&gt;", 3) + Sound("C") + Sound("C")));
  Write("u.xml", TargetFile(Sound("D")));
  Write("v.xml", TargetFile(""));  // a suite without cases
  std::filesystem::create_directory(dir_.path() / "others");
  Write("others/notes.xml", "<notes/>");  // skipped
  for (const auto& [strict, failures] : {std::pair{"", 2}, {"--strict", 4}}) {
    SCOPED_TRACE(strict);
    const Result r = Run(std::string("check t.xml u.xml v.xml others --format junit ") + strict);
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(r.out.c_str())) << r.out;
    const pugi::xml_node suites = doc.child("testsuites");
    std::vector<std::string> files;
    int cases = 0, failed = 0;
    for (const pugi::xml_node suite : suites.children("testsuite")) {
      files.push_back(suite.attribute("name").value());
      for (const pugi::xml_node c : suite.children("testcase")) {
        ++cases;
        failed += bool(c.child("failure"));
      }
    }
    EXPECT_EQ(files, (std::vector<std::string>{"t.xml", "u.xml", "v.xml", "others/notes.xml"}));
    EXPECT_EQ(cases, 6);
    EXPECT_EQ(suites.last_child().attribute("skipped").as_int(), 1);
    EXPECT_EQ(failed, failures) << r.out;
    EXPECT_EQ(suites.attribute("failures").as_int(), failures);
    EXPECT_NE(r.out.find("name=\"target &quot;B &lt;&amp;>&quot; id 3\""), std::string::npos);
  }
  // A case's output tells its findings in the order the text does.
  Write("t.xml", TargetFile(Target(Named("A") + Sized(-1, 0) + kUpright) + Sound("A")));
  pugi::xml_document doc;
  ASSERT_TRUE(doc.load_string(Run("check t.xml --format junit").out.c_str()));
  const std::string out =
      doc.child("testsuites").child("testsuite").child("testcase").child_value("system-out");
  EXPECT_LT(out.find("ART202"), out.find("ART208")) << out;
  EXPECT_NE(out.find("ART208"), std::string::npos) << out;
}

// The report in a real browser, offline: every image loads, nothing goes to the console, one
// row per target; names from the file cannot add markup; no label of the views covers another
// or crosses an arrow, however crowded. Leaves a screenshot under build/.
TEST_F(CheckTest, ReportShowsInHeadlessChromium) {
  Image("a.png", 640, 480, {}, 1);
  Image("b.png", 640, 480, {}, 2);
  Write("t.xml", TargetFile(Pictured("<img src=x onerror=console.error(1)>", "a.png") +
                            Pictured("B", "b.png") + Pictured("C", "missing.png")));
  Write("crowded.xml", TargetFile(CrowdedHall(25, 20)));
  const Result made = Run("report t.xml crowded.xml -o out");
  ASSERT_EQ(made.status, 0) << made.err;
  const std::string screenshot = AR_BINARY_DIR "/report-screenshot.png";
  const Result seen =
      Shell("node '" AR_SOURCE_DIR "/tests/tool/report_in_browser.js' out/index.html '" +
            screenshot + "'");
  ASSERT_EQ(seen.status, 0) << seen.out << seen.err;
  const Json page = Json::parse(seen.out);
  EXPECT_EQ(page["images"], 2);
  EXPECT_EQ(page["loaded"], 2);
  EXPECT_EQ(page["rows"], 3 + 45);
  EXPECT_EQ(page["problems"], Json::array());
  EXPECT_GE(page["labels"]["count"], 3 * 3 + 3 * 4) << "each view labels some of the crowd";
  EXPECT_EQ(page["labels"]["overlaps"], Json::array());
  EXPECT_TRUE(std::filesystem::file_size(screenshot) > 1000);
}

// A finding in a target's row says what is wrong without naming the target or its image again
// (both stand in the row already); each score is coloured by its class, which a legend of
// swatches names.
TEST_F(CheckTest, ReportRowsSayOnlyWhatTheRowDoesNot) {
  Image("a.png", 640, 480, {}, 1);
  Write("t.xml", TargetFile(Pictured("Banner", "a.png") + Pictured("Lines", "missing.png") +
                            Pictured("Tom &amp; &lt;Jerry&gt;\x7f", "it&apos;s.png") +
                            Target(Named("Later"), "7")));
  ASSERT_EQ(Run("report t.xml -o out").status, 0);
  const std::string page = Read("out/index.html");
  const std::pair<const char*, bool> rows[] = {
      {"ART301: the image is missing", true},
      {"target 2 &quot;Lines&quot;", false},
      {"its image &quot;missing.png&quot;", false},
      // names and paths escaped for the page, and made safe, in every cell
      {"<td>Tom &amp; &lt;Jerry&gt;\\u007f</td>", true},
      {"<div>it&#39;s.png</div>", true},
      {"<Jerry>", false},
      {"\x7f", false},
      {"<span class=\"swatch\" style=\"background: #F0E442\"></span> 50 to 69", true},
      {"<td class=\"score\" style=\"background: ", true},
      // a target the reader skips has no row: its finding is among the file's own
      {"ART104: target 4 &quot;Later&quot;: its version is 7", true},
  };
  for (const auto& [text, shown] : rows)
    EXPECT_EQ(page.find(text) != std::string::npos, shown) << text;
}

// The report's folder appears whole or not at all (edges_test.cpp replaces an earlier one).
TEST_F(CheckTest, ReportWritesItsFolderWholeOrNotAtAll) {
  Write("t.xml", TargetFile(Sound("A")));
  Write("file", "kept");
  for (const char* args :
       {"report t.xml -o no/such/dir", "report t.xml -o file", "report missing.xml -o lost"})
    EXPECT_EQ(Run(args).status, 1) << args;
  EXPECT_EQ(Read("file"), "kept");
  // A page that cannot be written whole (the disk full) leaves an earlier report as it was.
  ASSERT_EQ(Run("report t.xml -o earlier").status, 0);
  const std::string page = Read("earlier/index.html");
  const artargets::PiecesWriter cutShort = [](const artargets::TextPieces& put) {
    put("<!DOCTYPE html>");
    return false;
  };
  std::string error;
  EXPECT_FALSE(artargets::WriteOwnedFolder(dir_.File("earlier"), artargets::kReportFolder,
                                           {{"index.html", cutShort}}, error));
  EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
  EXPECT_EQ(Read("earlier/index.html"), page);
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(dir_.path()))
    left.push_back(entry.path().filename().string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"earlier", "file", "lost", "t.xml"}));
}

// Saved ratings come back whole; an entry that is cut short, corrupt or of another key is not
// trusted, and a new rating replaces it.
TEST_F(CheckTest, RatingCacheTrustsOnlyWholeEntriesOfItsKey) {
  const artargets::RatingCache cache(dir_.File("cache"));
  // problem, size, score, reasons, features, coverage, orientation, transparent, sharpness,
  // plain share, smallest width, appearance
  artargets::ImageQuality q = {
      "",   640, 480,  77, {"low contrast"},  {{1.5f, 2.5f, 3}}, 2, 1, {0.25f, 1}, 6,
      true, 0.5, 0.25, 0,  0xfedcba9876543210};
  for (int i = 0; i < 128; ++i) q.signature.push_back(i % 2 ? 0x09 : 0xfa);  // 0, 9, a and f
  cache.Store(42, q);
  const auto found = cache.Find(42);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->score, 77);
  EXPECT_EQ(found->reasons, q.reasons);
  EXPECT_EQ(found->features.size(), 1u);
  EXPECT_EQ(found->coverage, q.coverage);
  EXPECT_EQ(
      std::tie(found->orientation, found->transparent, found->sharpness, found->plainShare,
               found->appearance, found->signature),
      std::tie(q.orientation, q.transparent, q.sharpness, q.plainShare, q.appearance, q.signature));
  EXPECT_FALSE(cache.Find(43));
  const std::string entry =
      "cache/000000000000002a-v" + std::to_string(artargets::kRatingVersion) + ".json";
  const std::string whole = Read(entry);
  const auto with = [&](const char* key, const Json& value) {
    Json changed = Json::parse(whole);
    changed[key] = value;
    return changed.dump();
  };
  const std::string spoilt[] = {whole.substr(0, whole.size() / 2),
                                "{}",
                                "",
                                with("hash", "000000000000002b"),
                                with("version", 0),
                                with("coverage", {1}),
                                with("features", {1, 2}),
                                with("signature", "a5a"),
                                with("signature", "a5a5"),
                                with("signature", "zz")};
  for (const std::string& text : spoilt) {
    SCOPED_TRACE(text);
    Write(entry, text);
    EXPECT_FALSE(cache.Find(42));
    cache.Store(42, q);
    EXPECT_EQ(Read(entry), whole);
  }
  // The tool fills the cache under XDG_CACHE_HOME, and --no-cache leaves it alone.
  Image("a.png", 640, 480);
  Write("t.xml", TargetFile(Pictured("A", "a.png")));
  ASSERT_EQ(Run("check t.xml --images --no-cache").status, 0);
  EXPECT_FALSE(std::filesystem::exists(dir_.path() / "cache/artargets"));
  const std::string first = Run("check t.xml --images --json").out;
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path() / "cache/artargets"),
                          std::filesystem::directory_iterator()),
            1);
  EXPECT_EQ(Run("check t.xml --images --json").out, first) << "a saved rating reads the same";
}

// What goes into URIs, HTML and data: URIs from outside comes out in its escaped form.
TEST(OutputText, EscapesEachFormsSpecialCharacters) {
  const std::tuple<std::string, std::string, std::string> rows[] = {
      {"t.xml", "t.xml", "t.xml"},
      {"a b/c%.xml", "a%20b/c%25.xml", "a b/c%.xml"},
      {"/abs/é.xml", "file:///abs/%C3%A9.xml", "/abs/é.xml"},
      {"<img src='x' onerror=\"y\">&", "%3Cimg%20src%3D%27x%27%20onerror%3D%22y%22%3E%26",
       "&lt;img src=&#39;x&#39; onerror=&quot;y&quot;&gt;&amp;"},
  };
  for (const auto& [text, uri, html] : rows) {
    EXPECT_EQ(artargets::PathUri(text), uri);
    EXPECT_EQ(artargets::HtmlEscaped(text), html);
  }
  const std::pair<std::string, std::string> base64[] = {{"", ""},
                                                        {"f", "Zg=="},
                                                        {"fo", "Zm8="},
                                                        {"foo", "Zm9v"},
                                                        {std::string("\xff\x00\x10", 3), "/wAQ"}};
  for (const auto& [bytes, encoded] : base64) EXPECT_EQ(artargets::Base64(bytes), encoded);
}

// Every fix the tool prints runs as written: each code's fix command (the last words of its fix
// text, in single quotes), with its placeholders filled in, makes its finding go from a file
// that shows it. Two files show all the codes that a command can fix, one target or two per
// code, so that the tool runs four times to check and once per fix. Each finding shown has its
// code's severity.

// A code, the targets of a file that show it, and the values its fix's placeholders take, in
// the order they stand (FILE is the file's own name and takes none).
struct FixRow {
  std::string code;
  std::string targets;
  std::vector<std::string> values;
};

class FixCommandsTest : public artest::ArtargetsTest {
 protected:
  // The command the fix text of `code` quotes, or empty when it quotes none.
  static std::string FixCommand(const std::string& code) {
    static const std::regex quoted("'(artargets [^']*)'");
    const std::string fix(artargets::FindCode(code)->fix);
    std::smatch match;
    return std::regex_search(fix, match, quoted) ? match[1].str() : "";
  }
  // The fix command of `row`, without "artargets", with FILE as `file` and every other
  // placeholder (a word in capitals, or an option in capitals such as --OPTION) as the row's next
  // value.
  static std::string Filled(const FixRow& row, const std::string& file) {
    static const std::regex placeholder("-{0,2}[A-Z]+");
    std::istringstream words(FixCommand(row.code));
    std::string command, word;
    std::size_t next = 0;
    words >> word;  // "artargets"
    while (words >> word) {
      if (word == "FILE") {
        word = file;
      } else if (std::regex_match(word, placeholder)) {
        EXPECT_LT(next, row.values.size()) << row.code << ": more placeholders than values";
        word = next < row.values.size() ? row.values[next++] : word;
      }
      command += (command.empty() ? "" : " ") + word;
    }
    EXPECT_EQ(next, row.values.size()) << row.code << ": fewer placeholders than values";
    return command;
  }
  // Shows every row's code in `file`, each with its code's severity, runs the fixes in the rows'
  // order, then shows none.
  void FixAll(const std::string& file, const std::string& args, const std::vector<FixRow>& rows) {
    std::string body;
    for (const FixRow& row : rows) body += row.targets;
    Write(file, TargetFile(body));
    const auto before = Findings(file + " " + args);
    for (const FixRow& row : rows) {
      EXPECT_NE(before.count(row.code), 0u) << row.code << " is not shown";
      const auto [first, end] = before.equal_range(row.code);
      for (auto f = first; f != end; ++f)
        EXPECT_EQ(f->second["severity"],
                  artargets::SeverityName(artargets::FindCode(row.code)->severity))
            << row.code;
    }
    for (const FixRow& row : rows) {
      const artest::Result run = Run(Filled(row, file));
      EXPECT_EQ(run.status, 0) << row.code << ": " << run.err;
    }
    const auto after = Findings(file + " " + args);
    for (const FixRow& row : rows) {
      const auto left = after.find(row.code);
      EXPECT_TRUE(left == after.end()) << row.code << " is left: " << left->second["message"];
    }
  }
};

// The codes of the target file itself: its values, names, ids and frames. The target of
// another version has no name, so it lists first, and its fix (removing it) runs last, for
// `--index K` counts in list's order.
TEST_F(FixCommandsTest, EachFileFixRunsAsWrittenAndTheFindingGoes) {
  const std::string oneId =
      Property("uint8", "artargettype", "1") + Property("int", "artargetid", "7");
  const std::vector<FixRow> rows = {
      {"ART201",
       Target(Named("t01") + Sized(1, 2) + kUpright + oneId) +
           Target(Named("t02") + Sized(1, 2) + kUpright + oneId),
       {"3", "8"}},
      {"ART202", Target(Named("t03") + Sized(0, 2) + kUpright), {"4", "1", "2"}},
      {"ART203",
       Target(Named("t04") + Sized(1, 2) + kUpright +
              "<point key=\"artargetcenter\" x=\"nan\" y=\"0\" z=\"0\"/>"),
       {"5", "1", "2", "3"}},
      {"ART204",
       Target(Named("t05") + Sized(1, 2)),
       {"6", "0", "0", "1", "1", "0", "0", "0", "1", "0"}},
      {"ART205",
       Target(Named("t06") + Sized(1, 2) +
              Directions("x=\"0\" y=\"0\" z=\"1\"", "x=\"1\" y=\"0\" z=\"0\"",
                         "x=\"0.1\" y=\"0.995\" z=\"0\"")),
       {"7", "0", "0", "1", "1", "0", "0", "0", "1", "0"}},
      {"ART206",
       Target(Named("t07") + Sized(1, 2) +
              Directions("x=\"0\" y=\"0\" z=\"1\"", "x=\"1\" y=\"0\" z=\"0\"",
                         "x=\"0\" y=\"-1\" z=\"0\"")),
       {"8", "0", "1", "0"}},
      {"ART207", Pictured("t08", "../outside.png"), {"9", "inside.png"}},
      {"ART208", Sound("t09") + Sound("t09"), {"11", "t09b"}},
      {"ART104", Target(Named("t10") + Sized(1, 2) + kUpright, "3"), {"1"}},
  };
  FixAll("file.xml", "", rows);
}

// The codes of pictures and of the platforms' limits: every target but the row's own trouble
// is sound, with a picture of its own; each fix names a new sound picture or a size.
TEST_F(FixCommandsTest, EachImageAndPlatformFixRunsAsWrittenAndTheFindingGoes) {
  for (unsigned seed = 1; seed <= 21; ++seed)
    Image("good" + std::to_string(seed) + ".png", 400, 300, {}, seed);
  Image("big.png", 640, 480, {}, 40);
  Image("small.png", 120, 90, {}, 41);
  Image("wide.png", 800, 400, {}, 42);
  Image("flat.png", 400, 300, [](int, int) { return 128; });
  Image("same.png", 400, 300, {}, 43);
  Image("same.jpg", 400, 300, {}, 43);
  // Two crops of one wide picture that overlap by two thirds: look-alikes.
  std::vector<unsigned char> wide(1000 * 480, 128);
  artest::Shapes(wide, 1000, 480, 700, 3, 40, 44);
  Image("left.png", 640, 480, [&](int x, int y) { return wide[y * 1000 + x]; });
  Image("right.png", 640, 480, [&](int x, int y) { return wide[y * 1000 + x + 213]; });
  Image("half.png", 640, 480,
        [&](int x, int y) { return x > 220 || y > 210 ? 200 : wide[y * 1000 + x]; });
  Write("cmyk.jpg", kCmykJpeg);
  Write("text.png", "not a picture\n");
  Write("art.gif", "GIF89a");
  const std::vector<FixRow> rows = {
      {"ART301", Pictured("t01", "nowhere.png"), {"1", "good1.png"}},
      {"ART302", Pictured("t02", "text.png"), {"2", "good2.png"}},
      {"ART303", Pictured("t03", "small.png", 0.06, 0.045), {"3", "good3.png"}},
      {"ART304", Pictured("t04", "wide.png", 0.3, 0.3), {"4", "0.3", "0.15"}},
      {"ART305", Pictured("t05", "good5.png", 0.3, 0.225), {"5", "big.png"}},
      {"ART306", Pictured("t06", "flat.png"), {"6", "good6.png"}},
      {"ART307", Pictured("t07", "good7.png") + Pictured("t07b", "good7.png"), {"8", "good8.png"}},
      {"ART308", Target(Named("t09") + Sized(0.19, 0.1425) + kUpright), {"9", "good9.png"}},
      {"ART310", Pictured("t10", "half.png"), {"10", "good10.png"}},
      {"ART313", Pictured("t11", "same.png") + Pictured("t11b", "same.jpg"), {"12", "good12.png"}},
      {"ART314", Pictured("t13", "left.png") + Pictured("t13b", "right.png"), {"14", "good14.png"}},
      {"ART401", Pictured("t15:", "good15.png"), {"15", "t15"}},
      {"ART402", Pictured("t16A", "good16.png") + Pictured("t16a", "good13.png"), {"17", "t16b"}},
      {"ART403", Pictured("t17\xc3\xa9", "good17.png"), {"18", "t17", "good17.png"}},
      {"ART404", Pictured("t18", "art.gif"), {"19", "good18.png"}},
      {"ART405", Pictured("t19", "small.png", 0.06, 0.045), {"20", "good19.png"}},
      {"ART408", Pictured("t20", "good20.png", 0, 0.1425), {"21", "0.19", "0.1425"}},
      {"ART409", Pictured("t21", "good21.png", 0.19, 0.19), {"22", "0.19", "0.1425"}},
      {"ART406", Pictured("t22", "cmyk.jpg"), {"23", "good4.png"}},
  };
  FixAll("images.xml", "--images --platform arkit,arcore,unity,vuforia", rows);
}

// Every code either has its fix run above or says what a person does instead: no command is
// offered that is not run.
TEST_F(FixCommandsTest, EveryCodeWithACommandHasItsFixRun) {
  const std::set<std::string> run = {"ART104", "ART201", "ART202", "ART203", "ART204", "ART205",
                                     "ART206", "ART207", "ART208", "ART301", "ART302", "ART303",
                                     "ART304", "ART305", "ART306", "ART307", "ART308", "ART313",
                                     "ART314", "ART401", "ART402", "ART403", "ART404", "ART405",
                                     "ART406", "ART408", "ART409", "ART310"};
  // Edits of the file by hand, or of the picture, or nothing (notes).
  const std::set<std::string> byHand = {"ART101", "ART102", "ART103", "ART105",
                                        "ART311", "ART312", "ART407"};
  // Their fix is the same command as the other pictures', but a picture that shows them is made
  // in-process (image_rating_test.cpp: blur) or depends on the rating (ARCore's advice of 75,
  // platforms_test.cpp).
  const std::set<std::string> sameCommand = {"ART309", "ART410", "ART316"};
  // Printing wider: image_rating_test.cpp prints at the width the message names.
  const std::set<std::string> wider = {"ART315"};
  for (const artargets::FindingCode& code : artargets::FindingCodes()) {
    const std::string name(code.code);
    SCOPED_TRACE(name);
    EXPECT_EQ(FixCommand(name).empty(), byHand.count(name) == 1);
    EXPECT_EQ(run.count(name) + byHand.count(name) + sameCommand.count(name) + wider.count(name),
              1u);
    if (sameCommand.count(name)) {
      EXPECT_EQ(FixCommand(name), "artargets set FILE --index K --image PATH");
    }
    if (wider.count(name)) {
      EXPECT_EQ(FixCommand(name), "artargets set FILE --index K --size W H");
    }
  }
}

}  // namespace
