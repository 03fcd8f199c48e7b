#include "orl/Annotation.h"

#include <mutex>

namespace orl {

namespace {

std::mutex g_mutex;
du::SmartPtr<ReadWriteLock>* g_lock = nullptr;  // allocated on first use, never destroyed

du::SmartPtr<ReadWriteLock>& Slot() {
  if (!g_lock) g_lock = new du::SmartPtr<ReadWriteLock>;
  return *g_lock;
}

}  // namespace

du::SmartPtr<ReadWriteLock> Annotation::GetRWLock() {
  std::lock_guard lock(g_mutex);
  if (!Slot()) Slot() = new ReadWriteLock;
  return Slot();
}

void Annotation::ReleaseRWLock() {
  du::SmartPtr<ReadWriteLock> released;
  std::lock_guard lock(g_mutex);
  released = std::move(Slot());
}

}  // namespace orl
