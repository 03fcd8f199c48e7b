// orl::Annotation: the host's annotations. What plug-ins use of it is the shared annotation
// lock, one process-wide lock that guards every annotation and whatever a plug-in chooses to
// guard with it.
#pragma once

#include "ArHostExport.h"
#include "du/SmartPtr.h"
#include "orl/ReadWriteLock.h"

namespace orl {

class ARHOST_API Annotation {
 public:
  // The shared annotation lock, created on first use; every call until the next host shutdown
  // returns the same lock. Never empty unless memory is exhausted. Thread rules: any thread.
  static du::SmartPtr<ReadWriteLock> GetRWLock();
  // Drops the host's own reference (host shutdown); holders keep theirs.
  static void ReleaseRWLock();
};

}  // namespace orl
