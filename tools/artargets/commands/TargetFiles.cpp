#include "TargetFiles.h"

#include <filesystem>
#include <set>

#include "Progress.h"
#include "ar/ARContent.h"
#include "arhost/Host.h"
#include "orl/AnnoSetTable.h"
#include "orl/AsyncEvent.h"
#include "orlloader/Loader.h"

namespace artargets {

namespace {

du::SmartPtr<orl::AnnoSetTableEntry> FileEntry(const std::string& path) {
  return orl::AnnoSetTableEntry::Make(du::Symbol("ARTargets"), du::Symbol("augmentedreality"),
                                      orl::ANNO_SET_CONTENT_AR, du::Symbol(path));
}

du::SmartPtr<orl::AnnoSetTable> TableOf(const std::string& path) {
  return orl::AnnoSetTable::Create(du::Symbol(std::filesystem::path(path).parent_path().string()));
}

// Runs the loop until `event` is completed; true when it succeeded.
bool Succeeded(const du::SmartPtr<orl::AsyncEvent>& event) {
  arhost::RunUntilIdle();
  return event->GetStatus() == orl::BaseAsyncEvent::kSuccess;
}

// Loads `path` through the host; the file's targets, or false when the plug-in cannot load it.
bool LoadTargets(const std::string& path, std::set<du::SmartPtr<ar::ARTarget>>& targets) {
  auto entry = FileEntry(path);
  {
    Progress reading("reading " + path);  // the plug-in reports no progress of its own
    du::SmartPtr<orl::AsyncEvent> event = new orl::AsyncEvent(false);
    orlloader::Loader::GetLoader()->LoadAnnotation(TableOf(path), entry, event.get());
    if (!Succeeded(event)) return false;
  }
  if (auto content = du::DynamicCast<ar::ARContent>(entry->GetContent()))
    content->GetTargets(targets);
  return true;
}

}  // namespace

bool LoadTargetFile(const std::string& path, std::vector<TargetRecord>& records) {
  std::set<du::SmartPtr<ar::ARTarget>> targets;
  if (!LoadTargets(path, targets)) return false;
  records.clear();
  records.reserve(targets.size());
  Progress progress("collecting the targets of " + path, targets.size());
  for (const auto& target : targets) {
    records.push_back(RecordOf(*target));
    progress.Advance();
  }
  return true;
}

std::optional<std::size_t> CountTargetFile(const std::string& path) {
  std::set<du::SmartPtr<ar::ARTarget>> targets;
  if (!LoadTargets(path, targets)) return std::nullopt;
  return targets.size();
}

bool SaveTargetFile(const std::string& path, const std::vector<TargetRecord>& records,
                    std::string& error) {
  std::set<du::SmartPtr<ar::ARTarget>> targets;
  {
    Progress progress("preparing the targets of " + path, records.size());
    for (const auto& record : records) {
      targets.insert(MakeTarget(record));
      progress.Advance();
    }
  }
  Progress writing("writing " + path);
  du::SmartPtr<ar::ARContent> content = new ar::ARContent;
  content->SetTargets(targets);
  auto entry = FileEntry(path);
  entry->SetContent(content.get());

  const bool existed = std::filesystem::exists(path);
  du::SmartPtr<orl::AsyncEvent> event = new orl::AsyncEvent(false);
  orlloader::Loader::GetLoader()->SaveAnnotation(TableOf(path), entry, event.get());
  if (Succeeded(event)) return true;
  error = "cannot write " + path;
  if (!event->GetErrorMessage().empty()) error += ": " + event->GetErrorMessage().str();
  if (existed) error += "; the previous file is unchanged";
  return false;
}

}  // namespace artargets
