// Every example of every command's --help runs as written, in a folder that holds the files
// the examples name, and exits as the table below says (which is what the manual documents for
// that command: diff's 1 when the files differ, check's 1 on an error). Programs that reach
// outside (a web server, a browser, an SVG converter) are stand-ins that take what they are given.
#include <filesystem>
#include <map>
#include <sstream>

#include "ArtargetsTest.h"

namespace {

using artest::Result;

// The exit status of each example; an example missing here, or a row no --help shows, fails.
const std::map<std::string, int> kExampleStatus = {
    {"artargets list hall.xml", 0},
    {"artargets list --json hall.xml | jq '.[].name'", 0},
    {"curl -s https://example.org/hall.xml | artargets list -", 0},
    {"artargets check hall.xml", 0},
    {"artargets check --images --fail-below 40 hall.xml", 1},  // the targets have no image
    {"artargets check --strict --format sarif models/ > check.sarif", 0},
    {"artargets check --units mm --format junit lab.xml > check-results.xml", 0},
    {"artargets add hall.xml Door --size 0.8 2.1 --center 1.5 0 0", 0},
    {"artargets add hall.xml Poster --type 1 --id 7 --image poster.png", 0},
    {"artargets set hall.xml Door --image door.png", 0},
    {"artargets set hall.xml --id 7 --size 0.5 0.5", 0},
    {"artargets set hall.xml --index 3 --name Window", 0},
    {"artargets remove hall.xml Door", 0},
    {"artargets remove hall.xml --id 7 --all", 0},
    {"artargets export hall.xml -o hall.json", 0},
    {"artargets export hall.xml | jq '.[] | select(.type == 1)'", 0},
    {"artargets import hall.json -o hall.xml", 0},
    {"artargets import --update --csv sizes.csv -o hall.xml", 0},
    {"jq 'map(.image = \"new.png\")' hall.json | artargets import --update - -o hall.xml", 0},
    {"artargets diff old.xml new.xml", 1},  // they differ
    {"artargets diff --stat old.xml new.xml", 1},
    {"git show HEAD:hall.xml | artargets diff - hall.xml", 0},
    {"artargets render hall.xml -o hall.svg", 0},
    {"artargets render --images hall.xml -o - | rsvg-convert -o hall.png", 0},
    {"artargets fmt hall.xml", 0},
    {"artargets fmt --check *.xml", 0},
    {"artargets fmt - <hall.xml >canonical.xml", 0},
    {"artargets merge base.xml ours.xml theirs.xml", 0},
    {"artargets merge base.xml ours.xml theirs.xml -o merged.xml --json >conflicts.json", 0},
    {"artargets git-setup '*.artargets.xml'", 0},
    {"artargets git-setup --global", 0},
    {"artargets report hall.xml -o report && chromium report/index.html", 0},
    {"artargets report --units mm models/ -o report", 0},
    {"artargets demo", 0},
    {"artargets demo | less", 0},
};

class HelpExamplesTest : public artest::ArtargetsTest {
 protected:
  // The folder every example starts from, made once: a git repository whose hall.xml is
  // committed, the files the examples name, and the stand-ins.
  void SetUp() override {
    std::filesystem::create_directory(dir_.File("template"));
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
              " printf '#!/bin/sh\\ncat >/dev/null\\n' >stubs/rsvg-convert; chmod +x stubs/*;"
              " git init -q -b main; git add hall.xml; git commit -qm hall");
    ASSERT_EQ(made.status, 0) << made.err;
  }

  // The examples of a command's --help, each as one line.
  std::vector<std::string> Examples(const std::string& command) {
    std::istringstream help(Run(command + " --help").out);
    std::vector<std::string> examples;
    bool inExamples = false;
    for (std::string line; std::getline(help, line);) {
      if (line == "Examples:")
        inExamples = true;
      else if (inExamples && line.starts_with("  "))
        examples.push_back(line.substr(2));
      else if (inExamples)
        break;
    }
    return examples;
  }

  std::vector<std::string> Commands() {
    std::istringstream help(Run("--help").out);
    std::vector<std::string> commands;
    bool inCommands = false;
    for (std::string line; std::getline(help, line);) {
      if (line == "Subcommands:")
        inCommands = true;
      else if (inCommands && line.starts_with("  "))
        commands.push_back(line.substr(2, line.find(' ', 2) - 2));
      else if (inCommands)
        break;
    }
    return commands;
  }
};

TEST_F(HelpExamplesTest, EveryExampleOfEveryHelpRunsAsWritten) {
  const std::string bin =
      std::string(ARTARGETS_PATH).substr(0, std::string(ARTARGETS_PATH).rfind('/'));
  std::map<std::string, int> unseen = kExampleStatus;
  const std::vector<std::string> commands = Commands();
  ASSERT_GE(commands.size(), 13u);
  for (const std::string& command : commands) {
    const std::vector<std::string> examples = Examples(command);
    EXPECT_FALSE(examples.empty()) << command << " --help shows no example";
    for (const std::string& example : examples) {
      SCOPED_TRACE(example);
      const auto expected = kExampleStatus.find(example);
      if (expected == kExampleStatus.end()) {
        ADD_FAILURE() << "no exit status in the table for this example";
        continue;
      }
      unseen.erase(example);
      const Result r = Shell(std::string(kOwnGit) +
                             "rm -rf run && cp -a template run && cd run && "
                             "export PATH=\"$PWD/stubs:" +
                             bin + ":$PATH\" && " + example);
      EXPECT_EQ(r.status, expected->second) << r.err;
      if (expected->second == 0) {
        EXPECT_EQ(r.err.find("artargets: "), std::string::npos) << r.err;
      }
    }
  }
  for (const auto& [example, status] : unseen) ADD_FAILURE() << "no --help shows " << example;
}

}  // namespace
