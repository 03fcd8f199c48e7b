// Drives the whole target-file reader, obtained from the plug-in's factory as a host does, on
// arbitrary bytes. Every input must end in exactly one completion of the load event and leave
// no counted object behind once the host shuts down.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "PluginEntryPoints.h"
#include "arhost/Host.h"
#include "orl/AnnoSetTable.h"
#include "orl/AsyncEvent.h"
#include "orlloader/AnnotationParser.h"

namespace {

class CountingEvent final : public orl::AsyncEvent {
 public:
  int completions = 0;

 private:
  ~CountingEvent() override = default;
  void OnComplete(EventStatus) override { ++completions; }
};

// The file each input is written to, one per process, removed when the process exits.
char g_inputPath[] = "/tmp/reader-fuzzer-XXXXXX";

const char* InputPath() {
  static const bool made = [] {
    const int fd = ::mkstemp(g_inputPath);
    if (fd < 0) std::abort();
    ::close(fd);
    std::atexit([] { ::unlink(g_inputPath); });
    return true;
  }();
  (void)made;
  return g_inputPath;
}

void Load(const std::string& path) {
  du::SmartPtr<du::RefCounted> component;
  if (!OrlDllCreateComponent("loader", "augmentedreality", "xml", component)) std::abort();
  auto parser = du::DynamicCast<orlloader::AnnotationParser>(component);
  auto entry = orl::AnnoSetTableEntry::Make(du::Symbol("ARTargets"), du::Symbol("augmentedreality"),
                                            orl::ANNO_SET_CONTENT_AR, du::Symbol(path));
  du::SmartPtr<CountingEvent> event = new CountingEvent;
  parser->ParseAnnotation(orl::AnnoSetTable::Create(du::Symbol("/tmp")), entry, event.get());
  arhost::RunUntilIdle();
  if (event->completions != 1) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = InputPath();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) std::abort();
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  Load(path);
  arhost::Shutdown();
  if (arhost::GetLiveCounts().refCounted != 0) std::abort();  // a counted object leaked
  return 0;
}
