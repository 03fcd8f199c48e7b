// The entry point of the tool's commands, which the launcher looks up once the host runtime
// has loaded the plug-in: the commands use the plug-in's exported classes, so this library may
// be opened only when the plug-in is in the process already.
#pragma once

extern "C" __attribute__((visibility("default"))) int ArtargetsRun(int argc, char** argv);
