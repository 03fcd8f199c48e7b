// What the tool says about itself and about wrong usage: typed placeholders and examples in
// every --help, the argument parser's complaints in the tool's own style, explain's texts, and
// did-you-mean.
#include <cctype>
#include <regex>

#include "ArtargetsTest.h"
#include "checks/FindingCodes.h"
#include "support/NearestWord.h"

namespace {

using artest::ArtargetsTest;
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

}  // namespace
