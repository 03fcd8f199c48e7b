// What a target file holds beyond the targets the plug-in reads survives every command that
// rewrites the file, and git's filter and merge driver, where it stood.
#include <algorithm>
#include <string>
#include <vector>

#include "ArtargetsTest.h"
#include "HostTest.h"
#include "targets/PlainTargetText.h"
#include "targets/TargetComparison.h"

namespace {

// A whole target as the plug-in writes it.
const std::string kWholeTarget = R"(      <content name="artarget">
        <uint8 key="artargetversion" value="0" />
        <string key="artargetname" value="Café ✓" />
        <string key="artargetimage" value="images/door.png" />
        <double key="artargetwidth" value="1e-300" />
        <double key="artargetheight" value="-0" />
        <uint8 key="artargettype" value="255" />
        <int key="artargetid" value="-2147483648" />
        <point key="artargetcenter" x="1.5" y="-2" z="3e5" />
        <string key="artargetshape" value="/hall/wall" />
        <vector key="artargetnormal" x="0" y="-1" z="0.25" />
        <vector key="artargetxdir" x="1" y="0" z="0" />
        <vector key="artargetydir" x="0" y="0" z="1" />
        <double key="artargetrotation" value="90.125" />
      </content>
)";

// A file as the plug-in writes it holds nothing to keep, and reads into the records the plug-in
// would give, each value in its own field. One line more or otherwise, or anything the plug-in
// does not write, and the exact reading must look; a target it cannot read whole (a property
// missing, an escaped or control character) holds nothing more but is read by the plug-in.
// Comparing records makes targets on the host: it is shut down after, as after a command.
class PlainTargetTextTest : public artest::HostTest {};

TEST_F(PlainTargetTextTest, OnlyThePluginsLayoutHoldsNothingMoreAndReadsIntoRecords) {
  const auto file = [](const std::string& t, const char* v = "1") {
    return artest::PluginLayout(t, v);
  };
  const auto with = [](const std::string& from, const std::string& to) {
    std::string changed = kWholeTarget;
    changed.replace(changed.find(from), from.size(), to);
    return changed;
  };
  // name, image, size, type, id, centre, normal, xdir, ydir, shape, rotation
  const artargets::TargetRecord door = {"Café ✓",  "images/door.png", 1e-300,         -0.0,
                                        255,       -2147483648LL,     {1.5, -2, 3e5}, {0, -1, 0.25},
                                        {1, 0, 0}, {0, 0, 1},         "/hall/wall",   90.125};
  artargets::TargetRecord gate = door;
  gate.name = "Gate";
  gate.id = 7;
  std::string gateTarget = with("Café ✓", "Gate");
  gateTarget.replace(gateTarget.find("-2147483648"), 11, "7");
  struct Row {
    std::string text;
    bool plain;
    std::vector<artargets::TargetRecord> records = {};  // none: not read
  };
  const Row rows[] = {
      {file(gateTarget + kWholeTarget), true, {gate, door}},  // in the file's order
      {file(""), true},
      {file(kWholeTarget, "0"), true, {door}},
      {file(kWholeTarget, "2"), true},  // the root's version is the reader's to judge
      {file(kWholeTarget, "01"), true},
      {file(with("        <double key=\"artargetrotation\" value=\"90.125\" />\n", "")), true},
      {file(with("/hall/wall", "/hall &amp; wall")), true},
      {file(with("/hall/wall", "/hall\x01wall")), true},
      {file(with("artargetrotation", "artargetspin")), false},
      {file(with("version\" value=\"0\"", "version\" value=\"1\"")), false},
      {file(with("        <uint8 key=\"artargetversion\" value=\"0\" />\n", "")), false},
      {file(kWholeTarget).substr(0, file(kWholeTarget).size() - 1), false},  // no last line feed
      {"<!-- a comment -->\n" + file(kWholeTarget), false},
      {file(kWholeTarget + "      <!-- a comment -->\n"), false},
      {file(with("artarget\">", "artarget\" x=\"1\">")), false},
      {file(with("value=\"1e-300\" />", "value=\"1e-300\" unit=\"m\" />")), false},
      {file(with("<double key=\"artargetwidth\"", "<int key=\"artargetwidth\"")), false},
      {file(with("value=\"1e-300\"", "value=\"wide\"")), false},
      {file(with("value=\"1e-300\"", "value=\"&#49;e-300\"")), false},
      {file(with("value=\"-2147483648\"", "value=\"99999999999\"")), false},
      {file(with("<int key=\"artargetid\" value=\"-2147483648\" />",
                 "<int key=\"artargetid\" value=\"-2147483648\" />\n        <int "
                 "key=\"artargetid\" value=\"3\" />")),
       false},
      {file(with("z=\"3e5\" />", "z=\"3e5\"></point>")), false},
      {file(with(" />\n      </content>", " />\n        <x:extra />\n      </content>")), false},
      {file(kWholeTarget).replace(file("").find("version=\"1\""), 11, "version=\"1\" a=\"b\""),
       false},
      {file("      <content name=\"inner\">\n" + kWholeTarget + "      </content>\n"), false},
      {file(kWholeTarget) + "<!-- after -->\n", false},
      {[&] {
         std::string crlf;
         for (char c : file(kWholeTarget))
           crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
         return crlf;
       }(),
       false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(artargets::HoldsOnlyTargets(row.text), row.plain);
    std::vector<artargets::TargetRecord> read = {gate};  // what was there goes
    EXPECT_EQ(artargets::ReadPlainTargets(row.text, read),
              !row.records.empty() || row.text == file(""));
    ASSERT_EQ(read.size(), row.records.size());
    for (std::size_t i = 0; i < read.size(); ++i)
      EXPECT_TRUE(artargets::SameRecord(read[i], row.records[i])) << i;
  }
}

// A hand-edited file: something the reader does not know at every place a file can hold it.
constexpr const char* kHandEdited = R"(<?xml version="1.0" encoding="utf-8"?>
<!-- prolog comment -->
<augmentedreality version="1" xmlns:x="urn:x">
  <x:head>before the targets</x:head>
  <targets>
    <content name="arcontent" x:set="gallery">
      <!-- the chart's own comment -->
      <content name="artarget" x:id="chart-1">
        <uint8 key="artargetversion" value="0" />
        <string key="artargetname" value="Chart" />
        <string key="artargetnote" value="keep me" />
        <double key="artargetwidth" value="0.5" />
        <double key="artargetwidth" value="0.8" x:unit="m" />
        <int key="artargetheight" value="7" />
        <double key="artargetheight" value="0.6" />
        <double key="artargetrotation" value="wide" />
        <x:extra>child element</x:extra>
      </content>
      <content name="artarget">
        <uint8 key="artargetversion" value="2" />
        <string key="artargetname" value="Future" />
      </content>
      <content name="artarget">
        <uint8 key="artargetversion" value="0" />
        <string key="artargetname" value="Banner" />
      </content>
      <!-- the last word of the targets -->
    </content>
    <content name="later">
      <string key="k" value="v" />
    </content>
  </targets>
  <metadata author="me" />
</augmentedreality>
<!-- epilog comment -->
)";

// Each kept piece as the tool writes it back.
const std::vector<std::string> kKeptPieces = {
    "<!-- prolog comment -->\n<augmentedreality version=\"1\" xmlns:x=\"urn:x\">",
    "<x:head>before the targets</x:head>\n  <targets>",
    "<content name=\"arcontent\" x:set=\"gallery\">",
    "<!-- the chart's own comment -->\n      <content name=\"artarget\" x:id=\"chart-1\">",
    "<string key=\"artargetnote\" value=\"keep me\" />",
    "<double key=\"artargetwidth\" value=\"0.5\" />\n        <double key=\"artargetwidth\" value=",
    "x:unit=\"m\" />",
    "<int key=\"artargetheight\" value=\"7\" />",
    "<double key=\"artargetrotation\" value=\"wide\" />",
    "<x:extra>child element</x:extra>",
    "<uint8 key=\"artargetversion\" value=\"2\" />\n        <string key=\"artargetname\" "
    "value=\"Future\" />",
    "<!-- the last word of the targets -->\n    </content>",
    "<content name=\"later\">\n      <string key=\"k\" value=\"v\" />",
    "<metadata author=\"me\" />\n</augmentedreality>\n<!-- epilog comment -->\n",
};

class KeptContentTest : public artest::ArtargetsTest {
 protected:
  // The pieces `file` lacks.
  std::vector<std::string> Lost(const std::string& file) {
    const std::string text = Read(file);
    std::vector<std::string> lost;
    for (const std::string& piece : kKeptPieces)
      if (text.find(piece) == std::string::npos) lost.push_back(piece);
    return lost;
  }
  static std::string Joined(const std::vector<std::string>& pieces) {
    std::string all;
    for (const auto& piece : pieces) all += piece + "\n---\n";
    return all;
  }
};

TEST_F(KeptContentTest, EveryCommandThatRewritesAFileKeepsWhatTheReaderDoesNotKnow) {
  struct Row {
    const char* command;
    const char* result;  // the file the command writes
    const char* listed;  // a line `list --long` prints of it afterwards
  };
  const Row rows[] = {
      {"set hand.xml Chart --rotation 0.5", "hand.xml", "\"Chart\"  type 0  id 0  size 0.8 x 0.6"},
      {"set hand.xml Chart --size 2 1", "hand.xml", "\"Chart\"  type 0  id 0  size 2 x 1"},
      {"add hand.xml Zebra --size 3 3", "hand.xml", "\"Zebra\"  type 0  id 0  size 3 x 3"},
      {"remove hand.xml Banner && \"$A\" add hand.xml Banner --size 4 4", "hand.xml",
       "\"Banner\"  type 0  id 0  size 4 x 4"},
      {"import --update up.json -o hand.xml", "hand.xml", "\"Chart\"  type 0  id 9"},
      {"fmt hand.xml", "hand.xml", "\"Chart\"  type 0  id 0  size 0.8 x 0.6"},
      {"fmt - <hand.xml >out.xml", "out.xml", "\"Chart\"  type 0  id 0  size 0.8 x 0.6"},
      {"merge base.xml hand.xml theirs.xml", "hand.xml", "\"Banner\"  type 0  id 5"},
  };
  Write("up.json", R"([{"name": "Chart", "id": 9}])");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.command);
    Write("hand.xml", kHandEdited);
    Write("base.xml", kHandEdited);
    Write("theirs.xml", kHandEdited);
    ASSERT_EQ(Run("set theirs.xml Banner --id 5").status, 0);
    const artest::Result run = Run(row.command);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Joined(Lost(row.result)), "") << Read(row.result);
    EXPECT_NE(Run(std::string("list --long ") + row.result).out.find(row.listed), std::string::npos)
        << Run(std::string("list --long ") + row.result).out;
    const std::string written = Read(row.result);
    EXPECT_EQ(Run(std::string("fmt --check ") + row.result).status, 0) << "written canonical";
    ASSERT_EQ(Run(std::string("fmt ") + row.result).status, 0);
    EXPECT_EQ(Read(row.result), written) << "a second pass changes nothing";
  }
}

TEST_F(KeptContentTest, AnEditedTargetOfAnotherVersionIsRefusedAndRemovingItDropsIt) {
  Write("hand.xml", kHandEdited);
  const artest::Result edited = Run("set hand.xml '' --size 1 1");
  EXPECT_EQ(edited.status, 1);
  EXPECT_NE(edited.err.find("another format version"), std::string::npos) << edited.err;
  EXPECT_NE(edited.err.find("remove"), std::string::npos) << edited.err;
  EXPECT_EQ(Read("hand.xml"), kHandEdited);

  ASSERT_EQ(Run("remove hand.xml ''").status, 0);
  EXPECT_EQ(Read("hand.xml").find("Future"), std::string::npos);
  EXPECT_EQ(Lost("hand.xml").size(), 1u) << "only the removed target is gone";
}

TEST_F(KeptContentTest, AMergeTakesKeptContentFromTheSideThatChangedIt) {
  const std::string base = TargetFile(Sound("Arch") + Sound("Gate"));
  const std::string noted = TargetFile("<!-- noted -->" + Sound("Arch") + Sound("Gate"));
  struct Row {
    std::string ours, theirs;
  };
  for (const Row& row : {Row{base, noted}, Row{noted, base}}) {
    Write("base.xml", base);
    Write("ours.xml", row.ours);
    Write("theirs.xml", row.theirs);
    ASSERT_EQ(Run("set ours.xml Gate --id 4").status, 0);
    ASSERT_EQ(Run("merge base.xml ours.xml theirs.xml -o out.xml").status, 0);
    const std::string merged = Read("out.xml");
    EXPECT_NE(merged.find("<!-- noted -->\n      <content name=\"artarget\">\n        <uint8 "
                          "key=\"artargetversion\" value=\"0\" />\n        <string "
                          "key=\"artargetname\" value=\"Arch\" />"),
              std::string::npos)
        << merged;
  }
}

// git set up by the tool stages target files canonical, diffs and merges them with the tool,
// keeps hand edits through its filter and merge driver, and passes other XML through unchanged.
TEST_F(KeptContentTest, GitFormatsDiffsAndMergesTargetFilesAndKeepsHandEdits) {
  const auto git = [&](const std::string& command) { return Shell(kOwnGit + command); };
  ASSERT_EQ(
      git("git init -q -b main && \"$A\" git-setup '*.xml' && \"$A\" git-setup '*.xml'").status, 0);
  EXPECT_EQ(Read(".gitattributes"), "*.xml filter=artargets diff=artargets merge=artargets\n");
  Write(".gitignore", "out.txt\nerr.txt\n");  // what each command of the test prints
  // As a host saves it: not in canonical order, and two targets of one name.
  Write("t.xml", TargetFile(Target(Named("Door") + Property("int", "artargetid", "7")) +
                            Sound("Door") + Sound("Arch")));
  const std::string other = "<?xml version=\"1.0\"?>\n<project>  <b a='1'/>\n</project>\n";
  Write("pom.xml", other);
  Write("broken.xml", "<augmentedreality version=\"1\"><targets>\n<<<<<<< ours\n");
  Write("hand.xml", kHandEdited);
  const artest::Result added = git("git add . && git commit -qm base");
  ASSERT_EQ(added.status, 0) << added.err;
  EXPECT_EQ(added.err.find("pom.xml"), std::string::npos) << added.err;
  EXPECT_EQ(git("git show HEAD:t.xml").out, Shell("\"$A\" fmt - <t.xml").out) << "staged canonical";
  EXPECT_EQ(git("git show HEAD:pom.xml").out, other) << "other XML passes the filter unchanged";
  EXPECT_EQ(git("git show HEAD:broken.xml").out, Read("broken.xml"));
  const artest::Result ci = Run("fmt hand.xml t.xml && \"$A\" fmt --check pom.xml hand.xml t.xml");
  EXPECT_EQ(ci.status, 0) << ci.err;
  EXPECT_NE(ci.out.find("pom.xml: note ART102: not a target file"), std::string::npos) << ci.out;
  EXPECT_EQ(git("git add -A && git status --short").out, "") << "the filter staged the same";

  ASSERT_EQ(git("git checkout -q -b a && \"$A\" add t.xml Gate && \"$A\" set t.xml Arch --image "
                "a.png && \"$A\" set hand.xml Chart --id 3 && git commit -qam a")
                .status,
            0);
  ASSERT_EQ(git("git checkout -q main && \"$A\" add t.xml Hatch && \"$A\" set t.xml Arch --size "
                "7 7 && \"$A\" set hand.xml Banner --id 8 && git commit -qam b")
                .status,
            0);
  const artest::Result clean = git("git merge -q a -m merged");
  EXPECT_EQ(clean.status, 0) << clean.err;
  const std::string merged = Run("list --long t.xml").out;
  for (const char* wanted : {"\"Gate\"", "\"Hatch\"", "size 7 x 7  centre", "image \"a.png\""})
    EXPECT_NE(merged.find(wanted), std::string::npos) << wanted << " in\n" << merged;
  ASSERT_EQ(git("git show HEAD:hand.xml >.git/committed.xml").status, 0);
  EXPECT_EQ(Joined(Lost(".git/committed.xml")), "") << Read(".git/committed.xml");
  EXPECT_EQ(git("git status --short").out, "");
  const std::string listed = Run("list .git/committed.xml").out;
  for (const char* wanted : {"\"Banner\"  type 0  id 8", "\"Chart\"  type 0  id 3"})
    EXPECT_NE(listed.find(wanted), std::string::npos) << listed;

  ASSERT_EQ(Run("set t.xml Arch --image main.png").status, 0);
  const artest::Result diff = git("git diff --unified=0 t.xml");
  EXPECT_EQ(std::count(diff.out.begin(), diff.out.end(), '\n'), 7) << diff.out;  // 5 header lines
  EXPECT_NE(diff.out.find("+\"Arch\""), std::string::npos) << diff.out;
  ASSERT_EQ(git("git commit -qam main && git checkout -q a && \"$A\" set t.xml Arch --image "
                "other.png && git commit -qam other")
                .status,
            0);
  const artest::Result conflict = git("git merge main -m again");
  EXPECT_NE(conflict.status, 0);
  // Named as the file git merges, never as git's temporary copy of a side.
  for (const char* said : {"artargets: t.xml: conflict: \"Arch\" (id 0) image: base \"a.png\", "
                           "ours \"other.png\", theirs \"main.png\"",
                           "1 conflict; t.xml keeps our side of each"})
    EXPECT_NE(conflict.err.find(said), std::string::npos) << conflict.err;
  EXPECT_EQ(conflict.err.find(".merge_file"), std::string::npos) << conflict.err;
  EXPECT_NE(git("git status --short").out.find("UU t.xml"), std::string::npos);
  EXPECT_EQ(Run("check t.xml").status, 0) << "the conflicted file still loads";
}

}  // namespace
