#include "commandline/UsageMessage.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <regex>
#include <sstream>

#include "support/NearestWord.h"
#include "targets/ValueText.h"

namespace artargets {

namespace {

// The first word of the command line that is no option nor --plugin's value: the command.
std::string CommandWord(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--plugin") == 0) {
      ++i;
    } else if (argv[i][0] != '-') {
      return argv[i];
    }
  }
  return {};
}

// The parser's sentences, and how the tool says each; $1... are the parts matched, quoted
// where they are what a person typed.
struct Rewrite {
  std::regex pattern;
  std::string message;
};

const std::vector<Rewrite>& Rewrites() {
  static const std::vector<Rewrite> rewrites = {
      {std::regex("Requires at least 1 subcommands?|A subcommand is required"), "no command given"},
      {std::regex("(.+) is required"), "$1 is missing"},
      {std::regex("(.+): At (?:least|Most) (\\d+) required but received (\\d+)"),
       "$1 takes $2 values, $3 given"},
      {std::regex("(.+): (\\d+) required (.+) missing"), "$1 takes $2 values, fewer given"},
      {std::regex("Expected (exactly|at least) (\\d+) arguments to (.+), got (\\d+)"),
       "$3 takes $1 $2 values, $4 given"},
      {std::regex("The following arguments? (?:was|were) not expected: (.*)"),
       "unexpected argument: \"$1\""},
      {std::regex("(.+): Value (.*) not in range (.+) to (.+)"),
       "$1: \"$2\" is not a number from $3 to $4"},
      {std::regex("Could not convert: (.+) = (.*)"), "$1: \"$2\" is not a value it takes"},
      {std::regex("(.+) requires (.+)"), "$1 is only for use with $2"},
      {std::regex("(.+) excludes (.+)"), "$1 cannot be used with $2"},
  };
  return rewrites;
}

// `text` with its first letter in lower case: the parser's sentences start with a capital.
std::string LowerFirst(std::string text) {
  if (!text.empty()) text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
  return text;
}

// The command being parsed, or null before one is named.
const CLI::App* CommandOf(const CLI::App& app) {
  const auto parsed = app.get_subcommands();
  return parsed.empty() ? nullptr : parsed.front();
}

// Every spelling of the options `command` and the tool itself take: "--center", "-o", ...
std::vector<std::string> OptionNames(const CLI::App& app, const CLI::App* command) {
  std::vector<std::string> names;
  for (const CLI::App* owner : {&app, command}) {
    if (!owner) continue;
    for (const CLI::Option* option : owner->get_options()) {
      for (const std::string& name : option->get_lnames()) names.push_back("--" + name);
      for (const std::string& name : option->get_snames()) names.push_back("-" + name);
    }
  }
  return names;
}

// What was left over, in the order given (the parser's own sentence lists it backwards): an
// option no command takes is named alone, with the nearest one, for the values after it are
// only unexpected because of it.
std::string Unexpected(const CLI::App& app) {
  const std::vector<std::string> words = app.remaining(true);
  const auto option = std::find_if(words.begin(), words.end(), [](const std::string& w) {
    return w.size() > 1 && w[0] == '-' && !std::isdigit(static_cast<unsigned char>(w[1]));
  });
  if (option != words.end()) {
    const std::string name = option->substr(0, option->find('='));
    return "unknown option " + Quoted(name) + DidYouMean(name, OptionNames(app, CommandOf(app)));
  }
  std::string listed;
  for (const std::string& word : words) listed += (listed.empty() ? "" : " ") + word;
  return "unexpected argument: " + Quoted(listed);
}

// "--units: \"MM\" is not one of m, cm, mm, in, ft (did you mean \"mm\"?)" from the parser's
// "--units: MM not in {m,cm,mm,in,ft}"; empty for another sentence.
std::string NotAChoice(const std::string& what) {
  static const std::regex notIn("(.+): (.*) not in \\{(.*)\\}");
  std::smatch match;
  if (!std::regex_match(what, match, notIn)) return {};
  std::vector<std::string> choices;
  std::string listed;
  std::istringstream split(match[3].str());
  for (std::string choice; std::getline(split, choice, ',');) {
    choices.push_back(choice);
    listed += (listed.empty() ? "" : ", ") + choice;
  }
  return match[1].str() + ": " + Quoted(match[2].str()) + " is not one of " + listed +
         DidYouMean(match[2].str(), choices);
}

}  // namespace

std::string HelpHint(const CLI::App& app) {
  const CLI::App* command = CommandOf(app);
  if (!command)
    return "Run 'artargets --help' for the commands, or 'artargets COMMAND --help' "
           "for one of them.";
  return "Run 'artargets " + command->get_name() + " --help' for its arguments and options.";
}

std::string UsageMessage(const CLI::App& app, const CLI::ParseError& error, int argc, char** argv) {
  const std::string word = CommandWord(argc, argv);
  std::vector<std::string> commands;
  for (const CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; }))
    commands.push_back(command->get_name());
  if (!word.empty() && std::find(commands.begin(), commands.end(), word) == commands.end())
    return "unknown command " + Quoted(word) + DidYouMean(word, commands);
  if (dynamic_cast<const CLI::ExtrasError*>(&error) && app.remaining_size(true) > 0)
    return Unexpected(app);
  const std::string what = error.what();
  if (const std::string choice = NotAChoice(what); !choice.empty()) return choice;
  for (const Rewrite& rewrite : Rewrites())
    if (std::regex_match(what, rewrite.pattern))
      return std::regex_replace(what, rewrite.pattern, rewrite.message);
  return LowerFirst(what);
}

}  // namespace artargets
