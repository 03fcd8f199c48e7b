// What the tool says about itself and about wrong usage: typed placeholders and examples in
// every --help, and the argument parser's complaints in the tool's own style.
#include <cctype>
#include <regex>

#include "ArtargetsTest.h"

namespace {

using artest::ArtargetsTest;
using artest::Result;

TEST_F(ArtargetsTest, EveryHelpShowsTypedPlaceholdersAndExamples) {
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
  };
  const std::regex parserTypes(R"(\b(TEXT|INT|UINT|FLOAT|REQUIRED|Needs|Excludes)\b)");
  const std::regex example(R"(\n  artargets \S)");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.command);
    const Result r = Run(std::string(row.command) + " --help");
    EXPECT_EQ(r.status, 0);
    EXPECT_FALSE(std::regex_search(r.out, parserTypes)) << r.out;
    for (const char* shown : row.shown) EXPECT_NE(r.out.find(shown), std::string::npos) << r.out;
    const std::string examples = r.out.substr(r.out.find("Examples:"));
    EXPECT_GE(std::distance(std::sregex_iterator(examples.begin(), examples.end(), example),
                            std::sregex_iterator()),
              2)
        << r.out;
  }
  EXPECT_FALSE(std::regex_search(Run("--help").out, parserTypes));
}

// Every usage error is one lower-case line naming what is wrong, then the hint.
TEST_F(ArtargetsTest, UsageErrorsSpeakInTheToolsOwnStyle) {
  Write("t.xml", TargetFile(Sound("Door")));
  struct Row {
    const char* args;
    const char* line;  // the whole first line of standard error
  };
  const Row rows[] = {
      {"lst t.xml", "unknown command \"lst\" (did you mean \"list\"?)"},
      {"imprt a -o b", "unknown command \"imprt\" (did you mean \"import\"?)"},
      {"frobnicate t.xml", "unknown command \"frobnicate\""},
      {"", "no command given"},
      {"add t.xml", "NAME is missing"},
      {"add t.xml A --size 1", "--size takes 2 values, 1 given"},
      {"list t.xml extra", "unexpected argument: \"extra\""},
      {"check t.xml --images --fail-below 200",
       "--fail-below: \"200\" is not a number from 0 to 100"},
      {"check t.xml --fail-below 5", "--fail-below is only for use with --images"},
      {"diff --json --stat t.xml t.xml", "--json cannot be used with --stat"},
      {"import --id in -o t.xml", "--id is only for use with --update"},
      {"render t.xml", "--output is missing"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.args);
    const Result r = Run(row.args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')), std::string("artargets: ") + row.line);
    EXPECT_NE(r.err.find("\nRun 'artargets --help'"), std::string::npos) << r.err;
  }
}

}  // namespace
