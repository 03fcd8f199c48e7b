// dp::ReadWriteLock: the host's shared lock.
//
// - Readers on different threads hold it together; a writer excludes everyone else.
// - A thread that holds it, in either mode, may take it again in either mode: read in read,
//   read in write, write in write, write in read. Each Lock is matched by its own Unlock.
// - Re-entry by the holding thread touches only that thread's own bookkeeping: no atomic
//   operation, no mutex.
// - A thread that holds it for reading and asks for writing (an upgrade) waits until the other
//   readers leave; new readers wait meanwhile. Two threads that both hold it for reading and
//   both ask for writing could never both proceed: the second one gets std::system_error with
//   std::errc::resource_deadlock_would_occur instead of hanging, and still holds its read lock.
// - Waiting writers and upgraders keep new outer readers out, so writers are not starved.
// - Unlocking a mode the thread does not hold throws std::system_error
//   (std::errc::operation_not_permitted).
// Thread rules: any thread; the lock must outlive every holder.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "ArHostExport.h"

namespace dp {

class ARHOST_API ReadWriteLock {
 public:
  ReadWriteLock() = default;
  ReadWriteLock(const ReadWriteLock&) = delete;
  ReadWriteLock& operator=(const ReadWriteLock&) = delete;
  ~ReadWriteLock();

  void ReadLock();
  void ReadUnlock();
  void WriteLock();
  void WriteUnlock();

  // What the calling thread holds (nesting depths), for assertions and tests.
  bool IsReadLockedByCurrentThread() const;
  bool IsWriteLockedByCurrentThread() const;

  // Threads currently blocked in this lock, for tests that must know a thread is waiting
  // before they let it go.
  struct Waiters {
    int readers = 0;
    int writers = 0;
    int upgraders = 0;
  };
  Waiters GetWaiters() const;

  // What one thread holds of one lock: the holding thread's own bookkeeping, kept in
  // thread-local storage by the lock's source.
  struct Hold;

 private:
  static Hold* FindHold(const ReadWriteLock* lock);
  static Hold& AddHold(const ReadWriteLock* lock);
  static void DropHoldIfFree(Hold* hold);

  void AcquireShared();
  void ReleaseShared();
  void AcquireExclusive();
  void Upgrade();
  void ReleaseExclusive(bool becomeReader);

  // Bits of state_: the number of threads counted as readers, and three flags.
  static constexpr std::uint32_t kReaderMask = (1u << 28) - 1;
  static constexpr std::uint32_t kWriter = 1u << 28;
  static constexpr std::uint32_t kWriterWaiting = 1u << 29;
  static constexpr std::uint32_t kUpgrading = 1u << 30;

  std::atomic<std::uint32_t> state_{0};
  mutable std::mutex mutex_;  // every transition that sets kWriter happens under it
  std::condition_variable changed_;
  Waiters waiters_;  // guarded by mutex_
};

}  // namespace dp
