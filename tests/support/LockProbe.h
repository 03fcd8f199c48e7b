// Which side of the shared annotation lock a call takes: the call runs on a second thread while
// this one holds the lock for writing or for reading, and the lock's waiter counts tell whether
// it had to wait. A generous bound makes a broken lock fail the test instead of hanging it.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <thread>

#include "dp/ScopedLock.h"
#include "orl/Annotation.h"

namespace artest {

enum class LockMode { kNone, kShared, kExclusive };

// True when `call` had to wait while this thread held the lock (for writing when `exclusive`).
inline bool WaitsForLock(const std::function<void()>& call, bool exclusive) {
  const du::SmartPtr<orl::ReadWriteLock> shared = orl::Annotation::GetRWLock();
  dp::ReadWriteLock& lock = shared->GetLock();
  std::optional<dp::ScopedWriter<dp::ReadWriteLock>> writer;
  std::optional<dp::ScopedReader<dp::ReadWriteLock>> reader;
  if (exclusive) writer.emplace(&lock);
  if (!exclusive) reader.emplace(&lock);
  std::atomic<bool> finished{false};
  std::thread other([&] {
    call();
    finished = true;
  });
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  auto waiting = [&] {
    const auto w = lock.GetWaiters();
    return w.readers + w.writers + w.upgraders > 0;
  };
  while (!finished && !waiting() && std::chrono::steady_clock::now() < limit)
    std::this_thread::yield();
  EXPECT_TRUE(finished || waiting()) << "neither finished nor waited";
  const bool waited = !finished;
  writer.reset();
  reader.reset();
  other.join();
  return waited;
}

// Checks that `call` takes the lock in `mode`: a call that takes it waits while another thread
// writes, and one that writes waits while another thread reads.
inline void ExpectLockMode(LockMode mode, const std::function<void()>& call) {
  EXPECT_EQ(WaitsForLock(call, true), mode != LockMode::kNone) << "while another thread writes";
  EXPECT_EQ(WaitsForLock(call, false), mode == LockMode::kExclusive)
      << "while another thread reads";
}

}  // namespace artest
