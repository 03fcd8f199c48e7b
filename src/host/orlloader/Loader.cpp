#include "orlloader/Loader.h"

#include <dlfcn.h>
#include <malloc.h>

#include <algorithm>

#include "dom/MessageLoop.h"
#include "orl/AnnoSetTable.h"
#include "orl/AsyncEvent.h"

namespace orlloader {

struct Loader::Plugin {
  std::string path;
  void* handle = nullptr;
  CreateComponentFunction create = nullptr;
  void (*terminate)() = nullptr;
};

namespace {

std::mutex g_mutex;
du::SmartPtr<Loader>* g_loader = nullptr;  // allocated on first use, never destroyed

du::SmartPtr<Loader>& Slot() {
  if (!g_loader) g_loader = new du::SmartPtr<Loader>;
  return *g_loader;
}

// One scheduled load or save, run by the message loop.
class Job final : public dom::Message {
 public:
  Job(du::SmartPtr<Loader> loader, const char* kind, TablePtr table, EntryPtr entry,
      orl::AsyncEvent* event)
      : Message(loader.get()),
        loader_(std::move(loader)),
        kind_(kind),
        table_(std::move(table)),
        entry_(std::move(entry)),
        event_(event) {}

  void Deliver() override {
    const std::string family = entry_->GetFamily().str();
    const auto component = loader_->CreateComponent(kind_, family, "xml");
    auto* parser = dynamic_cast<AnnotationParser*>(component.get());
    if (!parser) return Fail("no plug-in gives a " + kind_ + " for the family '" + family + "'");
    if (kind_ == "loader")
      parser->ParseAnnotation(table_, entry_, event_.get());
    else
      parser->WriteAnnotation(table_, entry_, Loader::SavePath(table_, entry_), event_.get());
    if (event_ && !event_->IsCompleted())
      Fail("the " + kind_ + " of the family '" + family + "' left the event uncompleted");
    if (loader_->ReturnsFreedMemory()) ::malloc_trim(0);
  }

 private:
  void Fail(const std::string& why) {
    if (event_) event_->CompleteWithError(du::Symbol(why), 1);
  }

  du::SmartPtr<Loader> loader_;
  std::string kind_;
  TablePtr table_;
  EntryPtr entry_;
  du::SmartPtr<orl::AsyncEvent> event_;
};

}  // namespace

du::SmartPtr<Loader> Loader::GetLoader() {
  std::lock_guard lock(g_mutex);
  if (!Slot()) Slot() = new Loader;
  return Slot();
}

void Loader::EndLoader() {
  du::SmartPtr<Loader> ended;
  {
    std::lock_guard lock(g_mutex);
    ended = std::move(Slot());
  }
  if (ended) ended->UnloadPlugins();
}

Loader::~Loader() { UnloadPlugins(); }

bool Loader::LoadPlugin(const std::string& path, std::string* error) {
  auto fail = [&](const std::string& why) {
    if (error) *error = why;
    return false;
  };
  {
    std::lock_guard lock(mutex_);
    for (const auto& p : plugins_)
      if (p->path == path) return fail(path + " is loaded already");
  }
  void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) return fail(::dlerror());
  auto plugin = std::make_unique<Plugin>();
  plugin->path = path;
  plugin->handle = handle;
  plugin->create =
      reinterpret_cast<CreateComponentFunction>(::dlsym(handle, "OrlDllCreateComponent"));
  auto init = reinterpret_cast<void (*)()>(::dlsym(handle, "OrlDllInit"));
  plugin->terminate = reinterpret_cast<void (*)()>(::dlsym(handle, "OrlDllTerminate"));
  if (!plugin->create || !init || !plugin->terminate) {
    ::dlclose(handle);
    return fail(path + " lacks OrlDllCreateComponent, OrlDllInit or OrlDllTerminate");
  }
  init();
  std::lock_guard lock(mutex_);
  plugins_.push_back(std::move(plugin));
  return true;
}

void Loader::UnloadPlugins() {
  std::vector<std::unique_ptr<Plugin>> unloading;
  {
    std::lock_guard lock(mutex_);
    unloading.swap(plugins_);
  }
  std::reverse(unloading.begin(), unloading.end());
  for (const auto& plugin : unloading) {
    plugin->terminate();
    ::dlclose(plugin->handle);
  }
}

std::size_t Loader::GetPluginCount() const {
  std::lock_guard lock(mutex_);
  return plugins_.size();
}

du::SmartPtr<du::RefCounted> Loader::CreateComponent(const std::string& kind,
                                                     const std::string& family,
                                                     const std::string& subtype) const {
  std::vector<CreateComponentFunction> factories;
  {
    std::lock_guard lock(mutex_);
    for (const auto& p : plugins_) factories.push_back(p->create);
  }
  for (CreateComponentFunction create : factories) {
    du::SmartPtr<du::RefCounted> component;
    if (create(kind, family, subtype, component) && component) return component;
  }
  return nullptr;
}

bool Loader::Schedule(const char* kind, const TablePtr& table, const EntryPtr& entry,
                      orl::AsyncEvent* event) {
  if (!entry) {
    if (event) event->CompleteWithError(du::Symbol("no annotation-set entry was given"), 1);
    return false;
  }
  dom::MessageLoop::Get().Post(std::make_unique<Job>(this, kind, table, entry, event));
  return true;
}

bool Loader::LoadAnnotation(const TablePtr& table, const EntryPtr& entry, orl::AsyncEvent* event) {
  return Schedule("loader", table, entry, event);
}

bool Loader::SaveAnnotation(const TablePtr& table, const EntryPtr& entry, orl::AsyncEvent* event) {
  return Schedule("saver", table, entry, event);
}

void Loader::SetReturnsFreedMemory(bool returns) { returnsFreedMemory_ = returns; }

du::Symbol Loader::SavePath(const TablePtr& table, const EntryPtr& entry) {
  if (!entry) return du::Symbol::EMPTY;
  if (!entry->GetFileName().empty()) return entry->GetFileName();
  std::string name = entry->GetName().str();
  const auto open = name.rfind("<!"), close = name.rfind("!>");
  if (open != std::string::npos && close != std::string::npos) {
    // Both positions are taken before either removal, as the plug-ins' readers do, so that a
    // saved set is found again where a reader looks for it.
    name.erase(close, 2);
    name.erase(open, 2);
  }
  std::string path = table ? table->GetDirectory().str() : std::string();
  if (path.empty() || (path.back() != '/' && path.back() != '\\')) path += '/';
  path += name;
  if (path.size() > 4 && path.compare(path.size() - 4, 4, ".xml") != 0) path += ".xml";
  return du::Symbol(path);
}

}  // namespace orlloader
