// artargets, the launcher. It finds the plug-in (--plugin PATH, or the one in the folder of the
// host runtime it links, where both are built and installed), has the host runtime load it by
// path as a host does, and only then opens the library of the tool's commands, which uses the
// plug-in's exported classes and so binds to the copy the host loaded. At the end it shuts the
// host down. --version is answered here, once the plug-in is loaded.
#include <dlfcn.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "ar/Version.h"
#include "arhost/Host.h"
#include "orlloader/Loader.h"
#include "support/LargeWork.h"
#include "support/SafeText.h"

namespace {

namespace fs = std::filesystem;

// The folder of the host runtime this launcher runs on: the plug-in lies beside it and the
// commands library in its folder artargets/, in the build tree and once installed.
fs::path LibraryFolder() {
  Dl_info info{};
  if (!::dladdr(reinterpret_cast<void*>(&arhost::RunUntilIdle), &info) || !info.dli_fname)
    return {};
  std::error_code error;
  return fs::canonical(info.dli_fname, error).parent_path();
}

bool AsksForVersion(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--version") == 0) return true;
  return false;
}

// The value of --plugin (as "--plugin PATH" or "--plugin=PATH"), or empty.
std::string PluginArgument(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--plugin") == 0 && i + 1 < argc) return argv[i + 1];
    if (std::strncmp(argv[i], "--plugin=", 9) == 0) return argv[i] + 9;
  }
  return {};
}

// What to do about a plug-in that does not load: in a build tree, build it; installed, the
// package is incomplete; named with --plugin, the name is the thing to check.
std::string PluginHint(bool named) {
  if (named) return "Check the library named with --plugin.";
  std::error_code error;
  if (fs::exists(LibraryFolder().parent_path() / "CMakeCache.txt", error))
    return "Build it (scripts/demo.sh builds everything) or name it with --plugin PATH.";
  return "The installation lacks it: reinstall the package that installed artargets, or name "
         "one with --plugin PATH.";
}

int Run(int argc, char** argv) {
  std::string plugin = PluginArgument(argc, argv);
  const bool named = !plugin.empty();
  if (!named)
    plugin =
        (LibraryFolder() / ("libaugmentedreality.so." + std::to_string(AR_VERSION_MAJOR))).string();
  // One command, then exit: what a load frees, the save or the next load that follows builds
  // again, and everything goes back to the system at exit anyway.
  orlloader::Loader::GetLoader()->SetReturnsFreedMemory(false);
  artargets::KeepFreedMemory();
  std::string error;
  if (!orlloader::Loader::GetLoader()->LoadPlugin(plugin, &error)) {
    std::cerr << "artargets: cannot load the plug-in: " << artargets::SafeText(error) << "\n"
              << PluginHint(named) << "\n";
    return 1;
  }
  if (AsksForVersion(argc, argv)) {
    std::cout << "artargets " << AR_VERSION_STRING << "\nplug-in: " << plugin << "\n";
    return 0;
  }
  const std::string commandsPath =
      (LibraryFolder() / "artargets" / "libartargets_commands.so").string();
  void* commands = ::dlopen(commandsPath.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!commands) {
    std::cerr << "artargets: cannot open the tool's commands: " << artargets::SafeText(::dlerror())
              << "\n";
    return 1;
  }
  using Entry = int (*)(int, char**);
  auto run = reinterpret_cast<Entry>(::dlsym(commands, "ArtargetsRun"));
  if (!run) {
    std::cerr << "artargets: " << artargets::SafeText(commandsPath) << " lacks ArtargetsRun\n";
    return 1;
  }
  // Taken once the libraries are loaded: mapping them in waits on the heap's pages being
  // mapped in, a piece at a time.
  const artargets::HeapAhead heap(
      artargets::HeapForLoading(std::vector<std::string>(argv + 1, argv + argc)));
  return run(argc, argv);
}

}  // namespace

int main(int argc, char** argv) {
  artargets::RestartWithHugePagesIfLarge(argc, argv);
  // A write beyond the file size limit (ulimit -f) then fails with EFBIG, which the writer
  // reports as any failed write, instead of killing the tool without a word.
  std::signal(SIGXFSZ, SIG_IGN);
  int status = Run(argc, argv);
  if (!std::cout.flush()) {
    std::cerr << "artargets: cannot write standard output\n";
    status = 1;
  }
  arhost::Shutdown();
  return status;
}
