#include "commandline/UsageMessage.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <regex>

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

std::size_t EditDistance(const std::string& a, const std::string& b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
      diagonal = above;
    }
  }
  return row[b.size()];
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
      {std::regex("(.+): At least (\\d+) required but received (\\d+)"),
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

}  // namespace

std::string NearestCommand(const std::string& word, const std::vector<std::string>& commands) {
  std::string nearest;
  std::size_t best = 3;
  for (const std::string& command : commands) {
    const std::size_t distance = EditDistance(word, command);
    if (distance < best) {
      best = distance;
      nearest = command;
    }
  }
  return nearest;
}

std::string UsageMessage(const CLI::App& app, const CLI::ParseError& error, int argc, char** argv) {
  const std::string word = CommandWord(argc, argv);
  std::vector<std::string> commands;
  for (const CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; }))
    commands.push_back(command->get_name());
  if (!word.empty() && std::find(commands.begin(), commands.end(), word) == commands.end()) {
    const std::string nearest = NearestCommand(word, commands);
    return "unknown command " + Quoted(word) +
           (nearest.empty() ? "" : " (did you mean " + Quoted(nearest) + "?)");
  }
  const std::string what = error.what();
  for (const Rewrite& rewrite : Rewrites())
    if (std::regex_match(what, rewrite.pattern))
      return std::regex_replace(what, rewrite.pattern, rewrite.message);
  return LowerFirst(what);
}

}  // namespace artargets
