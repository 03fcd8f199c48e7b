#include "commandline/HelpFormat.h"

#include <algorithm>
#include <map>
#include <regex>
#include <set>
#include <vector>

namespace artargets {

namespace {

// Placeholders by the name of the option or positional argument, for values the parser knows
// only as text.
const std::map<std::string, std::string> kPlaceholderOfName = {
    {"FILE", "PATH"},     {"A", "PATH"},      {"B", "PATH"},      {"IN", "PATH"},
    {"BASE", "PATH"},     {"OURS", "PATH"},   {"THEIRS", "PATH"}, {"--output", "PATH"},
    {"--plugin", "PATH"}, {"--root", "DIR"},  {"NAME", "NAME"},   {"PATTERN", "GLOB"},
    {"--index", "1-N"},   {"--path", "PATH"}, {"CODE", "ARTnnn"},
};

// The parser's own names for values of a kind, which say less than a placeholder.
const std::map<std::string, std::string> kPlaceholderOfKind = {
    {"TEXT", "TEXT"}, {"INT", "N"}, {"UINT", "N"}, {"FLOAT", "NUMBER"}};

// Two or three command lines per command, as a person types them.
const std::map<std::string, std::vector<std::string>> kExamples = {
    {"list",
     {"artargets list hall.xml", "artargets list --json hall.xml | jq '.[].name'",
      "curl -s https://example.org/hall.xml | artargets list -"}},
    {"check",
     {"artargets check hall.xml", "artargets check --images --fail-below 40 hall.xml",
      "artargets check --strict --format sarif models/ > check.sarif",
      "artargets check --units mm --format junit lab.xml > check-results.xml"}},
    {"add",
     {"artargets add hall.xml Door --size 0.8 2.1 --center 1.5 0 0",
      "artargets add hall.xml Poster --type 1 --id 7 --image poster.png"}},
    {"set",
     {"artargets set hall.xml Door --image door.png",
      "artargets set hall.xml --id 7 --size 0.5 0.5",
      "artargets set hall.xml --index 3 --name Window"}},
    {"remove", {"artargets remove hall.xml Door", "artargets remove hall.xml --id 7 --all"}},
    {"export",
     {"artargets export hall.xml -o hall.json",
      "artargets export hall.xml | jq '.[] | select(.type == 1)'"}},
    {"import",
     {"artargets import hall.json -o hall.xml",
      "artargets import --update --csv sizes.csv -o hall.xml",
      "jq 'map(.image = \"new.png\")' hall.json | artargets import --update - -o hall.xml"}},
    {"diff",
     {"artargets diff old.xml new.xml", "artargets diff --stat old.xml new.xml",
      "git show HEAD:hall.xml | artargets diff - hall.xml"}},
    {"render",
     {"artargets render hall.xml -o hall.svg",
      "artargets render --images hall.xml -o - | rsvg-convert -o hall.png"}},
    {"fmt",
     {"artargets fmt hall.xml", "artargets fmt --check *.xml",
      "artargets fmt - <hall.xml >canonical.xml"}},
    {"merge",
     {"artargets merge base.xml ours.xml theirs.xml",
      "artargets merge base.xml ours.xml theirs.xml -o merged.xml --json >conflicts.json"}},
    {"git-setup", {"artargets git-setup '*.artargets.xml'", "artargets git-setup --global"}},
    {"report",
     {"artargets report hall.xml -o report && chromium report/index.html",
      "artargets report --units mm models/ -o report"}},
    {"demo", {"artargets demo", "artargets demo | less"}},
    {"explain", {"artargets explain ART305", "artargets explain"}},
};

// "0-100" from the description the parser gives a range check: "INT in [0 - 100]".
std::string RangeOf(const std::string& typeName) {
  static const std::regex range(R"(in \[(\S+) - (\S+)\])");
  std::smatch match;
  if (!std::regex_search(typeName, match, range)) return {};
  return match[1].str() + "-" + match[2].str();
}

// "{m,cm,mm,in,ft}" from the description the parser gives a check of members: "UNIT:{m,...}".
// The choices themselves say more than a name for them, and the completion offers them.
std::string ChoicesOf(const std::string& typeName) {
  const auto open = typeName.find(":{");
  return open == std::string::npos ? ""
                                   : typeName.substr(open + 1, typeName.find('}', open) - open);
}

// The options' names in alphabetical order: the parser keeps them ordered by where they lie in
// memory, which differs from run to run.
std::vector<std::string> NamesOf(const std::set<CLI::Option*>& options) {
  std::vector<std::string> names;
  for (const CLI::Option* option : options) names.push_back(option->get_name());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

std::string Placeholder(const CLI::Option& option) {
  const std::string typeName = option.get_type_name();
  if (option.get_type_size() == 0 || typeName.empty()) return {};  // a flag
  std::string placeholder = ChoicesOf(typeName);
  if (placeholder.empty()) placeholder = RangeOf(typeName);
  const std::string declared = typeName.substr(0, typeName.find(':'));
  const auto byName = kPlaceholderOfName.find(option.get_name());
  const auto byKind = kPlaceholderOfKind.find(declared);
  if (placeholder.empty() && byKind == kPlaceholderOfKind.end()) placeholder = declared;
  if (placeholder.empty() && byName != kPlaceholderOfName.end()) placeholder = byName->second;
  if (placeholder.empty() && byKind != kPlaceholderOfKind.end()) placeholder = byKind->second;
  if (placeholder.empty()) placeholder = "VALUE";
  if (option.get_expected_max() == CLI::detail::expected_max_vector_size) placeholder += " ...";
  return placeholder;
}

std::string HelpFormatter::make_option_opts(const CLI::Option* option) const {
  std::string out;
  const std::string placeholder = Placeholder(*option);
  if (!placeholder.empty()) out += " " + placeholder;
  if (option->get_required()) out += " (required)";
  for (const std::string& needed : NamesOf(option->get_needs())) out += " (needs " + needed + ")";
  for (const std::string& excluded : NamesOf(option->get_excludes()))
    out += " (not with " + excluded + ")";
  return out;
}

void UseHelpFormat(CLI::App& app) {
  app.formatter(std::make_shared<HelpFormatter>());
  app.set_help_flag("-h,--help", "print this help and exit");
}

void AddExamples(CLI::App& app) {
  for (CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; })) {
    const auto examples = kExamples.find(command->get_name());
    if (examples == kExamples.end()) continue;
    std::string footer = command->get_footer();
    footer += (footer.empty() ? "" : "\n\n") + std::string("Examples:");
    for (const std::string& line : examples->second) footer += "\n  " + line;
    command->footer(footer);
  }
  app.footer(
      "Run 'artargets COMMAND --help' for a command's options and examples. A FILE or IN of "
      "- reads standard input; -o - writes to standard output.");
}

}  // namespace artargets
