// The library's entry point: the command line, as the launcher hands it on.
#include "CommandLine.h"
#include "ToolEntry.h"

extern "C" int ArtargetsRun(int argc, char** argv) { return artargets::RunCommandLine(argc, argv); }
