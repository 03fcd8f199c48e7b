// orlloader::Loader: loads and saves annotation sets through plug-in components.
//
// Plug-ins are shared libraries opened by path (LoadPlugin) that export
//   bool OrlDllCreateComponent(const std::string& kind, const std::string& family,
//                              const std::string& subtype, du::SmartPtr<du::RefCounted>& out);
// plus OrlDllInit and OrlDllTerminate. LoadAnnotation and SaveAnnotation ask the plug-ins for the
// ("loader" or "saver", entry family, "xml") component and run its hook later, from the message
// loop, never inside the call. The component completes the event; when no plug-in answers for
// the family, or the component leaves the event uncompleted, the loader completes it with an
// error (code 1) whose message says why.
//
// A save goes to the entry's own file name, or else to the table's directory, a "/" when the
// directory does not end in one (or a backslash), the entry's name without "<!" and "!>", and
// ".xml" unless it already ends so.
// Thread rules: any thread; hooks run on the thread that runs the message loop. Unload plug-ins
// (UnloadPlugins, or arhost::Shutdown) only once everything they made has been released.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "ArHostExport.h"
#include "dom/ManagedObject.h"
#include "du/RefCounted.h"
#include "du/SmartPtr.h"
#include "du/Symbol.h"
#include "orlloader/AnnotationParser.h"

namespace orlloader {

// The signature of a plug-in's factory.
using CreateComponentFunction = bool (*)(const std::string& kind, const std::string& family,
                                         const std::string& subtype,
                                         du::SmartPtr<du::RefCounted>& component);

class ARHOST_API Loader : public dom::ManagedObject {
 public:
  // The loader, created on first use.
  static du::SmartPtr<Loader> GetLoader();
  // Host shutdown: unloads the plug-ins and lets go of the loader.
  static void EndLoader();

  // Opens the plug-in at `path` and runs its OrlDllInit. False, with the reason in `error` when
  // given, when it cannot be opened or lacks the entry points. Opening one twice is refused.
  bool LoadPlugin(const std::string& path, std::string* error);
  // Runs each plug-in's OrlDllTerminate and closes it, newest first.
  void UnloadPlugins();
  std::size_t GetPluginCount() const;

  // The first component a plug-in gives for the request, or empty.
  du::SmartPtr<du::RefCounted> CreateComponent(const std::string& kind, const std::string& family,
                                               const std::string& subtype) const;

  bool LoadAnnotation(const TablePtr& table, const EntryPtr& entry, orl::AsyncEvent* event);
  bool SaveAnnotation(const TablePtr& table, const EntryPtr& entry, orl::AsyncEvent* event);

  // Where a save of `entry` in `table` goes (see above).
  static du::Symbol SavePath(const TablePtr& table, const EntryPtr& entry);

  // After each load or save the loader hands what the job freed back to the system
  // (malloc_trim): a large file's trees are freed in blocks too small for the allocator to
  // return on its own, and a host would otherwise keep that much memory resident. A program that
  // goes on to build as much again (a tool that loads, edits and saves) turns it off: the save's
  // trees then take the pages the load's freed instead of having the kernel map in and clear new
  // ones. On by default.
  void SetReturnsFreedMemory(bool returns);
  bool ReturnsFreedMemory() const { return returnsFreedMemory_; }

 protected:
  Loader() = default;
  ~Loader() override;

 private:
  struct Plugin;
  bool Schedule(const char* kind, const TablePtr& table, const EntryPtr& entry,
                orl::AsyncEvent* event);

  mutable std::mutex mutex_;
  std::vector<std::unique_ptr<Plugin>> plugins_;
  std::atomic<bool> returnsFreedMemory_{true};
};

}  // namespace orlloader
