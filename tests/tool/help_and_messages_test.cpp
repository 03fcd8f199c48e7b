// What the tool says about itself and about wrong usage: typed placeholders and examples in
// every --help, the argument parser's complaints in the tool's own style, explain's texts, and
// did-you-mean.
#include <cctype>
#include <filesystem>
#include <map>
#include <regex>
#include <sstream>

#include "ArtargetsTest.h"
#include "checks/FindingCodes.h"
#include "support/NearestWord.h"

namespace {

using artest::ArtargetsTest;
namespace fs = std::filesystem;
using artest::Result;

TEST_F(ArtargetsTest, EveryHelpShowsTypedPlaceholders) {
  struct Row {
    const char* command;
    std::vector<const char*> shown;  // placeholders and ranges its help must show
  };
  const Row rows[] = {
      {"list", {"FILE PATH (required)"}},
      {"check", {"--fail-below 0-100", "--root DIR"}},
      {"add", {"--size W H", "--type 0-255", "--center X Y Z", "--id ID", "-2147483648"}},
      {"set", {"--index 1-N", "--rotation NUMBER"}},
      {"remove", {"--index 1-N"}},
      {"export", {"-o,--output PATH"}},
      {"import", {"IN PATH (required)", "--id (needs --update)"}},
      {"diff", {"--json (not with --stat)"}},
      {"render", {"-o,--output PATH (required)"}},
      {"fmt", {"FILE PATH ... (required)"}},
      {"merge", {"THEIRS PATH (required)"}},
      {"git-setup", {"PATTERN GLOB ..."}},
      {"demo", {}},
      {"explain", {"CODE ARTnnn"}},
      {"list", {"--names (not with --json)"}},
  };
  const std::regex parserTypes(R"(\b(TEXT|INT|UINT|FLOAT|REQUIRED|Needs|Excludes)\b)");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.command);
    const Result r = Run(std::string(row.command) + " --help");
    EXPECT_EQ(r.status, 0);
    EXPECT_FALSE(std::regex_search(r.out, parserTypes)) << r.out;
    for (const char* shown : row.shown) EXPECT_NE(r.out.find(shown), std::string::npos) << r.out;
  }
  EXPECT_FALSE(std::regex_search(Run("--help").out, parserTypes));
}

// Every usage error is one lower-case line naming what is wrong, in the order it was typed,
// with the nearest option or command, then where to read more: the command's own help once a
// command is named.
TEST_F(ArtargetsTest, UsageMessagesSpeakInTheToolsOwnStyleAndPointToTheCommandsHelp) {
  struct Row {
    const char* args;
    const char* line;  // the whole first line of standard error
    const char* help;  // the command whose --help the second line names; "" for the tool's
  };
  const Row rows[] = {
      {"lst t.xml", "unknown command \"lst\" (did you mean \"list\"?)", ""},
      {"imprt a -o b", "unknown command \"imprt\" (did you mean \"import\"?)", ""},
      {"Explain ART201", "unknown command \"Explain\" (did you mean \"explain\"?)", ""},
      {"frobnicate t.xml", "unknown command \"frobnicate\"", ""},
      {"", "no command given", ""},
      {"add t.xml", "NAME is missing", "add"},
      {"add t.xml A --size 1", "--size takes 2 values, 1 given", "add"},
      {"set t.xml A --size 1 2 3", "--size takes 2 values, 3 given", "set"},
      {"check t.xml --format jsno",
       "--format: \"jsno\" is not one of text, json, sarif, junit (did you mean \"json\"?)",
       "check"},
      {"check t.xml --units MM",
       "--units: \"MM\" is not one of m, cm, mm, in, ft (did you mean \"mm\"?)", "check"},
      {"export t.xml --to glass -o d",
       "--to: \"glass\" is not one of arkit, arcore, unity, vuforia", "export"},
      {"add t.xml A --centre 1 2 3", "unknown option \"--centre\" (did you mean \"--center\"?)",
       "add"},
      {"set t.xml A --Image a.png", "unknown option \"--Image\" (did you mean \"--image\"?)",
       "set"},
      {"export t.xml --to=arkit --outptu x",
       "unknown option \"--outptu\" (did you mean \"--output\"?)", "export"},
      {"check t.xml --frobnicate", "unknown option \"--frobnicate\"", "check"},
      {"list t.xml extra more", "unexpected argument: \"extra more\"", "list"},
      {"list t.xml --names --json", "--json cannot be used with --names", "list"},
      {"check t.xml --images --fail-below 200",
       "--fail-below: \"200\" is not a number from 0 to 100", "check"},
      {"check t.xml --fail-below 5", "--fail-below is only for use with --images", "check"},
      {"diff --json --stat t.xml t.xml", "--json cannot be used with --stat", "diff"},
      {"import --id in -o t.xml", "--id is only for use with --update", "import"},
      {"render t.xml", "--output is missing", "render"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.args);
    const Result r = Run(row.args);
    EXPECT_EQ(r.status, 2);
    const auto end = r.err.find('\n');
    EXPECT_EQ(r.err.substr(0, end), std::string("artargets: ") + row.line);
    const std::string help = *row.help ? std::string(row.help) + " --help' for its"
                                       : std::string("--help' for the commands");
    EXPECT_EQ(r.err.substr(end + 1).find("Run 'artargets " + help), 0u) << r.err;
  }
}

// explain: a known code's four parts, the list without a code, and an unknown code with the
// nearest one and the list.
TEST_F(ArtargetsTest, ExplainSaysWhatACodeMeansOrListsThem) {
  struct Row {
    const char* args;
    int status;
    std::vector<const char*> said;  // on standard output, or on standard error for status 2
  };
  const Row rows[] = {
      {"explain ART201",
       0,
       {"ART201 (error): two type-1 targets share one id\n", "\nWhy it matters:\n  A host",
        "\nHow to fix it:\n  Give each type-1 target its own id: 'artargets set FILE --index K "
        "--id N'.\n",
        "\nExample:\n  Targets 2 and 9"}},
      {"explain ART305", 0, {"ART305 (warning): the image is too coarse", "--units mm"}},
      {"explain", 0, {"ART101  error    the file does not load\n", "\nART410  warning  a score"}},
      {"explain art201",
       2,
       {"artargets: explain: unknown code \"art201\" (did you mean \"ART201\"?); the codes are:\n",
        "\nART208  warning  a name used by several targets\n"}},
      {"explain E42", 2, {"unknown code \"E42\"; the codes are:\nART101  error "}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.args);
    const Result r = Run(row.args);
    EXPECT_EQ(r.status, row.status) << r.err;
    const std::string& said = row.status == 0 ? r.out : r.err;
    for (const char* part : row.said) EXPECT_NE(said.find(part), std::string::npos) << said;
  }
  // Every code says all four, in sentences of its own.
  for (const artargets::FindingCode& code : artargets::FindingCodes()) {
    SCOPED_TRACE(code.code);
    for (std::string_view part : {code.title, code.why, code.fix, code.example}) {
      EXPECT_GT(part.size(), 10u);
      EXPECT_EQ(part.find('\n'), std::string_view::npos);
    }
    EXPECT_NE(code.why, code.fix);
  }
}

// Did-you-mean: a slip of case or of one or two letters finds the word; a word far from all
// finds none, and short words allow only one slip.
TEST(NearestWord, FindsTheWordMeantOrNone) {
  const std::vector<std::string> known = {"width",  "height",   "id",     "name",
                                          "center", "--center", "ART201", "ART208"};
  const std::pair<const char*, const char*> rows[] = {
      {"Width", "width"},
      {"widht", "width"},
      {"--centre", "--center"},
      {"centre", "center"},
      {"art201", "ART201"},
      {"ART209", "ART201"},
      {"ix", "id"},
      {"xy", ""},
      {"colour", ""},
      {"", ""},
      {"heights", "height"},
      {"NAME", "name"},
  };
  for (const auto& [word, nearest] : rows) {
    SCOPED_TRACE(word);
    EXPECT_EQ(artargets::NearestWord(word, known), nearest);
    EXPECT_EQ(artargets::DidYouMean(word, known),
              *nearest ? std::string(" (did you mean \"") + nearest + "\"?)" : "");
  }
  EXPECT_EQ(artargets::EditDistance("kitten", "sitting"), 3u);
  EXPECT_EQ(artargets::EditDistance("ABC", "abc"), 0u);
}

// Every example of every command's --help runs as written, in a folder that holds the files
// the examples name, and exits 0 or as the table below says (what the manual documents for that
// command: diff's 1 when the files differ, check's 1 on a failed gate). Programs that reach
// outside or wait for a person (a web server, a browser, an SVG converter, a pager) are stand-ins
// that take what they are given. Below, the examples that exit other than 0, as the commands' help
// and manual document it.
const std::map<std::string, int> kNotZero = {
    {"artargets check --images --fail-below 40 hall.xml", 1},  // the targets have no image
    {"artargets diff old.xml new.xml", 1},                     // the files differ
    {"artargets diff --stat old.xml new.xml", 1},
};

class HelpExamplesTest : public artest::ArtargetsTest {
 protected:
  // The folder every example starts from, made once: a git repository whose hall.xml is
  // committed, the files the examples name, and the stand-ins.
  void SetUp() override {
    fs::create_directory(dir_.File("template"));
    Write("template/hall.xml", TargetFile(Sound("Arch") + Sound("Door") + Sound("Window")));
    Write("template/sizes.csv", "name,width,height\nDoor,0.9,2.2\n");
    const Result made =
        Shell(std::string(kOwnGit) +
              "set -e; cd template; \"$A\" fmt hall.xml;"
              " \"$A\" add hall.xml Poster --type 1 --id 7 --size 1 1 --normal 0 -1 0 --xdir 1 0 0"
              " --ydir 0 0 1; \"$A\" export hall.xml -o"
              " hall.json; cp hall.xml old.xml; cp hall.xml new.xml; \"$A\" add new.xml Gate;"
              " cp hall.xml base.xml; cp hall.xml ours.xml; cp hall.xml theirs.xml;"
              " \"$A\" set ours.xml Door --size 2 2; \"$A\" set theirs.xml Arch --image a.png;"
              " mkdir models; cp hall.xml models/; cp hall.xml lab.xml;"
              " mkdir stubs; printf '#!/bin/sh\\ncat hall.xml\\n' >stubs/curl;"
              " printf '#!/bin/sh\\ntest -s \"$1\"\\n' >stubs/chromium;"
              " printf '#!/bin/sh\\ncat >/dev/null\\n' >stubs/rsvg-convert;"
              " printf '#!/bin/sh\\ncat\\n' >stubs/less; chmod +x stubs/*;"
              " git init -q -b main; git add hall.xml; git commit -qm hall");
    ASSERT_EQ(made.status, 0) << made.err;
  }

  // The lines of the help `args` prints under `header`, each without its indent.
  std::vector<std::string> Section(const std::string& args, const std::string& header) {
    std::istringstream help(Run(args + " --help").out);
    std::vector<std::string> lines;
    bool in = false;
    for (std::string line; std::getline(help, line) && (!in || line.starts_with("  "));)
      if (in)
        lines.push_back(line.substr(2));
      else
        in = line == header;
    return lines;
  }
};

TEST_F(HelpExamplesTest, EveryExampleOfEveryHelpRunsAsWritten) {
  const std::string bin = fs::path(ARTARGETS_PATH).parent_path().string();
  std::size_t run = 0;
  for (const std::string& line : Section("", "Subcommands:")) {
    const std::string command = line.substr(0, line.find(' '));
    const std::vector<std::string> examples = Section(command, "Examples:");
    EXPECT_GE(examples.size(), 2u) << command << " --help shows fewer than two examples";
    for (const std::string& example : examples) {
      SCOPED_TRACE(example);
      ASSERT_EQ(Shell("rm -rf run && cp -a template run").status, 0);
      const auto words = example.starts_with("artargets ")
                             ? artest::WordsForHere(example.substr(10))
                             : std::nullopt;
      const Result r =
          words ? artest::RunToolHere(*words, dir_.path() / "run")
                : Shell(std::string(kOwnGit) + "cd run && export PATH=\"$PWD/stubs:" + bin +
                        ":$PATH\" && " + example);
      const auto status = kNotZero.find(example);
      EXPECT_EQ(r.status, status == kNotZero.end() ? 0 : status->second) << r.err;
      run += status != kNotZero.end() && r.status == status->second;
    }
  }
  EXPECT_EQ(run, kNotZero.size()) << "an example of the table is no longer in any --help";
}

}  // namespace
