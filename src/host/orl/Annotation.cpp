#include "orl/Annotation.h"

#include <mutex>

namespace orl {

namespace {

std::mutex g_lockMutex;
du::SmartPtr<ReadWriteLock>* g_lock = nullptr;  // allocated on first use, never destroyed

du::SmartPtr<ReadWriteLock>& LockSlot() {
  if (!g_lock) g_lock = new du::SmartPtr<ReadWriteLock>;
  return *g_lock;
}

}  // namespace

du::SmartPtr<ReadWriteLock> Annotation::GetRWLock() {
  std::lock_guard lock(g_lockMutex);
  if (!LockSlot()) LockSlot() = new ReadWriteLock;
  return LockSlot();
}

void Annotation::ReleaseRWLock() {
  du::SmartPtr<ReadWriteLock> released;
  std::lock_guard lock(g_lockMutex);
  released = std::move(LockSlot());
}

}  // namespace orl
