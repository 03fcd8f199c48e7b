#include <gtest/gtest.h>

#include <atomic>
#include <latch>
#include <random>
#include <system_error>
#include <thread>
#include <vector>

#include "dp/ReadWriteLock.h"

namespace {

using dp::ReadWriteLock;

// Spins (yielding) until `done` holds; the lock reports its waiters, so no sleep is needed.
template <class Predicate>
void WaitUntil(Predicate done) {
  while (!done()) std::this_thread::yield();
}

// True when another thread can take the lock for writing (for reading when `read`) right now and
// leave again.
bool FreeForOthers(ReadWriteLock& lock, bool read = false) {
  bool taken = false;
  std::thread([&] {
    read ? lock.ReadLock() : lock.WriteLock();
    taken = true;
    read ? lock.ReadUnlock() : lock.WriteUnlock();
  }).join();
  return taken;
}

// The holding thread nests every combination; a read taken inside a write outlives it and lets
// other readers in; unlocking what is not held is refused.
TEST(ReadWriteLockTest, HoldingThreadNestsEveryCombination) {
  ReadWriteLock lock;
  lock.ReadLock();
  lock.ReadLock();   // read in read
  lock.WriteLock();  // write in read (the only reader)
  lock.ReadLock();   // read in write
  lock.WriteLock();  // write in write
  EXPECT_TRUE(lock.IsWriteLockedByCurrentThread());
  lock.WriteUnlock();
  lock.ReadUnlock();
  lock.WriteUnlock();
  EXPECT_FALSE(lock.IsWriteLockedByCurrentThread());
  EXPECT_TRUE(lock.IsReadLockedByCurrentThread());
  lock.ReadUnlock();
  lock.ReadUnlock();
  EXPECT_FALSE(lock.IsReadLockedByCurrentThread());
  EXPECT_TRUE(FreeForOthers(lock));

  lock.WriteLock();
  lock.ReadLock();
  lock.WriteUnlock();
  EXPECT_TRUE(FreeForOthers(lock, true)) << "now a plain reader: other readers may join";
  try {
    lock.WriteUnlock();
    FAIL() << "WriteUnlock under a read lock must throw";
  } catch (const std::system_error& e) {
    EXPECT_EQ(e.code(), std::errc::operation_not_permitted);
  }
  lock.ReadUnlock();
  EXPECT_THROW(lock.ReadUnlock(), std::system_error);
  EXPECT_TRUE(FreeForOthers(lock));
}

// A writer, or a reader asking to write, waits for the other reader to leave; readers that come
// while it waits wait behind it.
TEST(ReadWriteLockTest, WriterWaitsForReadersAndKeepsNewReadersOut) {
  for (bool upgrade : {false, true}) {
    SCOPED_TRACE(upgrade ? "upgrader" : "writer");
    ReadWriteLock lock;
    std::vector<const char*> order;  // written only under the lock
    lock.ReadLock();
    std::thread writer([&] {
      if (upgrade) lock.ReadLock();
      lock.WriteLock();
      order.push_back("writer");
      lock.WriteUnlock();
      if (upgrade) lock.ReadUnlock();
    });
    WaitUntil(
        [&] { return (upgrade ? lock.GetWaiters().upgraders : lock.GetWaiters().writers) == 1; });
    std::thread lateReader([&] {
      lock.ReadLock();
      order.push_back("late reader");
      lock.ReadUnlock();
    });
    WaitUntil([&] { return lock.GetWaiters().readers == 1; });
    EXPECT_TRUE(order.empty());
    lock.ReadUnlock();
    writer.join();
    lateReader.join();
    EXPECT_EQ(order, (std::vector<const char*>{"writer", "late reader"}));
    EXPECT_TRUE(FreeForOthers(lock));
  }
}

TEST(ReadWriteLockTest, SecondUpgraderIsToldInsteadOfDeadlocking) {
  ReadWriteLock lock;
  std::latch bothReading(2);
  std::atomic<bool> firstWrote{false};
  std::thread first([&] {
    lock.ReadLock();
    bothReading.arrive_and_wait();
    lock.WriteLock();  // waits for the second reader
    firstWrote = true;
    lock.WriteUnlock();
    lock.ReadUnlock();
  });
  lock.ReadLock();
  bothReading.arrive_and_wait();
  WaitUntil([&] { return lock.GetWaiters().upgraders == 1; });
  try {
    lock.WriteLock();
    FAIL() << "the second upgrade must be refused";
  } catch (const std::system_error& e) {
    EXPECT_EQ(e.code(), std::errc::resource_deadlock_would_occur);
  }
  EXPECT_TRUE(lock.IsReadLockedByCurrentThread()) << "the refused thread keeps its read lock";
  EXPECT_FALSE(firstWrote);
  lock.ReadUnlock();
  first.join();
  EXPECT_TRUE(firstWrote);
}

// Threads mix plain and nested reads, writes and upgrades. Writers change plain ints under
// the lock, so ThreadSanitizer sees any section the lock fails to exclude.
TEST(ReadWriteLockTest, StressOfNestedReadersWritersAndUpgraders) {
  ReadWriteLock lock;
  int writes = 0;
  int mirror = 0;  // always equal to `writes` outside a write section
  std::atomic<int> expectedWrites{0};
  std::atomic<int> refusedUpgrades{0};
  constexpr int kThreads = 4, kRounds = 3000;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      std::mt19937 random(t);
      for (int i = 0; i < kRounds; ++i) {
        switch (random() % 4) {
          case 0:  // nested readers see a consistent state
            lock.ReadLock();
            lock.ReadLock();
            EXPECT_EQ(writes, mirror);
            lock.ReadUnlock();
            lock.ReadUnlock();
            break;
          case 1:  // writer with a read and a write nested inside
            lock.WriteLock();
            ++writes;
            lock.ReadLock();
            lock.WriteLock();
            ++mirror;
            lock.WriteUnlock();
            lock.ReadUnlock();
            lock.WriteUnlock();
            ++expectedWrites;
            break;
          default:  // reader that upgrades, or is told the upgrade would deadlock
            lock.ReadLock();
            try {
              lock.WriteLock();
              ++writes;
              ++mirror;
              lock.WriteUnlock();
              ++expectedWrites;
            } catch (const std::system_error&) {
              ++refusedUpgrades;
            }
            lock.ReadUnlock();
        }
      }
    });
  }
  for (auto& th : threads) th.join();
  EXPECT_EQ(writes, expectedWrites.load());
  EXPECT_EQ(mirror, writes);
  EXPECT_TRUE(FreeForOthers(lock));
}

}  // namespace
