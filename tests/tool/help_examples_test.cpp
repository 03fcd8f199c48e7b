// Every example of every command's --help runs as written, in a folder that holds the files
// the examples name, and exits 0 or as the table below says (what the manual documents for that
// command: diff's 1 when the files differ, check's 1 on a failed gate). Programs that reach
// outside or wait for a person (a web server, a browser, an SVG converter, a pager) are stand-ins
// that take what they are given.
#include <filesystem>
#include <map>
#include <sstream>

#include "ArtargetsTest.h"

namespace {

namespace fs = std::filesystem;
using artest::Result;

// The examples that exit other than 0, as the commands' help and manual document it.
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
