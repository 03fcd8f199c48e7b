// The artargets tool, run as a process the way a person runs it, on files the tests write:
// every command's success and failure roads with their exit statuses and messages.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "ArtargetsTest.h"
#include "ar/Version.h"

namespace {

using artest::ArtargetsTest;
using artest::Result;

// Every way a command can fail: its exit status, its message (one line, and a hint for usage
// errors), and files left exactly as they were.
TEST_F(ArtargetsTest, FailuresExitWithTheirStatusAndMessageAndWriteNothing) {
  const std::string kept = TargetFile(Sound("Door") + Sound("Door"));
  Write("t.xml", kept);
  Write("broken.xml", "<augmentedreality version=\"7\"><targets/></augmentedreality>");
  Write("bad-xml.xml", "<augmentedreality version=\"1\">\n<targets>\n</target>");
  Write("no-version.xml", TargetFile("", "<augmentedreality>"));
  Write("no-targets.xml", "<augmentedreality version=\"1\"><target/></augmentedreality>");
  Write("notes.xml", "<notes/>");
  Write("type.json", R"([{"name":"A","image":"","width":1,"height":1,"type":300,"id":0,)"
                     R"("center":[0,0,0],"normal":[0,0,1],"xdir":[1,0,0],"ydir":[0,1,0],)"
                     R"("shape":"","rotation":0}])");
  Write("keys.json", "[{\"image\": \"a.png\"}]");
  struct Row {
    std::string args;
    int status;
    std::string message;  // what the one line holds
  };
  const Row rows[] = {
      {"add t.xml A --name B", 2, "--name"},
      {"add t.xml A --center 1 2 x", 2, "--center: \"x\" is not a number"},
      {"add t.xml A --id 1.5", 2, "--id: \"1.5\" is not a whole number"},
      {"add t.xml A --type 300", 2, "--type: 300 is out of range; a target file holds 0 to 255"},
      {"add t.xml A --type -1", 2, "--type: -1 is out of range"},
      {"add t.xml A --id 2147483648", 2,
       "--id: 2147483648 is out of range; a target file holds -2147483648 to 2147483647"},
      {"set t.xml Door --all --type 256", 2, "--type: 256 is out of range"},
      {"import type.json -o t.xml", 2,
       "type.json: target 1: type: 300 is out of range; a target file holds 0 to 255"},
      {"import type.json -o new.xml", 2, "type: 300 is out of range"},
      {"import keys.json -o t.xml", 2, "keys.json: target 1: missing key \"name\""},
      {"import type.json -o notes.xml", 2, "out of range"},
      {"import keys.json -o notes.xml", 2, "keys.json: target 1: missing key"},
      {"diff t.xml missing.xml", 2, "cannot load missing.xml"},
      {"check bad-xml.xml", 1, "cannot load bad-xml.xml: not well-formed XML at line 3"},
      {"check no-version.xml", 1, "has no \"version\" attribute"},
      {"check broken.xml", 1, "version 7, newer than the reader knows"},
      {"check no-targets.xml", 1, "no \"targets\" child"},
      {"add broken.xml A", 1, "cannot load broken.xml"},
      {"set broken.xml A --id 1", 1, "cannot load broken.xml"},
      {"remove broken.xml A", 1, "cannot load broken.xml"},
      {"set t.xml Nothing --image x.png", 1, "no target in t.xml is named \"Nothing\""},
      {"remove t.xml Door", 1, "2 targets in t.xml are named \"Door\"; give --all"},
      {"export t.xml -o no/such/folder.json", 1, "cannot write no/such/folder.json"},
      {"add no/such/t.xml A", 1, "the folder no/such does not exist"},
      {"--plugin ./nowhere.so list t.xml", 1, "named with --plugin"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.args);
    const Result r = Run(row.args);
    EXPECT_EQ(r.status, row.status);
    EXPECT_EQ(r.err.rfind("artargets: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(row.message), std::string::npos) << r.err;
    EXPECT_LE(std::count(r.err.begin(), r.err.end(), '\n'), 2) << "a line and a hint: " << r.err;
    EXPECT_EQ(Read("t.xml"), kept);
    EXPECT_EQ(Read("notes.xml"), "<notes/>") << "a file that is not a target file is kept";
  }
  EXPECT_EQ(Read("new.xml"), "");
  const Result version = Run("--version");
  EXPECT_EQ(version.out.rfind("artargets " AR_VERSION_STRING "\nplug-in: /", 0), 0u) << version.out;
}

TEST_F(ArtargetsTest, AddCreatesTheFileAndListSortsByNameThenId) {
  ASSERT_EQ(Run("add t.xml Window --id 2 --type 255").status, 0);
  ASSERT_EQ(Run("add t.xml Door --id 9 --size 0.8 2.1 --center 1.5 0 -0 --shape /b/d").status, 0);
  ASSERT_EQ(Run("add t.xml Door --id -2147483648").status, 0);
  const Result r = Run("list t.xml");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "\"Door\"  type 0  id -2147483648  size 0 x 0  centre [0, 0, 0]  shape \"\"\n"
            "\"Door\"  type 0  id 9  size 0.8 x 2.1  centre [1.5, 0, -0]  shape \"/b/d\"\n"
            "\"Window\"  type 255  id 2  size 0 x 0  centre [0, 0, 0]  shape \"\"\n");
  // Names alike in their first 16 bytes, or beyond ASCII, still sort as whole byte strings;
  // a byte of 0x80 or more sorts after every ASCII byte, wherever it stands.
  for (const char* name :
       {"abcdefghijklmnop-2", "é", "abcdefghijklmnop-10", "z", "abcdefghijklmnop", "aé", "b", "a"})
    ASSERT_EQ(Run(std::string("add s.xml ") + name).status, 0);
  EXPECT_EQ(Listed("s.xml"),
            (std::vector<std::string>{"a", "abcdefghijklmnop", "abcdefghijklmnop-10",
                                      "abcdefghijklmnop-2", "aé", "b", "z", "é"}));
  // A file large enough to be read out on two threads comes out whole and in order.
  std::string many = "[";
  std::vector<std::string> expected;
  for (int i = 0; i < 5000; ++i) {
    expected.push_back("t" + std::to_string(i));  // what a key leaves out is add's default
    many += (i ? ",{\"name\":\"" : "{\"name\":\"") + expected.back() +
            "\",\"id\":" + std::to_string(i) + "}";
  }
  Write("many.json", many + "]");
  ASSERT_EQ(Run("import many.json -o many.xml").status, 0);
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Listed("many.xml"), expected);
  ASSERT_EQ(Run("add j.xml A --size nan inf --rotation -inf --center 1 2 3").status, 0);
  std::string compact;
  for (char c : Run("list j.xml --json").out)
    if (c != ' ' && c != '\n') compact += c;
  EXPECT_EQ(compact,
            "[{\"name\":\"A\",\"image\":\"\",\"width\":\"nan\",\"height\":\"inf\",\"type\":0,"
            "\"id\":0,\"center\":[1.0,2.0,3.0],\"normal\":[0.0,0.0,0.0],\"xdir\":[0.0,0.0,0.0],"
            "\"ydir\":[0.0,0.0,0.0],\"shape\":\"\",\"rotation\":\"-inf\"}]");
}

// Names, images and shapes from a file never reach the terminal raw, in any command.
TEST_F(ArtargetsTest, EveryCommandEscapesWhatComesFromTheFile) {
  // Each as JSON writes it, and as the tool shows it.
  const std::string nasty[] = {"\\u001b[31mred", "bell\\u0007", "cr\\rlf\\n", "quote\\\" back\\\\",
                               "nul\\u0000in"};
  std::string json = "[";
  for (const std::string& name : nasty)
    json += (json.size() > 1 ? "," : "") + std::string("{\"name\":\"") + name + "\",\"image\":\"" +
            name + "\",\"shape\":\"" + name + "\"}";
  Write("nasty.json", json + "]");
  ASSERT_EQ(Run("import nasty.json -o t.xml").status, 0);
  Write("twice.xml", TargetFile(Sound("&#27;[2J") + Sound("&#27;[2J")));
  Write("empty.xml", TargetFile(""));
  const std::pair<const char*, bool> commands[] = {
      {"list t.xml", true},           {"list t.xml --json", true}, {"check t.xml", true},
      {"diff t.xml empty.xml", true}, {"check twice.xml", false},  {"remove t.xml Nothing", false}};
  for (const auto& [command, showsAll] : commands) {
    SCOPED_TRACE(command);
    const Result r = Run(command);
    const std::string all = r.out + r.err;
    EXPECT_TRUE(std::none_of(all.begin(), all.end(), [](unsigned char c) {
      return c < 0x20 && c != '\n';
    })) << all;
    for (const std::string& shown : nasty)
      EXPECT_EQ(all.find(shown) != std::string::npos, showsAll) << shown;
  }
  EXPECT_NE(Run("check twice.xml").out.find("\"\\u001b[2J\": its name is also that of target"),
            std::string::npos);
}

TEST_F(ArtargetsTest, CheckWarnsAboutWhatTheReaderTakesSilently) {
  Write("t.xml", TargetFile(Sound("Good") + Target(Named("Old") + Sized(1, 1) + kUpright, "3") +
                            Target(Named("Flat") + Sized(0, 1) + kUpright) +
                            Target(Named("Good") + Sized(1, 1) + kUpright +
                                   "<int key=\"artargetwidth\" value=\"2\"/>"
                                   "<string key=\"artargetcolour\" value=\"red\"/>"
                                   "<uint8 key=\"artargettype\" value=\"300\"/>") +
                            Target(Named("Edge") + Sized(1, 1)) +
                            Target(Named("Bent") + Sized(1, 1) + kUpright +  // the last ydir wins
                                   "<vector key=\"artargetydir\" "
                                   "x=\"-0.1\" y=\"0\" z=\"0.995\"/>")));
  const Result r = Run("check t.xml");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "t.xml: warning ART103: in content 'artarget': uint8 'artargettype' has the "
            "out-of-range value '300' (a uint8 holds 0 to 255); it is skipped\n"
            "t.xml: warning ART104: target 2 \"Old\": its version is 3, not 0; the reader makes "
            "an empty target of it\n"
            "t.xml: warning ART202: target 3 \"Flat\": its size 0 x 1 m is not positive\n"
            "t.xml: warning ART105: target 4 \"Good\": \"artargetwidth\" is a int where the "
            "reader expects a double; it is ignored\n"
            "t.xml: warning ART105: target 4 \"Good\": \"artargetcolour\" is not a key the "
            "reader knows; it is ignored\n"
            "t.xml: warning ART204: target 5 \"Edge\": its normal has length zero\n"
            "t.xml: warning ART204: target 5 \"Edge\": its xdir has length zero\n"
            "t.xml: warning ART204: target 5 \"Edge\": its ydir has length zero\n"
            "t.xml: warning ART205: target 6 \"Bent\": its xdir and ydir are 96 degrees apart, "
            "not 90\n"
            "t.xml: warning ART208: target 1 \"Good\": its name is also that of target 4; a "
            "scene shows only one of them\n"
            "t.xml: warning ART208: target 4 \"Good\": its name is also that of target 1; a "
            "scene shows only one of them\n"
            "t.xml: loads, 6 targets, 11 warnings (lengths in m)\n");
}

TEST_F(ArtargetsTest, EditsFindTheirTargetByNameAndConcurrentEditsAllLand) {
  Write("t.xml", TargetFile(Sound("Door") + Sound("Door") + Sound("Gate")));
  EXPECT_EQ(Run("set t.xml Gate --name Portal --id 5").status, 0);
  EXPECT_EQ(Run("set t.xml Door --all --image door.png").status, 0);
  EXPECT_EQ(Run("remove t.xml Door --all").status, 0);
  const std::string listed = Run("list t.xml --json").out;
  EXPECT_NE(listed.find("\"Portal\""), std::string::npos);
  EXPECT_EQ(listed.find("\"Door\""), std::string::npos);

  const Result r = Shell("for i in $(seq 20); do \"$A\" add t.xml T$i & done; wait");
  EXPECT_EQ(r.err, "");
  const std::string all = Run("list t.xml").out;
  EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), 21) << all;
  for (int i = 1; i <= 20; ++i)
    EXPECT_NE(all.find("\"T" + std::to_string(i) + "\""), std::string::npos) << i;
}

// (Export and import keep every bit: the JSON import fuzzer's corpus round trip.)
TEST_F(ArtargetsTest, DiffShowsChanges) {
  Write("a.xml", TargetFile(Sound("Door") + Sound("Gate")));
  Write("b.xml", TargetFile(Target(Named("Door") + Sized(1, 3) + kUpright) + Sound("Hatch")));
  const Result r = Run("diff a.xml b.xml");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out,
            "~ \"Door\" (id 0)\n    height: 2 -> 3\n- \"Gate\" (id 0)\n+ \"Hatch\" (id 0)\n");
}

// The demo's notifications are the manual's example (ManualExamplesPrintWhatTheManualShows).
TEST_F(ArtargetsTest, RenderShowsWhatHappened) {
  Write("t.xml", TargetFile(Sound("Door &lt;1&gt;") + Sound("Gate")));
  ASSERT_EQ(Run("render t.xml -o t.svg").status, 0);
  const std::string svg = Read("t.svg");
  for (const char* part : {"<svg", "top (x, y)", "front (x, z)", "side (y, z)", "Door &lt;1&gt;",
                           "Gate", "marker-end", "<polygon", "fill=\"none\"", " m</text>"})
    EXPECT_NE(svg.find(part), std::string::npos) << part;
  ASSERT_EQ(Run("set t.xml Gate --image gate.png").status, 0);  // which is missing
  ASSERT_EQ(Run("render t.xml -o scored.svg --images").status, 0);
  const std::string scored = Read("scored.svg");
  const auto count = [&](const std::string& part) {
    std::size_t n = 0;
    for (auto at = scored.find(part); at != std::string::npos; at = scored.find(part, at + 1)) ++n;
    return n;
  };
  EXPECT_EQ(count("fill=\"#D55E00\" fill-opacity"), 3u)
      << "Gate's missing image scores 0: in each view";
  EXPECT_EQ(count("class=\"swatch\""), 3u) << "the legend shows each class of score";
  EXPECT_EQ(count("Gate (0)"), 3u) << "the score is in the label";
  EXPECT_EQ(count("fill=\"none\""), 6u) << "Door has no image: the panels' frames and its own";
  EXPECT_EQ(count("class=\"scale\""), 1u) << "one scale bar for the three views";
}

TEST_F(ArtargetsTest, CheckImagesRatesEachTargetsImageAndSaysWhatLowersIt) {
  Image("textured.png", 640, 480);
  Image("flat.png", 640, 480, [](int, int) { return 128; });
  Image("gradient.png", 640, 480, [](int x, int) { return x * 255 / 640; });
  Image("checker.png", 640, 480, [](int x, int y) { return ((x / 40 + y / 40) % 2) ? 230 : 20; });
  Image("small.png", 200, 150);
  Image("wide.png", 800, 400);
  Image("broken.jpg", 640, 480);
  Write("broken.jpg", Read("broken.jpg").substr(0, Read("broken.jpg").size() / 3));
  std::string huffman = Read("broken.jpg");  // its first Huffman table made to hold 267 codes
  huffman[huffman.find("\xff\xc4") + 5] = '\xff';
  Write("huffman.jpg", huffman);
  Write("text.png", "not a picture\n");
  std::string huge = Read("flat.png");  // its header made to claim 20000 x 20000 pixels
  huge.replace(16, 8, std::string("\0\0\x4e\x20\0\0\x4e\x20", 8));
  Write("huge.png", huge);
  Write("copy.png", Read("textured.png"));
  // Each image and what the warning about it holds.
  const std::pair<const char*, const char*> rows[] = {
      {"textured.png", "is the same picture as that of target "},  // as copy.png
      {"flat.png",
       "too few features that survive at a distance (0), mostly plain areas: 100% of the image, "
       "low contrast"},
      {"gradient.png", "is mostly plain: 100% of the image"},
      {"checker.png", "repetitive pattern"},
      {"small.png", "is 200 x 150 pixels, under 300 on its shorter side"},
      {"wide.png", "% off the shape of the target (0.32 x 0.24 m)"},
      {"broken.jpg", "cannot be decoded"},
      {"huffman.jpg", "cannot be decoded (a Huffman table of more than 256 codes)"},
      {"text.png", "is not a JPEG or PNG image"},
      {"huge.png", "has 20000 x 20000 pixels, over the limit of 100 megapixels"},
      {"copy.png", "is the same picture as that of target "},
      {"nowhere.png", "is missing"},
  };
  for (const auto& [image, warning] : rows)
    ASSERT_EQ(Run(std::string("add t.xml ") + image + " --image " + image +
                  " --size 0.32 0.24 --normal 0 0 1 --xdir 1 0 0 --ydir 0 1 0")
                  .status,
              0);
  ASSERT_EQ(Run("add t.xml Blank").status, 0);
  const Result r = Run("check t.xml --images");
  EXPECT_NE(r.out.find("\"Blank\": it names no image to track"), std::string::npos);
  EXPECT_EQ(r.status, 1) << "missing and unreadable images are errors";
  for (const auto& [image, warning] : rows) {  // the targets are named after their images
    SCOPED_TRACE(image);
    EXPECT_NE(r.out.find("\"" + std::string(image) + "\": its image"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(warning), std::string::npos) << r.out;
  }
  // The other targets are still reported when one image cannot be read.
  EXPECT_NE(r.out.find("loads, 13 targets"), std::string::npos);

  const Result json = Run("check t.xml --images --json");
  const auto report = nlohmann::json::parse(json.out);
  std::map<std::string, int> scores;
  for (const auto& image : report["images"]) scores[image["image"]] = image["score"];
  for (const char* low : {"flat.png", "gradient.png", "checker.png"})
    EXPECT_LT(scores[low] + 30, scores["textured.png"]) << low << " against textured";
  EXPECT_EQ(Run("check t.xml --images --fail-below 1").status, 1);
}

// Lines compared as the manual promises: a run of lines that share their first two words (the
// same notification) may come in any order.
std::vector<std::string> Comparable(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  const auto kind = [](const std::string& line) { return line.substr(0, line.find(' ', 12)); };
  for (auto run = lines.begin(); run != lines.end();) {
    auto end = std::find_if(run, lines.end(), [&](const auto& l) { return kind(l) != kind(*run); });
    std::sort(run, end);
    run = end;
  }
  return lines;
}

// Every example of the manuals, run in order in one folder per manual, prints what it shows.
TEST_F(ArtargetsTest, ManualExamplesPrintWhatTheManualShows) {
  for (const std::string manual : {"artargets", "git"}) {
    std::istringstream text(artest::ReadFile(AR_SOURCE_DIR "/docs/" + manual + ".md"));
    std::vector<std::pair<std::string, std::string>> examples;  // command, expected output
    bool inConsole = false;
    for (std::string line; std::getline(text, line);) {
      if (line.rfind("```", 0) == 0) {
        inConsole = !inConsole && line == "```console";
      } else if (inConsole && line.rfind("$ ", 0) == 0) {
        examples.push_back({line.substr(2), ""});
      } else if (inConsole && !examples.empty() && examples.back().first.ends_with("\\")) {
        examples.back().first += "\n" + line;
      } else if (inConsole && !examples.empty()) {
        examples.back().second += line + "\n";
      }
    }
    ASSERT_GT(examples.size(), 5u);
    for (const auto& [command, expected] : examples) {
      SCOPED_TRACE(manual + ": " + command);
      std::filesystem::create_directories(dir_.path() / manual);
      const auto words = command.starts_with("artargets ")
                             ? artest::WordsForHere(command.substr(10))
                             : std::nullopt;
      Result r = words ? artest::RunToolHere(*words, dir_.path() / manual)
                       : Shell("cd " + manual + " && " + kOwnGit +
                               "artargets() { \"$A\" \"$@\"; }; " + command + " 2>&1");
      if (words) r.out += r.err;  // as the terminal shows it: the examples print on one of them
      const std::string shown = expected.substr(0, expected.find("...\n"));
      const std::string printed =
          r.out.substr(0, shown.size() < expected.size() ? shown.size() : r.out.size());
      EXPECT_EQ(Comparable(printed), Comparable(shown)) << r.out;
    }
  }
}

}  // namespace
