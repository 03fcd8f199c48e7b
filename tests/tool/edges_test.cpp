// The tool never destroys what it did not make: every way a command could lose a file, or the
// bytes of one, run against a folder whose every file is compared byte for byte before and
// after; pipes read as cat reads them; git's conflict markers named where they are; and every
// example of every --help run as written.
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "ArtargetsTest.h"
#include "ConflictMarkers.h"

namespace {

namespace fs = std::filesystem;
using artest::Result;

// Every entry under a folder: a file's bytes, a link's target, a folder, a FIFO.
using FolderState = std::map<std::string, std::string>;

FolderState StateOf(const fs::path& root, const std::set<std::string>& ignored) {
  FolderState state;
  for (auto walk = fs::recursive_directory_iterator(root); walk != fs::end(walk); ++walk) {
    const std::string name = fs::relative(walk->path(), root).string();
    if (ignored.count(name)) {
      if (walk->is_directory()) walk.disable_recursion_pending();
      continue;
    }
    const fs::file_status status = walk->symlink_status();
    if (fs::is_symlink(status))
      state[name] = "link to " + fs::read_symlink(walk->path()).string();
    else if (fs::is_regular_file(status))
      state[name] = "file " + artest::ReadFile(walk->path().string());
    else
      state[name] = fs::is_directory(status) ? "folder" : "other";
  }
  return state;
}

class EdgesTest : public artest::ArtargetsTest {
 protected:
  // What the commands' own output files and rating cache are: not the folder's content.
  const std::set<std::string> kOwnFiles = {"out.txt", "err.txt", "cache"};

  // The folder emptied and filled again: target files, JSON, a note, then `setup` (a shell line).
  void Fresh(const std::string& setup) {
    for (const auto& entry : fs::directory_iterator(dir_.path())) fs::remove_all(entry.path());
    Write("good.xml", TargetFile(Sound("Door") + Sound("Window")));
    Write("notes.md", "a note nobody may lose\n");
    std::string twelve = "[";
    for (int i = 1; i <= 12; ++i)
      twelve += (i > 1 ? "," : "") + std::string("{\"name\":\"T") + std::to_string(i) + "\"}";
    Write("twelve.json", twelve + "]");
    ASSERT_EQ(Shell("\"$A\" import twelve.json -o wipe.xml && \"$A\" export good.xml -o "
                    "gallery.json && cp good.xml base.xml && cp good.xml ours.xml && cp good.xml "
                    "theirs.xml && " +
                    (*setup.c_str() ? setup : "true"))
                  .status,
              0)
        << setup;
  }
};

// A command row: after `setup`, `command` exits `status` saying `err`, and of the folder only
// the paths in `changes` (and what is under them) differ.
struct LossRow {
  const char* what;     // the way to lose data that the row closes
  const char* setup;    // shell, after the common files
  const char* command;  // shell; "$A" is the tool
  int status;
  const char* err;
  std::set<std::string> changes;
};

bool Changeable(const std::string& path, const std::set<std::string>& changes) {
  for (const std::string& c : changes)
    if (path == c || path.starts_with(c + "/")) return true;
  return false;
}

TEST_F(EdgesTest, NoCommandLosesAByteItDidNotMake) {
  const LossRow rows[] = {
      {"report into the folder of its input, with images and a note",
       "mkdir dottest && cp "
       "good.xml notes.md dottest && printf png >dottest/door.png",
       "\"$A\" report dottest/good.xml -o dottest",
       1,
       "dottest/door.png is there, and dottest is not a report artargets wrote",
       {}},
      {"report into a folder with other files",
       "mkdir -p site/sub && echo n >site/notes.md && "
       "echo k >site/sub/keep.txt",
       "\"$A\" report good.xml -o site",
       1,
       "site/notes.md is there",
       {}},
      {"report into a tree of empty folders",
       "mkdir -p site/sub/deeper",
       "\"$A\" report good.xml -o site",
       1,
       "site/sub is there",
       {}},
      {"report into an earlier report someone added to",
       "\"$A\" report good.xml -o rep >/dev/null && mkdir rep/mine && echo x >rep/mine/x",
       "\"$A\" report good.xml -o rep",
       1,
       "rep/mine is there, and rep is an earlier report",
       {}},
      {"report into a folder with a forged marker",
       "mkdir rep && printf 'my list\\nindex.html\\n' >rep/.artargets-report && echo m "
       ">rep/index.html",
       "\"$A\" report good.xml -o rep",
       1,
       "rep/.artargets-report is there",
       {}},
      {"report over a target file",
       "",
       "\"$A\" report good.xml -o ours.xml",
       1,
       "it is a target file, not a folder",
       {}},
      {"report through a link to a folder",
       "mkdir real && ln -s real linked",
       "\"$A\" report good.xml -o linked",
       1,
       "it is a link, not a folder",
       {}},
      {"report to standard output", "", "\"$A\" report good.xml -o -", 2, "-o - names none", {}},
      {"report into an empty folder",
       "mkdir empty",
       "\"$A\" report good.xml -o empty",
       0,
       "",
       {"empty"}},
      {"report over an earlier report",
       "\"$A\" report wipe.xml -o rep >/dev/null",
       "\"$A\" report good.xml -o rep && test ! -e rep/../.rep-* && grep -q Window "
       "rep/index.html",
       0,
       "",
       {"rep"}},
      {"export over its input",
       "",
       "\"$A\" export good.xml -o good.xml",
       1,
       "will not write JSON to good.xml: it is a file the command reads",
       {}},
      {"export over its input through a link",
       "ln -s good.xml link.json",
       "\"$A\" export good.xml -o link.json",
       1,
       "it is good.xml, a file the command reads",
       {}},
      {"export over its input through a hard link",
       "ln good.xml hard.json",
       "\"$A\" export good.xml -o hard.json",
       1,
       "a file the command reads",
       {}},
      {"export over another target file",
       "",
       "\"$A\" export good.xml -o wipe.xml",
       1,
       "it is a target file",
       {}},
      {"export over a FIFO, never waiting on it",
       "mkfifo pipe",
       "\"$A\" export good.xml -o pipe",
       1,
       "it is a FIFO",
       {}},
      {"export over earlier JSON",
       "",
       "\"$A\" export wipe.xml -o gallery.json",
       0,
       "",
       {"gallery.json"}},
      {"render over its input",
       "",
       "\"$A\" render good.xml -o good.xml",
       1,
       "will not write SVG to good.xml: it is a file the command reads",
       {}},
      {"render over another target file",
       "",
       "\"$A\" render good.xml -o wipe.xml",
       1,
       "it is a target file",
       {}},
      {"render over a folder",
       "mkdir pictures",
       "\"$A\" render good.xml -o pictures",
       1,
       "it is a folder",
       {}},
      {"merge onto JSON",
       "",
       "\"$A\" merge base.xml ours.xml theirs.xml -o gallery.json",
       1,
       "gallery.json is not a target file the plug-in loads",
       {}},
      {"merge onto its base",
       "",
       "\"$A\" merge base.xml ours.xml theirs.xml -o base.xml",
       1,
       "a file the command reads",
       {}},
      {"merge into a FIFO in place",
       "mkfifo pipe && cp good.xml pipe.xml",
       "\"$A\" merge base.xml pipe theirs.xml",
       1,
       "it is a FIFO",
       {}},
      {"merge: two documents on standard output",
       "",
       "\"$A\" merge base.xml ours.xml theirs.xml -o - --json",
       2,
       "-o - and --json would both write to standard output",
       {}},
      {"merge in place", "", "\"$A\" merge base.xml ours.xml theirs.xml", 0, "", {"ours.xml"}},
      {"import without --update onto 12 targets",
       "",
       "echo '[{\"name\":\"T1\",\"width\":0.8}]' | \"$A\" import - -o wipe.xml",
       1,
       "would replace the 12 targets of wipe.xml with 1, losing 11",
       {}},
      {"import onto a target of a repeated name",
       "",
       "echo '[{\"name\":\"T1\"},{\"name\":\"T1\"}]' | \"$A\" import - -o wipe.xml",
       1,
       "losing 11",
       {}},
      {"import over its own JSON",
       "",
       "\"$A\" import gallery.json -o gallery.json",
       1,
       "a file the command reads",
       {}},
      {"import over a note",
       "",
       "\"$A\" import gallery.json -o notes.md",
       1,
       "notes.md is not a target file the plug-in loads",
       {}},
      {"import replacing on purpose",
       "",
       "echo '[{\"name\":\"T1\"}]' | \"$A\" import --replace - -o wipe.xml",
       0,
       "",
       {"wipe.xml"}},
      {"import keeping every name", "", "\"$A\" import twelve.json -o wipe.xml", 0, "", {}},
      {"fmt: two documents on standard output",
       "",
       "\"$A\" fmt - - <good.xml",
       2,
       "give - once",
       {}},
      {"an edit of a FIFO, never waiting on it",
       "mkfifo pipe",
       "\"$A\" set pipe Door --id 1",
       1,
       "it is a FIFO",
       {}},
      {"fmt of a FIFO, never waiting on it",
       "mkfifo pipe",
       "\"$A\" fmt pipe",
       2,
       "it is a FIFO",
       {}},
      {"a file with conflict markers",
       "printf '<<<<<<< HEAD\\n' >>ours.xml",
       "\"$A\" set ours.xml Door --id 3",
       1,
       "it holds git conflict markers",
       {}},
  };
  for (const LossRow& row : rows) {
    SCOPED_TRACE(row.what);
    Fresh(row.setup);
    const FolderState before = StateOf(dir_.path(), kOwnFiles);
    const Result r = Shell(row.command);
    EXPECT_EQ(r.status, row.status) << r.err;
    EXPECT_NE(r.err.find(row.err), std::string::npos) << r.err;
    const FolderState after = StateOf(dir_.path(), kOwnFiles);
    std::set<std::string> paths;
    for (const auto* state : {&before, &after})
      for (const auto& [path, content] : *state) paths.insert(path);
    for (const std::string& path : paths)
      if (!Changeable(path, row.changes)) {
        EXPECT_EQ(before.count(path), after.count(path)) << path << " came or went";
        if (before.count(path) && after.count(path)) {
          EXPECT_TRUE(before.at(path) == after.at(path)) << path << " changed";
        }
      }
  }
}

// Read-only commands read a pipe as cat does, once; an edit refuses one before it waits.
TEST_F(EdgesTest, ReadOnlyCommandsReadPipesAndEditsRefuseThem) {
  struct Row {
    const char* command;  // run by bash, for its process substitution
    int status;
    const char* out;
    const char* err;
  };
  const Row rows[] = {
      {"\"$A\" diff <(cat old.xml) new.xml", 1, "\"Window\"", ""},
      {"\"$A\" diff <(cat new.xml) <(cat new.xml)", 0, "", ""},
      {"\"$A\" list <(cat new.xml)", 0, "\"Window\"", ""},
      {"\"$A\" list --json <(cat new.xml)", 0, "\"Window\"", ""},
      {"\"$A\" check <(cat new.xml)", 0, "loads, 2 targets", ""},
      {"\"$A\" check --format sarif <(cat new.xml)", 0, "\"startLine\"", ""},
      {"\"$A\" export <(cat new.xml)", 0, "\"Window\"", ""},
      {"\"$A\" render <(cat new.xml) -o -", 0, "<svg", ""},
      {"\"$A\" report <(cat new.xml) -o rep && grep -c Window rep/index.html", 0, "1", ""},
      {"\"$A\" fmt --check <(cat new.xml)", 0, "", ""},
      {"\"$A\" fmt --check - <old.xml", 0, "", ""},
      {"\"$A\" import <(\"$A\" export new.xml) -o made.xml && \"$A\" list made.xml", 0,
       "\"Window\"", ""},
      {"\"$A\" merge <(cat old.xml) <(cat new.xml) new.xml -o merged.xml", 0, "", ""},
      {"mkfifo named && { cat new.xml >named & } && \"$A\" list named", 0, "\"Window\"", ""},
      {"\"$A\" set <(cat new.xml) Door --id 3", 1, "", "it is a FIFO"},
      {"\"$A\" add <(cat new.xml) Gate", 1, "", "it is a FIFO"},
      {"\"$A\" fmt <(cat new.xml)", 2, "", "it is a FIFO"},
  };
  Write("old.xml", TargetFile(Sound("Door")));
  ASSERT_EQ(Run("fmt old.xml").status, 0);
  ASSERT_EQ(Shell("cp old.xml new.xml && \"$A\" add new.xml Window").status, 0);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.command);
    const std::string quoted = std::regex_replace(row.command, std::regex("'"), "'\\''");
    const Result r =
        Shell("rm -rf rep named made.xml merged.xml; export A; bash -c '" + quoted + "'");
    EXPECT_EQ(r.status, row.status) << r.err;
    EXPECT_NE(r.out.find(row.out), std::string::npos) << r.out;
    EXPECT_NE(r.err.find(row.err), std::string::npos) << r.err;
  }
}

// The first marker's line, only at a line's start and only with a space or the line's end after.
TEST(ConflictMarkers, TheFirstMarkerLineCounts) {
  const std::pair<const char*, int> rows[] = {
      {"<a/>\n", 0},
      {"<<<<<<< HEAD\n<a/>\n=======\n<b/>\n>>>>>>> theirs\n", 1},
      {"<x>\n<a/>\n=======\n", 3},
      {"<x>\r\n=======\r\n", 2},
      {"<x>\n>>>>>>> theirs", 2},
      {"<x>\n|||||||  base\n", 2},
      {"<x>\n  <<<<<<< HEAD\n", 0},    // not at the line's start
      {"<x>\n<<<<<<<< HEAD\n", 0},     // eight
      {"<x>\n========\n", 0},          // eight
      {"<x>\n=======x\n", 0},          // not alone
      {"<x>\n<!-- ======= -->\n", 0},  // inside a line
      {"<x>\n<<<<<<<", 2},             // at the end of the text
  };
  for (const auto& [text, line] : rows)
    EXPECT_EQ(artargets::ConflictMarkerLine(text), line) << text;
}

// A file with conflict markers says so on the first marker's line, in every form check has.
TEST_F(EdgesTest, ConflictMarkersAreNamedOnTheirLine) {
  Write("t.xml", TargetFile(Sound("Door")));
  ASSERT_EQ(Shell("\"$A\" fmt t.xml && { sed -n 1,3p t.xml; echo '<<<<<<< HEAD'; sed -n 4,5p "
                  "t.xml; echo =======; echo '>>>>>>> theirs'; sed '1,5d' t.xml; } >c.xml && "
                  "grep -n '^<<<<<<<' c.xml")
                .out,
            "4:<<<<<<< HEAD\n");
  const struct {
    const char* args;
    const char* out;
    const char* err;
  } rows[] = {
      {"list c.xml", "", "cannot load c.xml: it holds git conflict markers (the first at line 4)"},
      {"list c.xml", "", "'git checkout --ours c.xml' or 'git checkout --theirs c.xml'"},
      {"check c.xml", "", "the first at line 4"},
      {"check --format sarif c.xml", "\"startLine\": 4", ""},
      {"check --format json c.xml", "\"line\": 4,", ""},
      {"check --format junit c.xml", "conflict markers (the first at line 4)", ""},
      {"merge t.xml c.xml t.xml --path hall.xml", "",
       "cannot load our side of hall.xml: it holds git conflict markers"},
      {"merge t.xml c.xml t.xml --path hall.xml", "", "'git checkout --ours hall.xml'"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.args);
    const Result r = Run(row.args);
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.out.find(row.out), std::string::npos) << r.out;
    EXPECT_NE(r.err.find(row.err), std::string::npos) << r.err;
  }
}

// Git's merge driver names the file it merges, never git's temporary copy of a side.
TEST_F(EdgesTest, TheMergeDriverNamesTheFileGitMerges) {
  const auto git = [&](const std::string& command) { return Shell(kOwnGit + command); };
  Write("hall.xml", TargetFile(Sound("Arch")));
  ASSERT_EQ(git("git init -q -b main && \"$A\" git-setup '*.xml' >/dev/null && git add . && git "
                "commit -qm base && git checkout -q -b a && \"$A\" set hall.xml Arch --image "
                "a.png && git commit -qam a && git checkout -q main && \"$A\" set hall.xml Arch "
                "--image b.png && git commit -qam b")
                .status,
            0);
  const Result merged = git("git merge a -m merged");
  EXPECT_NE(merged.status, 0);
  EXPECT_NE(merged.err.find("artargets: hall.xml: conflict: \"Arch\""), std::string::npos)
      << merged.err;
  EXPECT_NE(merged.err.find("1 conflict; hall.xml keeps our side"), std::string::npos)
      << merged.err;
  EXPECT_EQ(merged.err.find(".merge_file"), std::string::npos) << merged.err;
}

}  // namespace
