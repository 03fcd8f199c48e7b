// The argument parser's complaints in the tool's own words: lower case, naming the option or
// argument at fault and quoting what was given, so that every error the tool prints reads
// alike. An unknown command or option is named with the nearest one, when one is near.
#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

namespace artargets {

// The message for `error`, raised parsing `argc`/`argv` against `app` (without the
// "artargets: " prefix and unescaped: the caller prints it through SafeText).
std::string UsageMessage(const CLI::App& app, const CLI::ParseError& error, int argc, char** argv);

// Where to read more: the help of the command being parsed, or the tool's own before one is
// named.
std::string HelpHint(const CLI::App& app);

}  // namespace artargets
