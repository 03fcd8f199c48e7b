// The tool's command line run in this process, the way its launcher runs it: the host runtime
// loads the plug-in, the command runs in a given folder, with saved image ratings under its
// cache/, what it prints is captured, and the host shuts down after it. A test program saves a
// process start per command this way (a tenth of a second under the sanitizers, for hundreds of
// commands); what only a process shows (exit on a signal, the launcher's own options, standard
// input, redirections) stays with the shell.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace artest {

struct Result {
  int status = -1;
  std::string out, err;
};

// `args` split into words as the shell splits them, quotes removed; nothing when they hold
// more than words, spaces and quotes (a redirection, a variable, a pattern, an escape), or name
// what only the launcher or a process has: standard input or output ("-"), --version, --plugin,
// git-setup (which names the running program to git).
std::optional<std::vector<std::string>> WordsForHere(const std::string& args);

// Runs "artargets `words`" here, in `folder`. A command that leaves any of the host's objects,
// blocks or texts behind once the host has shut down fails the test.
Result RunToolHere(const std::vector<std::string>& words, const std::filesystem::path& folder);

}  // namespace artest
