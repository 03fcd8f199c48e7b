// Paths and input that are not what the tool expects, as an attacker or a careless script gives
// them: each gets one escaped line, the status the manual gives it, and no change, no hang.
#include <algorithm>
#include <csignal>

#include "ArtargetsTest.h"

namespace {

using artest::Result;

// True when `text` holds a byte that a terminal would act on or cannot show: a control
// character other than the line feed, DEL, a C1 control, or a byte that is not UTF-8.
bool HasRawControl(const std::string& text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = [&](std::size_t at) {
      return at < text.size() ? static_cast<unsigned char>(text[at]) : 0;
    };
    const unsigned char lead = byte(i);
    if ((lead < 0x20 && lead != '\n') || lead == 0x7f) return true;
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xf0 ? 4 : lead >= 0xe0 ? 3 : 2;
    if (lead >= 0x80 && (lead < 0xc2 || lead > 0xf4)) return true;
    for (std::size_t k = 1; k < length; ++k)
      if ((byte(i + k) & 0xc0) != 0x80) return true;
    if (lead == 0xc2 && byte(i + 1) < 0xa0) return true;  // U+0080 to U+009F
    i += length;
  }
  return false;
}

class HostileInputTest : public artest::ArtargetsTest {
 protected:
  void SetUp() override {
    // A test runner may have been started with the signal ignored; the tool must ignore it
    // itself.
    std::signal(SIGXFSZ, SIG_DFL);
    Write("t.xml", TargetFile(Sound("Door") + Sound("Window")));
    Shell("mkfifo fifo && ln -s loop loop && mkdir folder && truncate -s 2G huge.xml");
  }
};

TEST_F(HostileInputTest, EachGetsOneEscapedLineItsStatusAndChangesNothing) {
  struct Row {
    const char* setUp;  // shell commands before the tool runs
    const char* args;
    int status;
    const char* message;
  };
  std::string many;
  for (int i = 0; i < 41; ++i) many += Sound("Target " + std::to_string(i));
  Write("big.xml", TargetFile(many));
  ASSERT_EQ(Run("remove big.xml 'Target 40'").status, 0);  // now in the plug-in's own layout
  const std::string big = Read("big.xml");
  Write("big.json", Run("export big.xml").out);
  const Row rows[] = {
      {"ulimit -f 2;", "export big.xml -o out.json", 1, "cannot write out.json"},
      {"ulimit -f 2;", "render big.xml -o out.svg", 1, "File too large"},
      {"ulimit -f 2;", "import big.json -o new.xml", 1, "cannot write new.xml"},
      {"ulimit -f 2;", "add big.xml More", 1, "File too large; the previous file is unchanged"},
      {"", "add loop A", 1, "cannot load loop: Too many levels of symbolic links"},
      {"", "import big.json -o loop", 1, "cannot lock loop"},
      {"", "export t.xml -o loop", 1, "cannot write loop"},
      {"", "import folder -o new.xml", 1, "cannot read folder: it is a folder, not a regular"},
      {"(cat t.xml >fifo &);", "list fifo", 0, ""},  // read as cat reads it
      {"", "add fifo A", 1, "cannot load fifo: it is a FIFO"},
      {"(echo '[]' >fifo &);", "import fifo -o -", 0, ""},
      {"", "import big.json -o fifo", 1, "will not write a target file to fifo: it is a FIFO"},
      {"", "export t.xml -o fifo", 1, "will not write JSON to fifo: it is a FIFO"},
      {"", "import /dev/zero -o new.xml", 1, "cannot read /dev/zero: it is a device"},
      {"", "list huge.xml", 1, "huge.xml: it holds 2147483648 bytes, more than the 1073741824"},
      {"truncate -s 2G huge.json;", "import huge.json -o new.xml", 1, "it holds 2147483648 bytes"},
      {"", "list \"$(printf 'x\\033[31m.xml')\"", 1, "cannot load x\\u001b[31m.xml: No such"},
      {"", "list t.xml \"$(printf -- '--\\033[2J')\"", 2, "--\\u001b[2J"},
      {"printf '[{\"\\\\u001b]0;\": 1}]' >k.json;", "import k.json -o new.xml", 2,
       "unknown key \"\\u001b]0;\""},
      {"printf '[{\"name\": \"\\377\"}]' >k.json;", "import k.json -o new.xml", 1,
       "k.json: not JSON: "},
      {"printf '[{\"a\\\\u0000b\": 1}]' >k.json;", "import k.json -o new.xml", 2,
       "unknown key \"a\\u0000b\""},
      {"sed 's/\"id\": 0/\"id\": 99999999999999999999999/' big.json >k.json;",
       "import k.json -o new.xml", 2, "target 1: id: 9.999999999999999e+22 is out of range"},
      {"printf '[{\"name\": \"a\", \"name\": \"b\"}]' >k.json;", "import k.json -o new.xml", 2,
       "target 1: the key \"name\" is given twice"},
  };
  const std::string kept = Read("t.xml");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.args);
    const Result r = Shell(std::string(row.setUp) + " timeout 20 \"$A\" " + row.args);
    EXPECT_EQ(r.status, row.status);
    EXPECT_NE(r.err.find(row.message), std::string::npos) << r.err;
    EXPECT_LE(std::count(r.err.begin(), r.err.end(), '\n'), 2) << "a line and a hint: " << r.err;
    EXPECT_FALSE(HasRawControl(r.err)) << r.err;
    EXPECT_EQ(Read("t.xml"), kept);
    EXPECT_EQ(Read("big.xml"), big);
    EXPECT_EQ(Shell("ls -A | grep -v -e '^out.txt' -e '^err.txt' -e '^k.json' -e '^huge.json'").out,
              "big.json\nbig.xml\nfifo\nfolder\nhuge.xml\nloop\nt.xml\n")
        << "nothing written, nothing left behind";
    EXPECT_EQ(Shell("test -L loop && test -p fifo").status, 0);
  }
}

// Every command, fed each hostile text where it takes a name, a path, an option or a file's
// content, prints nothing a terminal would act on.
TEST_F(HostileInputTest, NoCommandPrintsARawControlByte) {
  // Escape, C1 control, delete, bell and line break in valid UTF-8; then bytes that are not
  // UTF-8, apart, since a reader that refuses them would not show the others.
  const std::pair<const char*, const char*> texts[] = {
      // as written, as bytes
      {"\\033[31m\\302\\233\\177a\\007\\nb", "\033[31m\302\233\177a\007\nb"},
      {"\\377\\376", "\377\376"}};
  const char* commands[] = {
      "add t.xml \"$H\" --image \"$H\" --shape \"$H\"",
      "list t.xml",
      "list t.xml --json",
      "check t.xml --images",
      "check t.xml --json",
      "diff t.xml u.xml",
      "set t.xml \"$H\" --all --name \"$H$H\"",
      "remove t.xml \"$H\"",
      "list \"$H\"",
      "check \"$H\" --json",
      "check t.xml --images --format sarif",
      "check t.xml \"$H\" --format junit",
      "report t.xml -o \"$H\"",
      "export \"$H\"",
      "import \"$H\" -o x.xml",
      "diff t.xml \"$H\"",
      "render \"$H\" -o x.svg",
      "set t.xml Door --type \"$H\"",
      "list t.xml \"--$H\"",
      "\"$H\" t.xml",
      "--plugin \"$H\" list t.xml",
  };
  for (const auto& [written, bytes] : texts) {
    Write("t.xml", TargetFile(Sound("Door")));
    Write("u.xml", TargetFile(""));
    for (const char* command : commands) {
      SCOPED_TRACE(std::string(written) + ": " + command);
      std::string line = command;
      for (auto at = line.find("$H"); at != std::string::npos; at = line.find("$H", at))
        line.replace(at, 2, bytes);
      const Result r = Run(line);
      EXPECT_FALSE(HasRawControl(r.out)) << r.out;
      EXPECT_FALSE(HasRawControl(r.err)) << r.err;
    }
  }
}

}  // namespace
