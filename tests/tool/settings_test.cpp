// A project's settings and baseline as a team adopts them: the settings file's keys, good and
// bad, read in-process; the file found walking up from the target file; --config, --no-config,
// --disable and --enable on the command line; a baseline that matches targets by name and id;
// and every comparison a finding makes, at the boundary where its measure prints as its limit.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "ArtargetsTest.h"
#include "checks/Baseline.h"
#include "checks/Examination.h"
#include "checks/ImageCheck.h"
#include "checks/PlatformChecks.h"
#include "checks/SettingsFile.h"
#include "support/UsageError.h"

namespace {

using artargets::CheckLimits;
using artargets::ProjectSettings;
using artest::ArtargetsTest;
using artest::Result;

class SettingsTest : public ArtargetsTest {
 protected:
  // The settings `text` gives as the file "p/.artargets.toml", or the error it gives.
  static std::string ErrorOf(const std::string& text, ProjectSettings* read = nullptr) {
    try {
      const ProjectSettings settings = artargets::ReadSettingsText(text, "p/.artargets.toml");
      if (read) *read = settings;
      return "";
    } catch (const artargets::UsageError& e) {
      return e.what();
    }
  }
  void Folder(const std::string& name) { std::filesystem::create_directories(dir_.path() / name); }
};

TEST_F(SettingsTest, KeysAreReadAndWhatIsWrongNamesFileLineAndKey) {
  struct Row {
    std::string text, error;  // no error: `read` gives `value`
    std::function<double(const ProjectSettings&)> read = {};
    double value = 0;
  };
  const auto ppm = [](const ProjectSettings& s) { return s.limits.pixelsPerMetre; };
  const Row rows[] = {
      {"units = \"mm\"\n", "", [](const ProjectSettings& s) { return s.unit->metres; }, 0.001},
      {"[thresholds]\npixels-per-metre = 1500\n", "", ppm, 1500},
      {"# comment\n[thresholds]\nfail-below = 60\n", "",
       [](const ProjectSettings& s) { return double(*s.failBelow); }, 60},
      {"[thresholds]\nsharpness = 0.3\n", "",
       [](const ProjectSettings& s) { return s.limits.sharpness; }, 0.3},
      {"[codes]\nART305 = \"off\"\n", "",
       [](const ProjectSettings& s) { return double(s.codes.at("ART305").has_value()); }, 0},
      {"[codes]\nART208 = \"error\"\n", "",
       [](const ProjectSettings& s) { return double(*s.codes.at("ART208")); },
       double(artargets::Severity::kError)},
      {"", "", ppm, 2000},  // an empty file keeps the defaults
      {"unit = \"mm\"\n",
       "p/.artargets.toml:1: unit: no such key (known: units, codes, thresholds, camera)"},
      {"units = \"yd\"\n", "p/.artargets.toml:1: units: give one of m, cm, mm, in, ft as a string"},
      {"\n[thresholds]\npixel-per-metre = 5\n",
       "p/.artargets.toml:3: thresholds.pixel-per-metre: no such key (known: fail-below,"},
      {"[thresholds]\nscore = 50.5\n",
       "p/.artargets.toml:2: thresholds.score: give a whole number"},
      {"[thresholds]\nscore = 101\n",
       "p/.artargets.toml:2: thresholds.score: give a number from 0 to 100"},
      {"[thresholds]\nscore = \"50\"\n", "p/.artargets.toml:2: thresholds.score: give a number"},
      {"[thresholds]\nscore = nan\n", "p/.artargets.toml:2: thresholds.score: give a number"},
      {"thresholds = 3\n", "p/.artargets.toml:1: thresholds: is a table: write it as [thresholds]"},
      {"[codes]\nART999 = \"off\"\n",
       "p/.artargets.toml:2: codes.ART999: no such code: \"ART999\""},
      {"[codes]\nXYZ = \"off\"\n",
       "p/.artargets.toml:2: codes.XYZ: no such code: \"XYZ\" (known codes: ART101, ART102"},
      {"[codes]\nART30 = \"off\"\n", "(known codes: ART301, ART302,"},
      {"[codes]\nART101 = \"off\"\n", "p/.artargets.toml:2: codes.ART101: ART101 stays on"},
      {"[codes]\nART305 = \"loud\"\n",
       "p/.artargets.toml:2: codes.ART305: give \"off\", \"error\", \"warning\" or \"note\""},
      {"[codes\n", "p/.artargets.toml:1: "},
  };
  for (const Row& row : rows) {
    ProjectSettings read;
    const std::string error = ErrorOf(row.text, &read);
    if (row.error.empty()) {
      EXPECT_EQ(error, "") << row.text;
      if (error.empty()) {
        EXPECT_EQ(row.read(read), row.value) << row.text;
      }
    } else {
      EXPECT_NE(error.find(row.error), std::string::npos) << row.text << "\n" << error;
    }
  }
}

// Each key of the table is read into its limit at the ends of its range, and refused past them
// on its own line.
TEST_F(SettingsTest, EveryKeyTakesItsRangeAndNoMore) {
  for (const artargets::SettingKey& key : artargets::SettingKeys()) {
    const std::string head = "[" + std::string(key.table) + "]\n" + std::string(key.key) + " = ";
    for (const double value : {key.least, key.most}) {
      ProjectSettings read;
      ASSERT_EQ(ErrorOf(head + std::to_string(value) + "\n", &read), "") << key.key;
      ProjectSettings defaults;
      key.set(defaults, value);
      EXPECT_EQ(read.limits.pixelsPerMetre, defaults.limits.pixelsPerMetre) << key.key;
      EXPECT_EQ(read.limits.score, defaults.limits.score) << key.key;
      EXPECT_EQ(read.failBelow, defaults.failBelow) << key.key;
    }
    EXPECT_NE(ErrorOf(head + std::to_string(key.most + 1) + "\n")
                  .find(":2: " + std::string(key.table) + "." + std::string(key.key) + ": "),
              std::string::npos)
        << key.key;
  }
}

TEST_F(SettingsTest, TheNearestSettingsFileInTheFoldersAboveRules) {
  struct Row {
    std::vector<std::string> settings;  // folders holding a settings file
    std::string target, found;          // the folder found, "" for none
  };
  const Row rows[] = {
      {{"a"}, "a/t.xml", "a"},
      {{"a"}, "a/b/c/t.xml", "a"},
      {{"a", "a/b"}, "a/b/c/t.xml", "a/b"},
      {{"a/b"}, "a/t.xml", ""},
      {{"a/b/c"}, "a/b/../b/c/t.xml", "a/b/c"},
  };
  for (const Row& row : rows) {
    artest::TempDir dir;
    std::filesystem::create_directories(dir.path() / "a/b/c");
    for (const std::string& folder : row.settings)
      artest::WriteFile(dir.File(folder + "/.artargets.toml"), "");
    const std::string found = artargets::FindSettingsFile(dir.File(row.target));
    const std::string expected =
        row.found.empty() ? "" : (dir.path() / row.found / ".artargets.toml").string();
    if (row.found.empty())  // none here, nor above the temporary folder (as on a build machine)
      EXPECT_EQ(found.rfind(dir.path().string(), 0), std::string::npos) << row.target;
    else
      EXPECT_EQ(found, expected) << row.target;
  }
}

// The command line picks the file (--config, --no-config) and wins over it (--units,
// --disable, --enable); what is wrong exits 2 before anything is checked.
TEST_F(SettingsTest, CommandLineChoosesTheSettingsAndWinsOverThem) {
  Folder("p/q");
  Write("p/.artargets.toml", "units = \"mm\"\n[codes]\nART202 = \"off\"\n");
  Write("other.toml", "[codes]\nART202 = \"error\"\n");
  Write("bad.toml", "[thresholds]\n\nscore = 500\n");
  Write("p/q/t.xml", TargetFile(Target(Named("A") + Sized(-1, 2) + kUpright)));
  struct Row {
    std::string options;  // after "check p/q/t.xml"
    int status;
    std::vector<std::string> shown, hidden;  // in the output (out, then err), or not
  };
  const Row rows[] = {
      {"", 0, {"(lengths in mm)"}, {"ART202"}},
      {"--no-config", 0, {"warning ART202", "(lengths in m)"}, {}},
      {"--enable ART202", 0, {"warning ART202", "x 2 mm is not"}, {}},
      {"--units cm", 0, {"(lengths in cm)"}, {"ART202"}},
      {"--config other.toml", 1, {"error ART202", "(lengths in m)"}, {}},
      {"--no-config --disable ART203,ART202 --disable ART204", 0, {"0 warnings"}, {"ART202"}},
      {"--disable ART2O2",
       2,
       {"--disable: no such code: \"ART2O2\" (known codes: ART201"},
       {"loads"}},
      {"--config bad.toml", 2, {"bad.toml:3: thresholds.score: give a number from 0"}, {"loads"}},
      {"--config other.toml --no-config", 2, {"--no-config"}, {"loads"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.options);
    const Result r = Run("check p/q/t.xml " + row.options);
    EXPECT_EQ(r.status, row.status) << r.err;
    for (const std::string& text : row.shown)
      EXPECT_NE((r.out + r.err).find(text), std::string::npos) << r.out << r.err;
    for (const std::string& text : row.hidden)
      EXPECT_EQ((r.out + r.err).find(text), std::string::npos) << r.out;
  }
}

// What the command line gives wins over the file, key by key (--units, --no-config, --disable
// and --enable are shown winning by the command lines above).
TEST_F(SettingsTest, TheCommandLineWinsKeyByKey) {
  Write("s.toml",
        "units = \"cm\"\n[codes]\nART202 = \"off\"\n[thresholds]\nfail-below = 60\n"
        "[camera]\nwidth = 1280\nheight = 720\nworking-distance = 2.5\n");
  struct Row {
    const char* what;
    std::function<void(artargets::CheckOptions&)> give;
    std::string unit;
    int failBelow;
    int cameraWidth = 1280;
    double workingDistance = 2.5;
  };
  const Row rows[] = {
      {"the file alone", [](artargets::CheckOptions&) {}, "cm", 60},
      {"--fail-below 10",
       [](artargets::CheckOptions& o) {
         o.failBelow = 10;
         o.settings.failBelowGiven = true;
       },
       "cm", 10},
      {"--camera 320x240 --working-distance 1",
       [](artargets::CheckOptions& o) {
         o.camera.width = 320;
         o.settings.cameraGiven = true;
         o.workingDistance = 1;
         o.settings.workingDistanceGiven = true;
       },
       "cm", 60, 320, 1},
  };
  for (const Row& row : rows) {
    artargets::CheckOptions given;
    given.settings.file = dir_.File("s.toml");
    row.give(given);
    const artargets::CheckOptions options =
        artargets::SettingsFinder(given).For(dir_.File("t.xml"));
    EXPECT_EQ(options.unit.name, row.unit) << row.what;
    EXPECT_EQ(options.failBelow, row.failBelow) << row.what;
    EXPECT_EQ(options.codes.count("ART202"), 1u) << row.what << ": the file turns it off";
    EXPECT_EQ(options.camera.width, row.cameraWidth) << row.what;
    EXPECT_EQ(options.workingDistance, row.workingDistance) << row.what;
  }
}

class BaselineTest : public ::testing::Test {
 protected:
  static artargets::PlacedTarget Placed(int place, const std::string& name, long long id) {
    return {place, name, "", 0, 0, {}, 0, id};  // place, name, image, size, unit, type, id
  }
  // A file with targets A (id 1) and B (id 2), each with a finding of ART202, and one of its own.
  artargets::CheckedFile File() const {
    artargets::CheckedFile file;
    file.path = dir_.File("t.xml");
    file.loaded = true;
    file.targets = {Placed(1, "A", 1), Placed(2, "B", 2)};
    file.findings = {{"ART103", artargets::Severity::kWarning, 0, "file"},
                     {"ART202", artargets::Severity::kWarning, 1, "A"},
                     {"ART202", artargets::Severity::kWarning, 2, "B"}};
    return file;
  }
  artest::TempDir dir_;
};

// A baseline written of File() leaves of a later check only what it does not hold.
TEST_F(BaselineTest, MatchesByCodeFileAndTheTargetsNameAndIdNotItsPlace) {
  using artargets::CheckedFile;
  struct Row {
    const char* change;
    std::function<void(CheckedFile&)> apply;
    std::vector<std::string> left;  // the messages left, in order
  };
  const auto insertFirst = [](CheckedFile& f) {  // every target moves one place down
    for (auto& t : f.targets) ++t.place;
    for (auto& x : f.findings) x.place += x.place ? 1 : 0;
    f.targets.insert(f.targets.begin(), Placed(1, "New", 9));
    f.findings.push_back({"ART202", artargets::Severity::kWarning, 1, "New"});
  };
  const Row rows[] = {
      {"nothing", [](CheckedFile&) {}, {}},
      {"a target inserted before the others", insertFirst, {"New"}},
      {"a finding more of one target",
       [](CheckedFile& f) {
         f.findings.push_back({"ART202", artargets::Severity::kWarning, 2, "B again"});
       },
       {"B again"}},
      {"a target renamed", [](CheckedFile& f) { f.targets[0].name = "A2"; }, {"A"}},
      {"a target's id changed", [](CheckedFile& f) { f.targets[1].id = 7; }, {"B"}},
      {"another code", [](CheckedFile& f) { f.findings[1].code = "ART203"; }, {"A"}},
      {"another file", [](CheckedFile& f) { f.path += ".other.xml"; }, {"file", "A", "B"}},
      {"a file's own finding more",
       [](CheckedFile& f) {
         f.findings.push_back({"ART103", artargets::Severity::kWarning, 0, "file 2"});
       },
       {"file 2"}},
  };
  const std::string path = dir_.File("base/baseline.json");
  std::filesystem::create_directory(dir_.path() / "base");
  artest::WriteFile(path, artargets::Baseline::Write({File()}, path));
  for (const Row& row : rows) {
    CheckedFile later = File();
    row.apply(later);
    artargets::Baseline baseline = artargets::Baseline::Read(path);
    baseline.Filter(later);
    std::vector<std::string> left;
    for (const auto& f : later.findings) left.push_back(f.message);
    EXPECT_EQ(left, row.left) << row.change;
  }
  // The file is named from the baseline's folder, so that it can be committed beside the files.
  EXPECT_NE(artest::ReadFile(path).find("\"file\": \"../t.xml\""), std::string::npos);
}

// Adopting --strict: the baseline written today passes; a target added above the others with a
// finding of its own fails in every format, which report that finding only.
TEST_F(SettingsTest, BaselineFiltersEveryFormatAndTheExitStatus) {
  const std::string old = Target(Named("A") + Sized(-1, 2) + kUpright) + Sound("B");
  Write("t.xml", TargetFile(old));
  const Result written = Run("check --strict t.xml --write-baseline baseline.json");
  EXPECT_EQ(written.status, 0) << written.err;
  EXPECT_NE(written.out.find("1 baselined"), std::string::npos) << written.out;
  const Result same = Run("check --strict t.xml --baseline baseline.json");
  EXPECT_EQ(same.status, 0) << same.out;
  Write("t.xml", TargetFile(Target(Named("C") + Sized(2, -1) + kUpright) + old));
  const Result text = Run("check --strict t.xml --baseline baseline.json");
  EXPECT_EQ(text.status, 1);
  EXPECT_NE(text.out.find("target 1 \"C\": its size 2 x -1"), std::string::npos) << text.out;
  EXPECT_EQ(text.out.find("\"A\""), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("1 warning, 1 baselined"), std::string::npos) << text.out;
  const Result json = Run("check --strict t.xml --baseline baseline.json --format json");
  const nlohmann::json report = nlohmann::json::parse(json.out);
  EXPECT_EQ(json.status, 1);
  ASSERT_EQ(report["findings"].size(), 1u) << json.out;
  EXPECT_EQ(report["findings"][0]["name"], "C");
  EXPECT_EQ(report["baselined"], 1);
  // check's own JSON of the old file is a baseline too.
  Write("old.xml", TargetFile(old));
  Shell("\"$A\" check old.xml --format json > old.json; cp t.xml old.xml");
  const Result fromJson = Run("check --strict old.xml --baseline old.json --format sarif");
  EXPECT_EQ(fromJson.status, 1);
  EXPECT_EQ(nlohmann::json::parse(fromJson.out)["runs"][0]["results"].size(), 1u) << fromJson.out;
  const Result junit = Run("check --strict t.xml --baseline baseline.json --format junit");
  EXPECT_EQ(junit.status, 1);
  EXPECT_NE(junit.out.find("its size 2 x -1"), std::string::npos) << junit.out;
  EXPECT_EQ(junit.out.find("its size -1 x 2"), std::string::npos) << junit.out;
}

// Each comparison a finding makes, on both sides of its limit: a measure that prints as the
// limit passes; one a step beyond fails.
TEST_F(SettingsTest, AMeasurePrintedAsItsLimitPassesIt) {
  Image("340.png", 340, 340);
  Image("339.png", 339, 339);
  Image("300.png", 300, 400);
  Image("299.png", 299, 400);
  Image("4x3.png", 640, 480);
  Image("flat.png", 320, 320, [](int, int) { return 128; });
  const artargets::RatingCache cache(dir_.File("ratings"));  // each picture is rated once
  const auto image = [&](const std::string& file, double width, double height,
                         const CheckLimits& limits = {}) {
    return artargets::CheckImages({{1, "T", file, width, height}}, dir_.path().string(), &cache,
                                  limits)[0]
        .findings;
  };
  const auto frame = [&](const std::string& ydir, const CheckLimits& limits = {}) {
    Write("f.xml", TargetFile(Target(Named("T") + Sized(1, 1) +
                                     Directions("x=\"0\" y=\"0\" z=\"1\"",
                                                "x=\"1\" y=\"0\" z=\"0\"", ydir.c_str()))));
    return artargets::Examine(dir_.File("f.xml"), {}, limits).findings;
  };
  const auto rated = [&](const std::string& file) {
    return artargets::CheckImages({{1, "T", file, 0.32, 0.32}}, dir_.path().string(), &cache)[0]
        .quality;
  };
  const artargets::ImageQuality flat = rated("flat.png"), busy = rated("340.png");
  CheckLimits score, scoreAbove, sharp, sharpAbove, plain, plainBelow;
  score.score = busy.score;
  scoreAbove.score = busy.score + 1;
  sharp.sharpness = double(artargets::PrintedSteps(busy.sharpness, 2)) / 100;
  sharpAbove.sharpness = sharp.sharpness + 0.01;
  plain.plainPercent = 100;
  plainBelow.plainPercent = 99;
  const auto platform = [&](double width) {  // 640 x 480: the height derived is 0.75 x width
    artargets::PlacedTarget t{1, "T", "4x3.png", width, 1};
    return artargets::PlatformFindings({t}, dir_.path().string(), {artargets::Platform::kArkit},
                                       {});
  };
  // Each limit: a measure that prints as the limit (`at`) has no finding of `code`; one a step
  // beyond (`past`) has it, with `message` among its findings' messages.
  struct Row {
    const char *code, *at, *past;  // what the two measures are
    std::vector<artargets::Finding> atFindings, pastFindings;
    std::string message;
  };
  const Row rows[] = {
      {"ART305", "340 px on 0.17 m gives 1999.99..., printed 2000", "339 px on 0.17 m",
       image("340.png", 0.17, 0.17), image("339.png", 0.17, 0.17),
       "gives 1994 pixels per metre at 0.17 m wide, too coarse to print or show (2000 wanted)"},
      {"ART304", "off by 5.000...04%, printed 5%", "off by 6%", image("4x3.png", 0.32, 0.252),
       image("4x3.png", 0.32, 0.2544), "is 6% off the shape"},
      {"ART303", "300 px", "299 px", image("300.png", 0.3, 0.4), image("299.png", 0.299, 0.4),
       "under 300 on its shorter"},
      {"ART306", "a score equal to the limit", "a score under the limit",
       image("340.png", 0.17, 0.17, score), image("340.png", 0.17, 0.17, scoreAbove), "scores"},
      {"ART309", "sharpness equal to the limit", "sharpness a hundredth under",
       image("340.png", 0.17, 0.17, sharp), image("340.png", 0.17, 0.17, sharpAbove),
       "or more wanted"},
      {"ART310", "100% plain, 100% allowed", "100% plain, 99% allowed",
       image("flat.png", 0.32, 0.32, plain), image("flat.png", 0.32, 0.32, plainBelow),
       "is mostly plain: 100%"},
      {"ART204", "length 0.99, 0.01 allowed", "length 0.989999",
       frame("x=\"0\" y=\"0.99\" z=\"0\""), frame("x=\"0\" y=\"0.989999\" z=\"0\""),
       "has length 0.989999, not 1"},
      {"ART205", "91.4 degrees apart, printed 91, 1 allowed", "92 degrees apart",
       frame("x=\"-0.0244307\" y=\"0.9997015\" z=\"0\""),
       frame("x=\"-0.0348995\" y=\"0.9993908\" z=\"0\""), "are 92 degrees apart, not 90"},
      {"ART409", "the height 1 m, 1% off the 1.01 derived", "the height 1.01% off",
       platform(1.01 * 640 / 480), platform(1.0101 * 640 / 480), " m, not 1"},
  };
  ASSERT_EQ(flat.plainShare, 1.0);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.code);
    for (const auto& f : row.atFindings) EXPECT_NE(f.code, row.code) << row.at;
    std::string messages;
    for (const auto& f : row.pastFindings)
      if (f.code == row.code) messages += f.message + "\n";
    EXPECT_NE(messages.find(row.message), std::string::npos) << row.past << "\n" << messages;
  }
}

}  // namespace
