#include "targets/TargetFiles.h"

#include <climits>
#include <filesystem>
#include <fstream>
#include <future>
#include <iostream>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

#include "ar/ARContent.h"
#include "arhost/Host.h"
#include "dg/XmlElem.h"
#include "orl/AnnoSetTable.h"
#include "orl/AsyncEvent.h"
#include "orlloader/Loader.h"
#include "support/Background.h"
#include "support/InputFile.h"
#include "support/MappedFile.h"
#include "support/Progress.h"
#include "support/ScratchFolder.h"
#include "targets/ConflictMarkers.h"
#include "targets/PlainTargetText.h"
#include "targets/ValueText.h"

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

// What a load gives: the entry that holds the file's content, and its targets.
struct Loaded {
  du::SmartPtr<orl::AnnoSetTableEntry> entry;
  std::set<du::SmartPtr<ar::ARTarget>> targets;
};

// What keeps a well-formed file from loading, seen in its root element as the plug-in's reader
// sees it; empty when nothing there explains it.
std::string RootProblem(const dg::XmlElem& root) {
  if (root.GetName() != std::string("augmentedreality"))
    return "the root element is <" + Escaped(root.GetName()) +
           ">, not <augmentedreality>: it is not a target file";
  const char* version = root.FindAttribute("version");
  if (!version)
    return "the root element <" + Escaped(root.GetName()) + "> has no \"version\" attribute";
  int number = 0;
  root.GetIntAttribute("version", number);
  if (number == INT_MAX && std::string(version) != std::to_string(INT_MAX))
    return "the version " + Quoted(version) + " is not a whole number";
  if (number > 1)
    return "the file has version " + Escaped(version) +
           ", newer than the reader knows (it reads versions up to 1)";
  if (!root.FindChild("targets")) return "the root element has no \"targets\" child";
  return {};
}

// Why a load fails, from the host's parse of the file during it; the watcher is called on the
// loader's thread.
class LoadWatch {
 public:
  LoadWatch() {
    dg::WatchFileParses(
        [this](const std::string&, const dg::XmlElem* root, const std::string& failure) {
          const std::string why = root ? RootProblem(*root) : failure;
          const std::lock_guard lock(mutex_);
          why_ = why;
        });
  }
  ~LoadWatch() { dg::WatchFileParses(nullptr); }
  std::string Why() {
    const std::lock_guard lock(mutex_);
    return why_.empty() ? "the plug-in could not load it" : why_;
  }

 private:
  std::mutex mutex_;
  std::string why_;
};

// Whether a file is laid out exactly as the plug-in writes it (PlainTargetText.h), found on a
// thread of its own while the plug-in loads the same file: a command that rewrites the file
// needs to know, and the load leaves the second core idle (a million targets: 3 s less). A look
// never started finds nothing plain.
class PlainLayoutLook {
 public:
  void Start(const std::string& path) {
    plain_ = ReadAside([path] {
      const MappedFile mapped(path);
      return mapped.IsMapped() && HoldsOnlyTargets(mapped.Text());
    });
  }
  bool IsPlain() { return plain_.valid() && plain_.get(); }

 private:
  std::future<bool> plain_;
};

// Loads `path` through the host; false, with why, when the plug-in cannot load it. With `look`,
// the file's layout is looked at meanwhile.
bool LoadTargets(const std::string& named, Loaded& loaded, std::string& why,
                 PlainLayoutLook* look = nullptr) {
  const std::string path = ReadablePath(named, why);
  if (path.empty()) return false;
  why = InputProblem(path);
  if (!why.empty()) return false;
  if (look) look->Start(path);
  loaded.entry = FileEntry(path);
  {
    Progress reading("reading " + InputName(named));  // the plug-in reports no progress of its own
    LoadWatch watch;
    du::SmartPtr<orl::AsyncEvent> event = new orl::AsyncEvent(false);
    orlloader::Loader::GetLoader()->LoadAnnotation(TableOf(path), loaded.entry, event.get());
    if (!Succeeded(event)) {
      const int marker = ConflictMarkerLineOf(path);  // a merge left it unfinished
      why = marker ? ConflictProblem(named, marker) : watch.Why();
      return false;
    }
  }
  if (auto content = du::DynamicCast<ar::ARContent>(loaded.entry->GetContent()))
    content->GetTargets(loaded.targets);
  return true;
}

// Each target into a record. Reading one out takes its lock eleven times: a large file's
// targets are read in two halves at once, the second on a thread of its own.
void ReadOut(const std::set<du::SmartPtr<ar::ARTarget>>& targets,
             std::vector<TargetRecord>& records, const std::string& path) {
  constexpr std::size_t kShared = 4096;  // fewer are read on one thread
  std::vector<const ar::ARTarget*> all;
  all.reserve(targets.size());
  for (const auto& target : targets) all.push_back(target.get());
  records.assign(all.size(), TargetRecord{});
  const std::size_t half = all.size() >= kShared ? all.size() / 2 : all.size();
  Progress progress("collecting the targets of " + path, half);
  std::jthread second;
  if (half < all.size())
    second = std::jthread([&] {
      for (std::size_t i = half; i < all.size(); ++i) records[i] = RecordOf(*all[i]);
    });
  for (std::size_t i = 0; i < half; ++i) {
    records[i] = RecordOf(*all[i]);
    progress.Advance();
  }
}

// The loaded targets go on another thread while the command works on what it read of them.
void LetGo(Loaded&& loaded) {
  InBackground([gone = std::make_shared<Loaded>(std::move(loaded))] {
    gone->targets.clear();
    gone->entry = nullptr;
  });
}

// "-": the file is saved in a private folder and its bytes go to standard output.
bool SaveToStandardOutput(const std::vector<TargetRecord>& records, std::string& error) {
  std::string bytes;
  if (!SavedText(records, bytes, error)) return false;
  std::cout << bytes;
  return true;
}

// What the file at `path` holds beyond the targets the plug-in read from it as `records`.
// A file laid out as the plug-in writes it holds nothing more, as `look` found.
void ReadKept(const std::string& path, std::vector<TargetRecord>& records, KeptFrame& kept,
              PlainLayoutLook& look) {
  if (look.IsPlain()) return;
  std::string why, text;
  const std::string readable = ReadablePath(path, why);
  if (!readable.empty() && ReadInputFile(readable, text, why)) ReadKeptContent(text, records, kept);
}

}  // namespace

bool LoadTargetFile(const std::string& path, std::vector<TargetRecord>& records, std::string& why,
                    LetGoOfTargets letGo, KeptFrame* kept) {
  Loaded loaded;
  PlainLayoutLook look;
  if (!LoadTargets(path, loaded, why, kept ? &look : nullptr)) return false;
  ReadOut(loaded.targets, records, InputName(path));
  // The loaded targets go before a file not laid out as the plug-in writes it is read again for
  // what it keeps, so that the two are never in memory together.
  if (letGo == LetGoOfTargets::kInBackground)
    LetGo(std::move(loaded));
  else
    loaded = Loaded{};
  if (kept) ReadKept(path, records, *kept, look);
  return true;
}

bool ReadPlainTargetFile(const std::string& path, std::vector<TargetRecord>& records) {
  // A stream is read once, by the load that reports what is wrong with it.
  if (IsStandardStream(path) || IsPipe(path) || !InputProblem(path).empty()) return false;
  const MappedFile mapped(path);
  return mapped.IsMapped() && ReadPlainTargets(mapped.Text(), records);
}

std::optional<std::size_t> CountTargetFile(const std::string& path, std::string& why) {
  Loaded loaded;
  if (!LoadTargets(path, loaded, why)) return std::nullopt;
  const std::size_t count = loaded.targets.size();
  LetGo(std::move(loaded));
  return count;
}

bool SaveTargetFile(const std::string& path, const std::vector<TargetRecord>& records,
                    std::string& error) {
  if (IsStandardStream(path)) return SaveToStandardOutput(records, error);
  std::set<du::SmartPtr<ar::ARTarget>> targets;
  {
    Progress progress("preparing the targets of " + path, records.size());
    for (const auto& record : records) {
      // Made one after the other, the targets mostly come in the set's (address) order: at
      // its end each goes in without a search.
      targets.emplace_hint(targets.end(), MakeTarget(record));
      progress.Advance();
    }
  }
  Progress writing("writing " + path);
  du::SmartPtr<ar::ARContent> content = new ar::ARContent;
  content->SetTargets(targets);
  auto entry = FileEntry(path);
  entry->SetContent(content.get());

  std::error_code unknown;  // then the message does not promise anything about a previous file
  const bool existed = std::filesystem::exists(path, unknown);
  du::SmartPtr<orl::AsyncEvent> event = new orl::AsyncEvent(false);
  orlloader::Loader::GetLoader()->SaveAnnotation(TableOf(path), entry, event.get());
  if (Succeeded(event)) return true;
  error = "cannot write " + path;
  if (!event->GetErrorMessage().empty()) error += ": " + event->GetErrorMessage().str();
  if (existed) error += "; the previous file is unchanged";
  return false;
}

bool LooksLikeTargetFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string head(4096, '\0');
  in.read(head.data(), std::streamsize(head.size()));
  head.resize(std::size_t(in.gcount()));
  std::size_t at = 0;
  while ((at = head.find('<', at)) != std::string::npos) {
    const char next = at + 1 < head.size() ? head[at + 1] : '\0';
    if (next != '?' && next != '!') return head.compare(at + 1, 16, "augmentedreality") == 0;
    ++at;
  }
  return false;
}

bool SavedText(const std::vector<TargetRecord>& records, std::string& text, std::string& error) {
  SavedCopy saved;
  if (!saved.Make(records, error)) return false;
  text.assign(saved.Text());
  return true;
}

SavedCopy::SavedCopy() = default;
SavedCopy::~SavedCopy() = default;

bool SavedCopy::Make(const std::vector<TargetRecord>& records, std::string& error) {
  scratch_ = std::make_unique<ScratchFolder>("out");
  if (scratch_->Path().empty()) return error = "cannot make a temporary folder", false;
  const std::string path = scratch_->File("targets.xml");
  if (!SaveTargetFile(path, records, error)) return false;
  mapped_ = std::make_unique<MappedFile>(path);
  if (mapped_->IsMapped()) return true;
  error = "cannot read back " + path;
  return false;
}

std::string_view SavedCopy::Text() const { return mapped_ ? mapped_->Text() : std::string_view(); }

}  // namespace artargets
