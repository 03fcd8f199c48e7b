#include "du/Symbol.h"

#include <atomic>
#include <mutex>
#include <unordered_map>

#include "du/LiveCounters.h"

namespace du {

struct Symbol::Entry {
  explicit Entry(std::string_view s) : text(s) {}
  std::atomic<std::uint32_t> references{1};
  const std::string text;
};

namespace {

// A key of the interning table: the text with its hash, computed once. The table's nodes then
// answer their hash without hashing their text again while a lookup walks a bucket.
struct HashedText {
  explicit HashedText(std::string_view s) : text(s), hash(std::hash<std::string_view>()(s)) {}
  std::string_view text;
  std::size_t hash;
};

struct KeyHash {
  std::size_t operator()(const HashedText& key) const noexcept { return key.hash; }
};

struct KeyEqual {
  bool operator()(const HashedText& a, const HashedText& b) const noexcept {
    return a.hash == b.hash && a.text == b.text;
  }
};

// The interning table. Entries are created and erased under its mutex; a reference that is
// not the last one is taken and dropped without it.
class SymbolTable {
 public:
  Symbol::Entry* Intern(std::string_view text) {
    const HashedText key(text);
    std::lock_guard lock(mutex_);
    auto found = entries_.find(key);
    if (found != entries_.end()) {
      found->second->references.fetch_add(1, std::memory_order_relaxed);
      return found->second;
    }
    auto* entry = new Symbol::Entry(text);
    entries_.emplace(HashedText(entry->text), entry);
    GetLiveCounters().symbols.fetch_add(1, std::memory_order_relaxed);
    return entry;
  }

  void Release(Symbol::Entry* entry) {
    // Fast path: not the last reference, so the entry cannot disappear under us.
    auto count = entry->references.load(std::memory_order_relaxed);
    while (count > 1) {
      if (entry->references.compare_exchange_weak(count, count - 1, std::memory_order_release,
                                                  std::memory_order_relaxed))
        return;
    }
    // Possibly the last reference: decide under the mutex, where Intern may revive it.
    std::lock_guard lock(mutex_);
    if (entry->references.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
    entries_.erase(HashedText(entry->text));
    delete entry;
    GetLiveCounters().symbols.fetch_sub(1, std::memory_order_relaxed);
  }

 private:
  std::mutex mutex_;
  std::unordered_map<HashedText, Symbol::Entry*, KeyHash, KeyEqual> entries_;
};

SymbolTable& Table() {
  // Never destroyed: static Symbols of plug-ins may outlive this library's own statics.
  static SymbolTable* table = new SymbolTable;
  return *table;
}

Symbol::Entry* InternOrNull(std::string_view text) {
  return text.empty() ? nullptr : Table().Intern(text);
}

}  // namespace

const Symbol Symbol::EMPTY;

Symbol::Symbol(const char* text) : entry_(text ? InternOrNull(text) : nullptr) {}
Symbol::Symbol(const std::string& text) : entry_(InternOrNull(text)) {}
Symbol::Symbol(std::string_view text) : entry_(InternOrNull(text)) {}

Symbol::Symbol(const Symbol& other) noexcept : entry_(other.entry_) {
  if (entry_) entry_->references.fetch_add(1, std::memory_order_relaxed);
}

Symbol::Symbol(Symbol&& other) noexcept : entry_(other.entry_) { other.entry_ = nullptr; }

Symbol& Symbol::operator=(const Symbol& other) noexcept {
  if (entry_ == other.entry_) return *this;
  if (other.entry_) other.entry_->references.fetch_add(1, std::memory_order_relaxed);
  Release();
  entry_ = other.entry_;
  return *this;
}

Symbol& Symbol::operator=(Symbol&& other) noexcept {
  if (this != &other) {
    Release();
    entry_ = other.entry_;
    other.entry_ = nullptr;
  }
  return *this;
}

Symbol::~Symbol() { Release(); }

void Symbol::Release() noexcept {
  if (entry_) Table().Release(entry_);
  entry_ = nullptr;
}

std::size_t Symbol::length() const noexcept { return entry_ ? entry_->text.size() : 0; }

Symbol Symbol::substr(std::size_t pos, std::size_t count) const {
  const std::string_view text = view();
  if (pos >= text.size()) return Symbol();
  return Symbol(text.substr(pos, count));
}

const char* Symbol::safe_c_str() const noexcept { return entry_ ? entry_->text.c_str() : ""; }

std::string_view Symbol::view() const noexcept {
  return entry_ ? std::string_view(entry_->text) : std::string_view();
}

}  // namespace du
