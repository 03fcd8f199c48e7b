#include "TargetFiles.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
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

// The identity of the file at `path`: a replaced file is a new file (the host's writer renames
// a finished copy over the old one), so an unchanged identity means nothing was written.
struct FileIdentity {
  bool exists = false;
  dev_t device = 0;
  ino_t inode = 0;
  bool operator==(const FileIdentity&) const = default;
};

FileIdentity IdentityOf(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return {};
  return {true, info.st_dev, info.st_ino};
}

}  // namespace

bool LoadTargetFile(const std::string& path, std::vector<TargetRecord>& records) {
  auto entry = FileEntry(path);
  {
    Progress reading("reading " + path);  // the plug-in reports no progress of its own
    du::SmartPtr<orl::AsyncEvent> event = new orl::AsyncEvent(false);
    orlloader::Loader::GetLoader()->LoadAnnotation(TableOf(path), entry, event.get());
    if (!Succeeded(event)) return false;
  }
  std::set<du::SmartPtr<ar::ARTarget>> targets;
  if (auto content = du::DynamicCast<ar::ARContent>(entry->GetContent()))
    content->GetTargets(targets);
  records.clear();
  records.reserve(targets.size());
  Progress progress("collecting the targets of " + path, targets.size());
  for (const auto& target : targets) {
    records.push_back(RecordOf(*target));
    progress.Advance();
  }
  return true;
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

  const FileIdentity before = IdentityOf(path);
  du::SmartPtr<orl::AsyncEvent> event = new orl::AsyncEvent(false);
  orlloader::Loader::GetLoader()->SaveAnnotation(TableOf(path), entry, event.get());
  const bool completed = Succeeded(event);
  const FileIdentity after = IdentityOf(path);
  if (completed && after.exists && after != before) return true;
  error = "could not write " + path + " (is the folder writable, is the disk full?)";
  if (before.exists) error += "; the previous file is unchanged";
  return false;
}

}  // namespace artargets
