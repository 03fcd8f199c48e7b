#include "du/Symbol.h"

#include <atomic>
#include <cstring>
#include <limits>
#include <mutex>
#include <new>
#include <stdexcept>
#include <vector>

#include "du/LiveCounters.h"

namespace du {

// One allocation per stored text: the counts and the characters (with a closing null for
// safe_c_str) follow each other, so that a lookup that matches touches one block. The hash
// lives in the table's slot alone: eight bytes less per text (a short name fits in 32 bytes
// instead of 48), and only a removal needs it again.
struct Symbol::Entry {
  static Entry* Make(std::string_view s) {
    if (s.size() >= std::numeric_limits<std::uint32_t>::max())
      throw std::length_error("a symbol's text must be shorter than 4 GiB");
    void* block = ::operator new(sizeof(Entry) + s.size() + 1);
    return new (block) Entry(s);
  }
  static void Free(Entry* entry) {
    entry->~Entry();
    ::operator delete(entry);
  }
  const char* characters() const { return reinterpret_cast<const char*>(this + 1); }
  std::string_view text() const { return {characters(), length}; }

  std::atomic<std::uint32_t> references{1};
  const std::uint32_t length;

 private:
  explicit Entry(std::string_view s) : length(static_cast<std::uint32_t>(s.size())) {
    char* characters = reinterpret_cast<char*>(this + 1);
    std::memcpy(characters, s.data(), s.size());
    characters[s.size()] = '\0';
  }
  ~Entry() = default;
};

namespace {

// The interning table: open addressing with linear probing over slots that hold each entry's
// hash beside it, so that a lookup compares hashes in one array and touches an entry only when
// its hash matches. At most half the slots are used; a removal shifts the slots after it back,
// so no slot is ever a tombstone. Entries are created and erased under the mutex; a reference
// that is not the last one is taken and dropped without it.
class SymbolTable {
 public:
  Symbol::Entry* Intern(std::string_view text) {
    const std::size_t hash = std::hash<std::string_view>()(text);
    std::lock_guard lock(mutex_);
    std::size_t at = hash & mask_;
    for (; slots_[at].entry; at = (at + 1) & mask_) {
      Symbol::Entry* entry = slots_[at].entry;
      if (slots_[at].hash == hash && entry->text() == text) {
        entry->references.fetch_add(1, std::memory_order_relaxed);
        return entry;
      }
    }
    auto* entry = Symbol::Entry::Make(text);
    if (2 * (size_ + 1) > slots_.size()) {
      Grow();
      for (at = hash & mask_; slots_[at].entry;) at = (at + 1) & mask_;
    }
    slots_[at] = {hash, entry};
    ++size_;
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
    Erase(entry);
    Symbol::Entry::Free(entry);
    GetLiveCounters().symbols.fetch_sub(1, std::memory_order_relaxed);
  }

 private:
  struct Slot {
    std::size_t hash = 0;
    Symbol::Entry* entry = nullptr;
  };

  void Grow() {
    std::vector<Slot> old(slots_.size() * 2);
    old.swap(slots_);
    mask_ = slots_.size() - 1;
    for (const Slot& slot : old) {
      if (!slot.entry) continue;
      std::size_t at = slot.hash & mask_;
      while (slots_[at].entry) at = (at + 1) & mask_;
      slots_[at] = slot;
    }
  }

  // Removes `entry`'s slot and moves back every later slot of the run that would no longer be
  // reachable from its home slot.
  void Erase(const Symbol::Entry* entry) {
    std::size_t hole = std::hash<std::string_view>()(entry->text()) & mask_;
    while (slots_[hole].entry != entry) hole = (hole + 1) & mask_;
    for (std::size_t next = (hole + 1) & mask_; slots_[next].entry; next = (next + 1) & mask_) {
      const std::size_t home = slots_[next].hash & mask_;
      // The slot stays when its home lies cyclically after the hole, up to its own place.
      const bool stays =
          hole <= next ? (hole < home && home <= next) : (hole < home || home <= next);
      if (stays) continue;
      slots_[hole] = slots_[next];
      hole = next;
    }
    slots_[hole] = Slot{};
    --size_;
  }

  std::mutex mutex_;
  std::vector<Slot> slots_ = std::vector<Slot>(1024);
  std::size_t mask_ = 1023;
  std::size_t size_ = 0;
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

std::size_t Symbol::length() const noexcept { return entry_ ? entry_->length : 0; }

Symbol Symbol::substr(std::size_t pos, std::size_t count) const {
  const std::string_view text = view();
  if (pos >= text.size()) return Symbol();
  return Symbol(text.substr(pos, count));
}

const char* Symbol::safe_c_str() const noexcept { return entry_ ? entry_->characters() : ""; }

std::string_view Symbol::view() const noexcept {
  return entry_ ? entry_->text() : std::string_view();
}

}  // namespace du
