// The command line of the commands that look at target files without changing them: check,
// render and report. Declared apart from the other commands so that each group keeps its own
// options.
#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <memory>

namespace artargets {

struct InspectionArguments;

// Declares check, render and report on `app`; the one chosen sets `command`. The arguments it
// gives back hold the options' values: keep them until the command has run.
std::shared_ptr<InspectionArguments> DeclareInspection(CLI::App& app,
                                                       std::function<int()>& command);

}  // namespace artargets
