#include "dp/ReadWriteLock.h"

#include <algorithm>
#include <cassert>
#include <system_error>
#include <vector>

namespace dp {

// What one thread holds of one lock. `countedReader` says whether the thread is included in
// the reader count of state_: a thread that took read inside its own write is not, until it
// lets the write go.
struct ReadWriteLock::Hold {
  const ReadWriteLock* lock;
  std::uint32_t reads;
  std::uint32_t writes;
  bool countedReader;
};

namespace {

[[noreturn]] void NotHeld(const char* what) {
  throw std::system_error(std::make_error_code(std::errc::operation_not_permitted), what);
}

// The locks this thread holds. An entry lives only while something is held, so the table is
// short (usually one entry) and never names a destroyed lock. The first entries sit in a
// trivially built thread-local array, which the holding thread reaches with a plain load
// (initial-exec model, no initialisation guard); a thread that holds more locks at once
// spills into a vector.
constexpr std::size_t kInlineHolds = 8;
struct InlineHolds {
  std::size_t count;
  ReadWriteLock::Hold entries[kInlineHolds];
};
thread_local InlineHolds t_inline __attribute__((tls_model("initial-exec")));
thread_local std::vector<ReadWriteLock::Hold> t_spilled;

}  // namespace

ReadWriteLock::Hold* ReadWriteLock::FindHold(const ReadWriteLock* lock) {
  InlineHolds& holds = t_inline;
  for (std::size_t i = 0; i < holds.count; ++i)
    if (holds.entries[i].lock == lock) return &holds.entries[i];
  if (holds.count < kInlineHolds) return nullptr;
  for (Hold& hold : t_spilled)
    if (hold.lock == lock) return &hold;
  return nullptr;
}

ReadWriteLock::Hold& ReadWriteLock::AddHold(const ReadWriteLock* lock) {
  InlineHolds& holds = t_inline;
  if (holds.count < kInlineHolds) return holds.entries[holds.count++] = Hold{lock, 0, 0, false};
  return t_spilled.emplace_back(Hold{lock, 0, 0, false});
}

void ReadWriteLock::DropHoldIfFree(Hold* hold) {
  if (hold->reads != 0 || hold->writes != 0) return;
  InlineHolds& holds = t_inline;
  Hold* inlineEnd = holds.entries + holds.count;
  if (hold >= holds.entries && hold < inlineEnd) {
    // Refill the inline slot from the spill first, so lookups stop at the inline array
    // whenever it is not full. (Only a full array can have spilled.)
    if (holds.count == kInlineHolds && !t_spilled.empty()) {
      *hold = t_spilled.back();
      t_spilled.pop_back();
    } else {
      *hold = holds.entries[--holds.count];
    }
    return;
  }
  *hold = t_spilled.back();
  t_spilled.pop_back();
}

ReadWriteLock::~ReadWriteLock() {
  assert(state_.load() == 0 && "a read-write lock was destroyed while held or awaited");
}

void ReadWriteLock::ReadLock() {
  if (Hold* hold = FindHold(this)) {
    ++hold->reads;
    return;
  }
  AcquireShared();
  Hold& hold = AddHold(this);
  hold.reads = 1;
  hold.countedReader = true;
}

void ReadWriteLock::ReadUnlock() {
  Hold* hold = FindHold(this);
  if (!hold || hold->reads == 0) NotHeld("ReadUnlock without a read lock held");
  if (--hold->reads == 0 && hold->countedReader) {
    hold->countedReader = false;
    ReleaseShared();
  }
  DropHoldIfFree(hold);
}

void ReadWriteLock::WriteLock() {
  Hold* hold = FindHold(this);
  if (hold && hold->writes > 0) {
    ++hold->writes;
    return;
  }
  // A thread that reads without writing is always a counted reader.
  if (hold)
    Upgrade();
  else
    AcquireExclusive();
  if (!hold) hold = &AddHold(this);
  hold->writes = 1;
}

void ReadWriteLock::WriteUnlock() {
  Hold* hold = FindHold(this);
  if (!hold || hold->writes == 0) NotHeld("WriteUnlock without a write lock held");
  if (--hold->writes == 0) {
    const bool stayReader = hold->reads > 0;
    ReleaseExclusive(stayReader && !hold->countedReader);
    hold->countedReader = stayReader;
  }
  DropHoldIfFree(hold);
}

bool ReadWriteLock::IsReadLockedByCurrentThread() const {
  const Hold* hold = FindHold(this);
  return hold && hold->reads > 0;
}

bool ReadWriteLock::IsWriteLockedByCurrentThread() const {
  const Hold* hold = FindHold(this);
  return hold && hold->writes > 0;
}

ReadWriteLock::Waiters ReadWriteLock::GetWaiters() const {
  std::lock_guard lock(mutex_);
  return waiters_;
}

void ReadWriteLock::AcquireShared() {
  constexpr std::uint32_t kBlocksReaders = kWriter | kWriterWaiting | kUpgrading;
  std::uint32_t state = state_.load(std::memory_order_relaxed);
  while ((state & kBlocksReaders) == 0) {
    if (state_.compare_exchange_weak(state, state + 1, std::memory_order_acquire,
                                     std::memory_order_relaxed))
      return;
  }
  std::unique_lock lock(mutex_);
  ++waiters_.readers;
  changed_.wait(lock,
                [&] { return (state_.load(std::memory_order_relaxed) & kBlocksReaders) == 0; });
  --waiters_.readers;
  // No flag can be set while we hold the mutex, so counting ourselves in cannot race a writer.
  state_.fetch_add(1, std::memory_order_acquire);
}

void ReadWriteLock::ReleaseShared() {
  const std::uint32_t before = state_.fetch_sub(1, std::memory_order_release);
  // A waiting writer or upgrader set its flag under the mutex before it checked the count, so
  // either it sees our decrement or we see its flag and wake it.
  if (before & (kWriterWaiting | kUpgrading)) {
    std::lock_guard lock(mutex_);
    changed_.notify_all();
  }
}

void ReadWriteLock::AcquireExclusive() {
  std::unique_lock lock(mutex_);
  if (waiters_.writers++ == 0) state_.fetch_or(kWriterWaiting, std::memory_order_relaxed);
  changed_.wait(lock, [&] {
    return (state_.load(std::memory_order_acquire) & (kReaderMask | kWriter | kUpgrading)) == 0;
  });
  // Take the lock before dropping the waiting flag, so no reader slips in between.
  state_.fetch_or(kWriter, std::memory_order_acquire);
  if (--waiters_.writers == 0) state_.fetch_and(~kWriterWaiting, std::memory_order_relaxed);
}

void ReadWriteLock::Upgrade() {
  std::unique_lock lock(mutex_);
  if (state_.load(std::memory_order_relaxed) & kUpgrading)
    throw std::system_error(std::make_error_code(std::errc::resource_deadlock_would_occur),
                            "two readers of one lock both asked to write");
  state_.fetch_or(kUpgrading, std::memory_order_relaxed);
  ++waiters_.upgraders;
  // We are one of the readers, so no writer can hold the lock: wait for the others to leave.
  changed_.wait(lock, [&] { return (state_.load(std::memory_order_acquire) & kReaderMask) == 1; });
  --waiters_.upgraders;
  state_.fetch_or(kWriter, std::memory_order_acquire);
  state_.fetch_and(~kUpgrading, std::memory_order_relaxed);
}

void ReadWriteLock::ReleaseExclusive(bool becomeReader) {
  std::lock_guard lock(mutex_);
  if (becomeReader) state_.fetch_add(1, std::memory_order_relaxed);
  state_.fetch_and(~kWriter, std::memory_order_release);
  changed_.notify_all();
}

}  // namespace dp
