// orl::ReadWriteLock: the counted form of the host's shared lock (dp::ReadWriteLock), so that
// several objects can share one lock and the last of them releases it. Same rules as
// dp::ReadWriteLock; hold it through dp::ScopedReader / dp::ScopedWriter.
#pragma once

#include "ArHostExport.h"
#include "dp/ReadWriteLock.h"
#include "du/RefCounted.h"
#include "orl/MemoryPoolAllocated.h"

namespace orl {

class ARHOST_API ReadWriteLock : public MemoryPoolAllocated, public virtual du::RefCounted {
 public:
  ReadWriteLock() = default;

  void ReadLock() { lock_.ReadLock(); }
  void ReadUnlock() { lock_.ReadUnlock(); }
  void WriteLock() { lock_.WriteLock(); }
  void WriteUnlock() { lock_.WriteUnlock(); }
  dp::ReadWriteLock& GetLock() { return lock_; }

 protected:
  ~ReadWriteLock() override = default;

 private:
  dp::ReadWriteLock lock_;
};

}  // namespace orl
