// Standard input and output as files: "-" read wherever a command reads a target file or JSON,
// "-" written wherever -o writes, so that the tool fits pipes.
#include "ArtargetsTest.h"

namespace {

using artest::Result;

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
