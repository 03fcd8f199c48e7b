// Every fix the tool prints runs as written: each code's fix command (the last words of its fix
// text, in single quotes), with its placeholders filled in, makes its finding go from a file
// that shows it. Two files show all the codes that a command can fix, one target or two per
// code, so that the tool runs four times to check and once per fix. Each finding shown has its
// code's severity.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <nlohmann/json.hpp>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "ArtargetsTest.h"
#include "checks/FindingCodes.h"

namespace {

using Json = nlohmann::json;

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
