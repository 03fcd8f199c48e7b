// How the tool's --help reads: every value an option takes shows as a typed placeholder (PATH,
// W H, X Y Z, 0-255, 0-100, the choices {m,cm,mm,in,ft}) instead of the argument parser's TEXT,
// INT or FLOAT, and every command ends with examples. Both work for options and commands
// declared anywhere: the formatter derives a placeholder from an option's name, its declared
// type name, its range check or its check of members, and the examples come from one table
// keyed by the command's name.
#pragma once

#include <CLI/CLI.hpp>
#include <memory>
#include <string>

namespace artargets {

class HelpFormatter : public CLI::Formatter {
 public:
  std::string make_option_opts(const CLI::Option* option) const override;
};

// What the help shows for an option's value: "PATH", "W H", "0-255", "{text,json}"; "" for a
// flag.
std::string Placeholder(const CLI::Option& option);

// Gives `app` the formatter (before any command is declared, so that every command shares it)
// and a lower-case help flag.
void UseHelpFormat(CLI::App& app);
// Appends its examples to the footer of every command of `app`, after all are declared.
void AddExamples(CLI::App& app);

}  // namespace artargets
