// The artargets tool, run as a process the way a person runs it, on files the tests write:
// every command's success and failure roads with their exit statuses and messages.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "TempDir.h"

namespace {

struct Result {
  int status = -1;
  std::string out, err;
};

class ArtargetsTest : public ::testing::Test {
 protected:
  // Runs the tool with `args` (already quoted for the shell) in the test's folder; `prefix`
  // runs first in the same shell (limits, say).
  Result Run(const std::string& args, const std::string& prefix = "") {
    const std::string command = "cd '" + dir_.path().string() + "' && " + prefix + " '" +
                                ARTARGETS_PATH + "' " + args + " >out.txt 2>err.txt";
    const int raw = std::system(command.c_str());
    Result result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = artest::ReadFile(dir_.File("out.txt"));
    result.err = artest::ReadFile(dir_.File("err.txt"));
    return result;
  }
  void Write(const std::string& name, const std::string& text) {
    std::ofstream(dir_.File(name), std::ios::binary) << text;
  }
  std::string Read(const std::string& name) { return artest::ReadFile(dir_.File(name)); }
  // A target file whose "targets" element holds `body`.
  static std::string TargetFile(const std::string& body, const std::string& root = "") {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n" +
           (root.empty() ? "<augmentedreality version=\"1\">" : root) + "<targets>" + body +
           "</targets></augmentedreality>\n";
  }
  static std::string Target(const std::string& properties, const char* version = "0") {
    return std::string("<content name=\"artarget\"><uint8 key=\"artargetversion\" value=\"") +
           version + "\"/>" + properties + "</content>";
  }
  static std::string Named(const std::string& name) {
    return "<string key=\"artargetname\" value=\"" + name + "\"/>";
  }
  static std::string Sized(double width, double height) {
    std::ostringstream text;
    text << "<double key=\"artargetwidth\" value=\"" << width << "\"/>"
         << "<double key=\"artargetheight\" value=\"" << height << "\"/>";
    return text.str();
  }
  static std::string Upright() {
    return "<vector key=\"artargetnormal\" x=\"0\" y=\"-1\" z=\"0\"/>"
           "<vector key=\"artargetxdir\" x=\"1\" y=\"0\" z=\"0\"/>"
           "<vector key=\"artargetydir\" x=\"0\" y=\"0\" z=\"1\"/>";
  }
  // A sound target: named, sized, with its three directions.
  static std::string Sound(const std::string& name) {
    return Target(Named(name) + Sized(1, 2) + Upright());
  }

  artest::TempDir dir_;
};

TEST_F(ArtargetsTest, UsageErrorsExitTwoAndHelpIsEverywhere) {
  for (const char* args : {"", "bogus", "list", "add t.xml", "add t.xml --name A --size 1",
                           "add t.xml --name A --center 1 2 x", "add t.xml --name A --id 1.5"}) {
    const Result r = Run(args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_EQ(r.err.rfind("artargets: ", 0), 0u) << args << ": " << r.err;
  }
  EXPECT_EQ(Run("--help").status, 0);
  EXPECT_NE(Run("--help").out.find("render"), std::string::npos);
  for (const char* command :
       {"list", "check", "add", "set", "remove", "export", "import", "diff", "render", "demo"}) {
    const Result r = Run(std::string(command) + " --help");
    EXPECT_EQ(r.status, 0) << command;
    EXPECT_NE(r.out.find("Usage"), std::string::npos) << command;
  }
}

TEST_F(ArtargetsTest, AddCreatesTheFileAndListSortsByNameThenId) {
  ASSERT_EQ(Run("add t.xml --name Window --id 2 --type 1").status, 0);
  ASSERT_EQ(
      Run("add t.xml --name Door --id 9 --size 0.8 2.1 --center 1.5 0 -0 --shape /b/d").status, 0);
  ASSERT_EQ(Run("add t.xml --name Door --id 3").status, 0);
  const Result r = Run("list t.xml");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "\"Door\"  type 0  id 3  size 0 x 0  centre [0, 0, 0]  shape \"\"\n"
            "\"Door\"  type 0  id 9  size 0.8 x 2.1  centre [1.5, 0, -0]  shape \"/b/d\"\n"
            "\"Window\"  type 1  id 2  size 0 x 0  centre [0, 0, 0]  shape \"\"\n");
}

TEST_F(ArtargetsTest, JsonHasExactlyTheKeysAndSpellsNonFiniteNumbers) {
  ASSERT_EQ(Run("add t.xml --name A --size nan inf --rotation -inf --center 1 2 3").status, 0);
  const Result r = Run("list t.xml --json");
  ASSERT_EQ(r.status, 0);
  std::string compact;
  for (char c : r.out)
    if (c != ' ' && c != '\n') compact += c;
  EXPECT_EQ(compact,
            "[{\"name\":\"A\",\"image\":\"\",\"width\":\"nan\",\"height\":\"inf\",\"type\":0,"
            "\"id\":0,\"center\":[1.0,2.0,3.0],\"normal\":[0.0,0.0,0.0],\"xdir\":[0.0,0.0,0.0],"
            "\"ydir\":[0.0,0.0,0.0],\"shape\":\"\",\"rotation\":\"-inf\"}]");
}

TEST_F(ArtargetsTest, CheckNamesWhyABrokenFileDoesNotLoad) {
  Write("bad-xml.xml", "<augmentedreality version=\"1\">\n<targets>\n</target>");
  Write("no-version.xml", TargetFile("", "<augmentedreality>"));
  Write("too-new.xml", TargetFile("", "<augmentedreality version=\"2\">"));
  Write("no-targets.xml", "<augmentedreality version=\"1\"><target/></augmentedreality>");
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"missing.xml", "No such file"},
      {"bad-xml.xml", "not well-formed XML at line 3"},
      {"no-version.xml", "has no \"version\" attribute"},
      {"too-new.xml", "version 2, newer than the reader knows"},
      {"no-targets.xml", "no \"targets\" child"},
  };
  for (const auto& [file, reason] : cases) {
    const Result r = Run("check " + file);
    EXPECT_EQ(r.status, 1) << file;
    EXPECT_EQ(r.err.rfind("artargets: cannot load " + file + ": ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(reason), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << "one message: " << r.err;
  }
}

TEST_F(ArtargetsTest, CheckWarnsAboutWhatTheReaderTakesSilently) {
  Write("t.xml", TargetFile("<content name=\"arcontent\">" + Sound("Good") +
                            Target(Named("Old") + Sized(1, 1) + Upright(), "3") +
                            Target(Named("Flat") + Sized(0, 1) + Upright()) +
                            Target(Named("Good") + Sized(1, 1) + Upright() +
                                   "<int key=\"artargetwidth\" value=\"2\"/>"
                                   "<string key=\"artargetcolour\" value=\"red\"/>") +
                            Target(Named("Edge") + Sized(1, 1)) + "</content>"));
  const Result r = Run("check t.xml");
  EXPECT_EQ(r.status, 0) << r.err;
  const std::string expected =
      "t.xml: warning: target 2 \"Old\": its version is 3, not 0; the reader makes an empty "
      "target of it\n"
      "t.xml: warning: target 3 \"Flat\": its size 0 x 1 is not positive\n"
      "t.xml: warning: target 4 \"Good\": \"artargetwidth\" is a int where the reader expects a "
      "double; it is ignored\n"
      "t.xml: warning: target 4 \"Good\": \"artargetcolour\" is not a key the reader knows; it "
      "is ignored\n"
      "t.xml: warning: target 5 \"Edge\": its normal has length zero\n"
      "t.xml: warning: target 5 \"Edge\": its xdir has length zero\n"
      "t.xml: warning: target 5 \"Edge\": its ydir has length zero\n"
      "t.xml: warning: the name \"Good\" is used by 2 targets (1, 4); a scene shows only one of "
      "them\n"
      "t.xml: loads, 5 targets, 8 warnings\n";
  EXPECT_EQ(r.out, expected);
}

TEST_F(ArtargetsTest, SetAndRemoveFindTheirTargetByName) {
  Write("t.xml", TargetFile("<content name=\"arcontent\">" + Sound("Door") + Sound("Door") +
                            Sound("Gate") + "</content>"));
  EXPECT_EQ(Run("set t.xml Nothing --image x.png").status, 1);
  const Result several = Run("remove t.xml Door");
  EXPECT_EQ(several.status, 1);
  EXPECT_NE(several.err.find("give --all"), std::string::npos) << several.err;
  EXPECT_EQ(Run("set t.xml Gate --name Portal --id 5").status, 0);
  EXPECT_EQ(Run("set t.xml Door --all --image door.png").status, 0);
  EXPECT_EQ(Run("remove t.xml Door --all").status, 0);
  const Result r = Run("list t.xml --json");
  EXPECT_NE(r.out.find("\"Portal\""), std::string::npos);
  EXPECT_EQ(r.out.find("\"Door\""), std::string::npos);
  EXPECT_EQ(r.out.find("door.png"), std::string::npos);
}

TEST_F(ArtargetsTest, EditsNeverOverwriteAFileThatDoesNotLoad) {
  const std::string broken = "<augmentedreality version=\"7\"><targets/></augmentedreality>";
  Write("t.xml", broken);
  for (const char* args : {"add t.xml --name A", "set t.xml A --id 1", "remove t.xml A"}) {
    const Result r = Run(args);
    EXPECT_EQ(r.status, 1) << args;
    EXPECT_EQ(Read("t.xml"), broken) << args;
  }
}

TEST_F(ArtargetsTest, FailedSaveLeavesTheOldFileAsItWas) {
  std::string many;
  for (int i = 0; i < 20; ++i) many += Sound("Target " + std::to_string(i));
  Write("t.xml", TargetFile("<content name=\"arcontent\">" + many + "</content>"));
  ASSERT_EQ(Run("remove t.xml 'Target 3'").status, 0);  // now in the plug-in's own layout
  const std::string before = Read("t.xml");
  ASSERT_GT(before.size(), 4096u);
  const Result r = Run("add t.xml --name More", "trap '' XFSZ; ulimit -f 2;");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("the previous file is unchanged"), std::string::npos) << r.err;
  EXPECT_EQ(Read("t.xml"), before);
}

TEST_F(ArtargetsTest, ExportAndImportReproduceEveryBit) {
  Write(
      "t.xml",
      TargetFile(
          "<content name=\"arcontent\">" +
          Target(Named("Odd &amp; &quot;quoted&quot;&#10;") +
                 "<double key=\"artargetwidth\" value=\"5e-324\"/>"
                 "<double key=\"artargetheight\" value=\"1.7976931348623157e+308\"/>"
                 "<point key=\"artargetcenter\" x=\"-0\" y=\"0.1\" z=\"nan(0x7ff8000000000001)\"/>"
                 "<vector key=\"artargetnormal\" x=\"-nan\" y=\"inf\" z=\"-inf\"/>"
                 "<double key=\"artargetrotation\" value=\"0.30000000000000004\"/>"
                 "<int key=\"artargetid\" value=\"-2147483648\"/>") +
          Sound("Plain") + "</content>"));
  ASSERT_EQ(Run("export t.xml -o t.json").status, 0);
  ASSERT_EQ(Run("import t.json -o back.xml").status, 0);
  const Result same = Run("diff t.xml back.xml");
  EXPECT_EQ(same.status, 0) << same.out;
  EXPECT_EQ(same.out, "");
  EXPECT_EQ(Run("export back.xml").out, Read("t.json"));

  Write("notes.xml", "<notes/>");
  const Result refused = Run("import t.json -o notes.xml");
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(Read("notes.xml"), "<notes/>") << "a file that is not a target file is kept";
  const Result unwritable = Run("export t.xml -o no/such/folder.json");
  EXPECT_EQ(unwritable.status, 1);
  EXPECT_NE(unwritable.err.find("cannot write no/such/folder.json"), std::string::npos);

  Write("bad.json", "[{\"name\": \"A\"}]");
  const Result bad = Run("import bad.json -o other.xml");
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find("target 1: missing key"), std::string::npos) << bad.err;
}

TEST_F(ArtargetsTest, DiffShowsAddedRemovedAndChangedFields) {
  Write("a.xml",
        TargetFile("<content name=\"arcontent\">" + Sound("Door") + Sound("Gate") + "</content>"));
  Write("b.xml", TargetFile("<content name=\"arcontent\">" +
                            Target(Named("Door") + Sized(1, 3) + Upright()) + Sound("Hatch") +
                            "</content>"));
  const Result r = Run("diff a.xml b.xml");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out,
            "- \"Gate\" (id 0)\n"
            "+ \"Hatch\" (id 0)\n"
            "~ \"Door\" (id 0)\n"
            "    height: 2 -> 3\n");
  EXPECT_EQ(Run("diff a.xml a.xml").status, 0);
}

TEST_F(ArtargetsTest, RenderDrawsThreeViewsWithTheTargetsNames) {
  Write("t.xml", TargetFile("<content name=\"arcontent\">" + Sound("Door &lt;1&gt;") +
                            Sound("Gate") + "</content>"));
  ASSERT_EQ(Run("render t.xml -o t.svg").status, 0);
  const std::string svg = Read("t.svg");
  for (const char* part : {"<svg", "top (x, y)", "front (x, z)", "side (y, z)", "Door &lt;1&gt;",
                           "Gate", "marker-end"})
    EXPECT_NE(svg.find(part), std::string::npos) << part;
}

TEST_F(ArtargetsTest, DemoNarratesTheNotificationsInTheOrderTheyArePosted) {
  const Result r = Run("demo");
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> kinds;
  std::istringstream lines(r.out);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("  observer: ", 0) != 0) continue;
    const std::string what = line.substr(12);
    kinds.push_back(what.substr(0, what.find(' ')));
  }
  const std::vector<std::string> expected = {
      "OnTargetCreate", "OnTargetCreate", "OnTargetCreate", "OnShowTargetForScene",
      "OnShowTargets",  "OnTargetMoved",  "OnShowTargets",  "OnReset",
      "OnTargetCreate", "OnTargetCreate", "OnTargetCreate", "OnShowTargets"};
  EXPECT_EQ(kinds, expected) << r.out;
  EXPECT_NE(r.out.find("\"Kitchen window\" at [4.5, 0, 1.4]"), std::string::npos) << r.out;
}

TEST_F(ArtargetsTest, MissingPluginIsAnErrorThatSaysWhatToDo) {
  const Result r = Run("--plugin ./nowhere.so list t.xml");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("--plugin PATH"), std::string::npos) << r.err;
}

}  // namespace
