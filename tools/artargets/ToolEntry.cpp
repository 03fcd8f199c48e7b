// The library's entry point: the command line, as the launcher hands it on.
#include "ToolEntry.h"

#include "commandline/CommandLine.h"

extern "C" int ArtargetsRun(int argc, char** argv) { return artargets::RunCommandLine(argc, argv); }
