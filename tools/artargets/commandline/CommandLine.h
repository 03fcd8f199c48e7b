// The command line of artargets: one subcommand per command, --help everywhere, and the exit
// statuses 0 (success), 1 (the operation failed) and 2 (wrong usage).
#pragma once

namespace artargets {

// Parses the command line and runs its command; the exit status.
int RunCommandLine(int argc, char** argv);

}  // namespace artargets
