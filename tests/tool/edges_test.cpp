// The tool never destroys what it did not make: each way a command could lose a file or its
// bytes, run on a folder whose every entry is compared byte for byte before and after; pipes read
// as cat reads them; git's conflict markers named where they stand. Standard input and output as
// files: "-" read wherever a command reads a target file or JSON, "-" written wherever -o writes.
#include <filesystem>
#include <map>
#include <regex>

#include "ArtargetsTest.h"
#include "targets/ConflictMarkers.h"

namespace {

namespace fs = std::filesystem;
using artest::Result;

// Every entry under `root` but a run's own output and rating cache: a file's bytes, a link's
// target, or what it is.
std::map<std::string, std::string> StateOf(const fs::path& root) {
  std::map<std::string, std::string> state;
  for (auto walk = fs::recursive_directory_iterator(root); walk != fs::end(walk); ++walk) {
    const std::string name = fs::relative(walk->path(), root).string();
    const fs::file_status status = walk->symlink_status();
    if (name == "out.txt" || name == "err.txt" || name == "cache")
      walk.disable_recursion_pending();
    else if (fs::is_symlink(status))
      state[name] = "link to " + fs::read_symlink(walk->path()).string();
    else if (fs::is_regular_file(status))
      state[name] = "bytes " + artest::ReadFile(walk->path().string());
    else
      state[name] = fs::is_directory(status) ? "folder" : "other";
  }
  return state;
}

class EdgesTest : public artest::ArtargetsTest {
 protected:
  // The folder emptied and filled again (target files, JSON, a note), then `setup` run in it.
  // The files the tool makes are made once and copied after.
  void Fresh(const std::string& setup) {
    for (const auto& entry : fs::directory_iterator(dir_.path())) fs::remove_all(entry.path());
    Write("good.xml", TargetFile(Sound("Door") + Sound("Window")));
    Write("notes.md", "a note nobody may lose\n");
    Write("twelve.json",
          "[{\"name\":\"T1\"},{\"name\":\"T2\"},{\"name\":\"T3\"},{\"name\":\"T4\"},"
          "{\"name\":\"T5\"},{\"name\":\"T6\"},{\"name\":\"T7\"},{\"name\":\"T8\"},"
          "{\"name\":\"T9\"},{\"name\":\"T10\"},{\"name\":\"T11\"},{\"name\":\"T12\"}]");
    if (wipe_.empty()) {
      ASSERT_EQ(
          Shell("\"$A\" import twelve.json -o wipe.xml && \"$A\" export good.xml -o gallery.json")
              .status,
          0);
      wipe_ = Read("wipe.xml");
      gallery_ = Read("gallery.json");
    }
    Write("wipe.xml", wipe_);
    Write("gallery.json", gallery_);
    ASSERT_EQ(Shell("cp good.xml base.xml && cp good.xml ours.xml && cp good.xml theirs.xml; " +
                    setup + (setup.empty() ? "true" : ""))
                  .status,
              0);
  }
  std::string wipe_, gallery_;
};

TEST_F(EdgesTest, NoCommandLosesAByteItDidNotMake) {
  const struct {
    const char *setup, *command;  // shell lines; "$A" is the tool
    int status;
    const char* err;
    std::string changes;  // the one path (with what is under it) that may change; "" none
  } rows[] = {
      {"mkdir d && cp good.xml notes.md d && echo png >d/door.png", "report d/good.xml -o d", 1,
       "d/door.png is there, and d is not a report artargets wrote", ""},
      {"mkdir -p s/sub && echo n >s/notes.md && echo k >s/sub/keep.txt", "report good.xml -o s", 1,
       "s/notes.md is there", ""},
      {"mkdir -p s/sub/deeper", "report good.xml -o s", 1, "s/sub is there", ""},
      {"\"$A\" report good.xml -o r >/dev/null && mkdir r/mine", "report good.xml -o r", 1,
       "r/mine is there, and r is an earlier report", ""},
      {"mkdir r && printf 'mine\\nindex.html\\n' >r/.artargets-report && echo m >r/index.html",
       "report good.xml -o r", 1, "r/.artargets-report is there", ""},
      {"\"$A\" report good.xml -o r >/dev/null && echo ../notes.md >>r/.artargets-report",
       "report good.xml -o r", 1, "r/.artargets-report is there", ""},
      {"", "report good.xml -o ours.xml", 1, "it is a target file, not a folder", ""},
      {"mkdir real && ln -s real linked", "report good.xml -o linked", 1, "it is a link", ""},
      {"", "report good.xml -o -", 2, "-o - names none", ""},
      {"mkdir empty", "report good.xml -o empty", 0, "", "empty"},
      {"\"$A\" report wipe.xml -o r >/dev/null", "report good.xml -o r/", 0, "", "r"},
      {"\"$A\" report wipe.xml -o r >/dev/null", "report good.xml -o r && grep -q Window r/*.html",
       0, "", "r"},
      {"", "export good.xml -o good.xml", 1, "JSON to good.xml: it is a file the command reads",
       ""},
      {"ln -s good.xml l.json", "export good.xml -o l.json", 1, "it is good.xml, a file the", ""},
      {"ln good.xml h.json", "export good.xml -o h.json", 1, "it is good.xml, a file the", ""},
      {"", "export good.xml -o wipe.xml", 1, "it is a target file", ""},
      {"", "export wipe.xml -o gallery.json", 0, "", "gallery.json"},
      {"", "export good.xml -o notes.md", 1, "JSON to notes.md: it is not JSON", ""},
      {"", "render good.xml -o notes.md", 1, "SVG to notes.md: it is not SVG", ""},
      {"\"$A\" render wipe.xml -o w.svg", "render good.xml -o w.svg", 0, "", "w.svg"},
      {"", "render good.xml -o good.xml", 1, "SVG to good.xml: it is a file the command reads", ""},
      {"", "render good.xml -o wipe.xml", 1, "it is a target file", ""},
      {"mkdir m", "render good.xml -o m", 1, "it is a folder", ""},
      {"", "merge base.xml ours.xml theirs.xml -o gallery.json", 1,
       "gallery.json is not a target file the plug-in loads", ""},
      {"", "merge base.xml ours.xml theirs.xml -o base.xml", 1, "a file the command reads", ""},
      {"mkfifo p", "merge base.xml p theirs.xml", 1, "it is a FIFO", ""},
      {"", "merge base.xml ours.xml theirs.xml -o - --json", 2, "would both write to standard", ""},
      {"", "merge base.xml ours.xml theirs.xml", 0, "", "ours.xml"},
      {"echo '[{\"name\":\"T1\",\"width\":0.8}]' >one.json", "import one.json -o wipe.xml", 1,
       "would replace the 12 targets of wipe.xml with 1, losing 11", ""},
      {"echo '[{\"name\":\"T1\"},{\"name\":\"T1\"}]' >two.json", "import two.json -o wipe.xml", 1,
       "losing 11", ""},
      {"", "import gallery.json -o gallery.json", 1, "a file the command reads", ""},
      {"", "import gallery.json -o notes.md", 1, "notes.md is not a target file", ""},
      {"echo '[{\"name\":\"T1\"}]' >one.json", "import --replace one.json -o wipe.xml", 0, "",
       "wipe.xml"},
      {"", "import twelve.json -o wipe.xml", 0, "", ""},
      {"", "fmt - - <good.xml", 2, "give - once", ""},
      {"mkfifo p", "set p Door --id 1", 1, "it is a FIFO", ""},  // refused, never waiting
      {"mkfifo p", "fmt p", 2, "it is a FIFO", ""},
      {"echo '<<<<<<< HEAD' >>ours.xml", "set ours.xml Door --id 3", 1, "git conflict markers", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.command);
    Fresh(row.setup);
    auto before = StateOf(dir_.path());
    const Result r = Run(row.command);
    EXPECT_EQ(r.status, row.status) << r.err;
    EXPECT_NE(r.err.find(row.err), std::string::npos) << r.err;
    auto after = StateOf(dir_.path());
    const auto changeable = [&](const auto& entry) {
      return !row.changes.empty() && entry.first.starts_with(row.changes);
    };
    std::erase_if(before, changeable);
    std::erase_if(after, changeable);
    EXPECT_EQ(before, after);
  }
}

// Read-only commands read a pipe as cat does, once; an edit refuses one before it waits.
TEST_F(EdgesTest, ReadOnlyCommandsReadPipesAndEditsRefuseThem) {
  Write("old.xml", TargetFile(Sound("Door")));
  ASSERT_EQ(Shell("\"$A\" fmt old.xml && cp old.xml new.xml && \"$A\" add new.xml Window").status,
            0);
  const std::tuple<const char*, int, const char*> rows[] = {
      // bash; status; said
      {"\"$A\" diff <(cat old.xml) new.xml", 1, "+ \"Window\""},
      {"\"$A\" diff <(cat new.xml) <(cat new.xml)", 0, ""},
      {"\"$A\" list --json <(cat new.xml)", 0, "\"Window\""},
      {"\"$A\" check <(cat new.xml)", 0, "loads, 2 targets"},
      {"\"$A\" check --format sarif <(cat new.xml)", 0, "\"startLine\": "},
      {"\"$A\" export <(cat new.xml)", 0, "\"Window\""},
      {"\"$A\" render <(cat new.xml) -o -", 0, "<svg"},
      {"\"$A\" report <(cat new.xml) -o r && grep -c Window r/index.html", 0, "1"},
      {"\"$A\" fmt --check <(cat new.xml) - <old.xml", 0, ""},
      {"\"$A\" import <(\"$A\" export new.xml) -o - | grep -c artarget\\\"", 0, "2"},
      {"\"$A\" merge <(cat old.xml) <(cat new.xml) new.xml -o - | grep -c artarget\\\"", 0, "2"},
      {"mkfifo n && { cat new.xml >n & } && \"$A\" list n", 0, "\"Window\""},
      {"\"$A\" set <(cat new.xml) Door --id 3", 1, "it is a FIFO"},
      {"\"$A\" fmt <(cat new.xml)", 2, "it is a FIFO"},
      {"\"$A\" set new.xml Window --image w.png && \"$A\" check --images <(cat new.xml)", 1,
       "\"w.png\" is missing (\"./w.png\")"},  // a pipe's images are found from here
  };
  for (const auto& [command, status, said] : rows) {
    SCOPED_TRACE(command);
    const std::string quoted = std::regex_replace(command, std::regex("'"), "'\\''");
    const Result r = Shell("rm -rf r n; export A; bash -c '" + quoted + "'");
    EXPECT_EQ(r.status, status) << r.err;
    EXPECT_NE((r.out + r.err).find(said), std::string::npos) << r.out << r.err;
  }
}

// The first marker's line: seven of a kind at a line's start, then a space or the line's end.
TEST(ConflictMarkers, TheFirstMarkerLineCounts) {
  const std::pair<const char*, int> rows[] = {
      {"<a/>\n", 0},
      {"<<<<<<< HEAD\n<a/>\n=======\n", 1},
      {"<x>\n<a/>\n=======\n", 3},
      {"<x>\r\n=======\r\n", 2},
      {"<x>\n>>>>>>> theirs", 2},
      {"<x>\n||||||| base\n", 2},
      {"<x>\n<<<<<<<", 2},
      {"<x>\n  <<<<<<< HEAD\n", 0},
      {"<x>\n<<<<<<<< HEAD\n", 0},
      {"<x>\n=======x\n", 0},
      {"<x>\n<!-- ======= -->\n", 0},
  };
  for (const auto& [text, line] : rows)
    EXPECT_EQ(artargets::ConflictMarkerLine(text), line) << text;
}

// Conflict markers are named on the first one's line in every form check has; a merge names
// the file git merges (--path), never git's temporary copy of a side.
TEST_F(EdgesTest, ConflictMarkersAreNamedOnTheirLineAndFile) {
  Write("t.xml", TargetFile(Sound("Arch")));
  ASSERT_EQ(
      Shell("\"$A\" fmt t.xml && { sed 3q t.xml; echo '<<<<<<< HEAD'; sed 1,3d t.xml; } >c.xml")
          .status,
      0);
  const std::pair<const char*, const char*> rows[] = {
      {"\"$A\" list c.xml",
       "cannot load c.xml: it holds git conflict markers (the first at line 4)"},
      {"\"$A\" list c.xml", "'git checkout --ours c.xml' or 'git checkout --theirs c.xml'"},
      {"\"$A\" check --format sarif c.xml", "\"startLine\": 4"},
      {"\"$A\" check --format json c.xml", "\"line\": 4,"},
      {"\"$A\" check --format junit c.xml", "name=\"the file\" line=\"4\""},
      {"\"$A\" merge t.xml c.xml t.xml --path hall.xml", "load our side of hall.xml: it holds git"},
      {"\"$A\" merge t.xml c.xml t.xml --path hall.xml", "'git checkout --ours hall.xml'"},
  };
  for (const auto& [command, said] : rows) {
    SCOPED_TRACE(command);
    const Result r = Shell(command);
    EXPECT_NE(r.status, 0);
    EXPECT_NE((r.out + r.err).find(said), std::string::npos) << r.out << r.err;
    EXPECT_EQ(r.err.find(".merge_file"), std::string::npos) << r.err;
  }
}

class StreamsTest : public artest::ArtargetsTest {
 protected:
  void SetUp() override {
    Write("t.xml", TargetFile(Sound("Door") + Sound("Window")));
    Write("u.xml", TargetFile(Sound("Door")));
  }
};

TEST_F(StreamsTest, DashReadsStandardInputAndWritesStandardOutput) {
  struct Row {
    const char* command;  // a shell pipeline; "$A" is the tool
    int status;
    const char* out;  // what standard output holds
    const char* err;  // what standard error holds ("" for nothing)
  };
  const Row rows[] = {
      {"\"$A\" list - <t.xml", 0, "\"Window\"", ""},
      {"\"$A\" export t.xml -o - | \"$A\" import - -o - | \"$A\" list -", 0, "\"Window\"", ""},
      {"echo '[{\"name\": \"Lone\"}]' | \"$A\" import - -o - | \"$A\" list -", 0,
       "\"Lone\"  type 0  id 0  size 0 x 0", ""},
      {"\"$A\" diff - t.xml <t.xml", 0, "", ""},
      {"\"$A\" diff - - <t.xml", 0, "", ""},  // read once, the same both times
      {"\"$A\" diff t.xml - <u.xml", 1, "\"Window\"", ""},
      {"\"$A\" check - <t.xml", 0, "loads, 2 targets", ""},
      {"\"$A\" render - -o - <t.xml", 0, "<svg", ""},
      {"\"$A\" merge u.xml t.xml u.xml -o - | \"$A\" list -", 0, "\"Window\"", ""},
      {"\"$A\" import --csv - -o - </dev/null", 2, "",
       "standard input: row 1: there is no header row"},
      {"echo '<a/>' | \"$A\" list -", 1, "",
       "cannot load standard input: the root element is <a>, not <augmentedreality>"},
      {"echo '<a/>' | \"$A\" check -", 1, "", "cannot load standard input: the root element"},
      {"printf 'junk' | \"$A\" diff t.xml -", 2, "", "cannot load standard input: not well-formed"},
      {"\"$A\" list - </dev/null", 1, "", "cannot load standard input: "},
      {"echo '[1]' | \"$A\" import - -o new.xml", 2, "", "standard input: target 1: not an object"},
      {"\"$A\" add - X <t.xml", 2, "", "an edit changes a file in place"},
      {"\"$A\" set - Door --id 3 <t.xml", 2, "", "an edit changes a file in place"},
      {"echo '[]' | \"$A\" import --update - -o -", 2, "", "-o - names none"},
      {"\"$A\" export t.xml -o s.json && \"$A\" import s.json -o s.xml && \"$A\" import s.json -o "
       "- | "
       "cmp - s.xml && rm s.*",  // what a save writes, byte for byte
       0, "", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.command);
    const Result r = Shell(row.command);
    EXPECT_EQ(r.status, row.status) << r.err;
    EXPECT_NE(r.out.find(row.out), std::string::npos) << r.out;
    if (*row.err == '\0') {
      EXPECT_EQ(r.err, "");
    }
    EXPECT_NE(r.err.find(row.err), std::string::npos) << r.err;
    EXPECT_EQ(Shell("ls -A | grep -v -e '^out.txt' -e '^err.txt'").out, "t.xml\nu.xml\n")
        << "no file named -, nothing left behind";
  }
}

}  // namespace
