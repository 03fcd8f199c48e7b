// Annotation sets of AR targets for tests: an entry of the plug-in's family, what its content
// holds, and one save or load through the plug-in's components as the loader would run them.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "PluginEntryPoints.h"
#include "ar/ARContent.h"
#include "ar/ARTarget.h"
#include "arhost/Host.h"
#include "orl/AnnoSetTable.h"
#include "orl/AsyncEvent.h"
#include "orlloader/AnnotationParser.h"

namespace artest {

// An asynchronous event that writes down every completion it is delivered: "ok", or
// "error <code> <message>" ("error 1" with an empty message). With `log` set, each completion
// also goes there as "completed <text>", so that its place among other deliveries shows.
class RecordingEvent final : public orl::AsyncEvent {
 public:
  std::vector<std::string> completions;
  std::vector<std::string>* log = nullptr;

 private:
  ~RecordingEvent() override = default;
  void OnComplete(EventStatus status) override {
    std::string text = "ok";
    if (status != kSuccess) {
      text = "error " + std::to_string(GetErrorCode());
      if (!GetErrorMessage().empty()) text += " " + GetErrorMessage().str();
    }
    completions.push_back(text);
    if (log) log->push_back("completed " + text);
  }
};

using Completions = std::vector<std::string>;
using TargetSet = std::set<du::SmartPtr<ar::ARTarget>>;

// An entry of content type 14; without a file name the reader derives one from `name`.
inline du::SmartPtr<orl::AnnoSetTableEntry> ArEntry(const std::string& fileName = "",
                                                    const char* name = "ARTargets",
                                                    const char* family = "augmentedreality") {
  return orl::AnnoSetTableEntry::Make(du::Symbol(name), du::Symbol(family),
                                      orl::ANNO_SET_CONTENT_AR, du::Symbol(fileName));
}

// The targets of the entry's AR content; none when it holds no AR content.
inline TargetSet Targets(const du::SmartPtr<orl::AnnoSetTableEntry>& entry) {
  TargetSet targets;
  if (auto content = du::DynamicCast<ar::ARContent>(entry->GetContent()))
    content->GetTargets(targets);
  return targets;
}

inline std::multiset<std::string> TargetNames(const du::SmartPtr<orl::AnnoSetTableEntry>& entry) {
  std::multiset<std::string> names;
  for (const auto& t : Targets(entry)) names.insert(t->GetName().str());
  return names;
}

inline du::SmartPtr<orlloader::AnnotationParser> Component(const char* kind) {
  du::SmartPtr<du::RefCounted> component;
  OrlDllCreateComponent(kind, "augmentedreality", "xml", component);
  return du::DynamicCast<orlloader::AnnotationParser>(component);
}

// Saves `content` to `path` with the saver component; gives the event's completions and,
// in `wrote`, the hook's result.
inline Completions SaveWithComponent(const du::SmartPtr<orl::AnnoSetTable>& table,
                                     const du::SmartPtr<ar::ARContent>& content,
                                     const std::string& path, bool* wrote = nullptr) {
  auto entry = ArEntry(path);
  entry->SetContent(content.get());
  du::SmartPtr<RecordingEvent> event = new RecordingEvent;
  const bool result =
      Component("saver")->WriteAnnotation(table, entry, du::Symbol(path), event.get());
  if (wrote) *wrote = result;
  arhost::RunUntilIdle();
  return event->completions;
}

// Loads `path` with the loader component into a new entry, given back in `loaded`.
inline Completions LoadWithComponent(const du::SmartPtr<orl::AnnoSetTable>& table,
                                     const std::string& path,
                                     du::SmartPtr<orl::AnnoSetTableEntry>* loaded = nullptr) {
  auto entry = ArEntry(path);
  du::SmartPtr<RecordingEvent> event = new RecordingEvent;
  Component("loader")->ParseAnnotation(table, entry, event.get());
  arhost::RunUntilIdle();
  if (loaded) *loaded = entry;
  return event->completions;
}

}  // namespace artest
