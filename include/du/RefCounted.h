// du::RefCounted: the base of every object whose lifetime is shared through du::SmartPtr.
//
// A reference is taken and dropped with an owner tag: the address of the holding SmartPtr, or
// kRecordOwnerTag for a reference carried inside a notification record. This host does not
// track owners by tag; the tag documents who holds what.
//
// Release rule: when RemoveReference brings the count to zero, the reference is added back and
// the virtual ZeroReferenceCountHook() runs. If it returns true, the reference is removed again
// and, if the count is then zero, the object is deleted through its virtual destructor. If it
// returns false, the hook has kept that last reference and owns it.
//
// Objects are never deleted by hand: the destructor is protected. Debug builds check that the
// count never goes below zero and is zero when the object is destroyed.
// Thread rules: AddReference and RemoveReference may be called from any thread.
#pragma once

#include <atomic>
#include <cstdint>

#include "ArHostExport.h"

namespace du {

using OwnerTag = const void*;

// The owner tag of a reference that travels inside a notification record.
ARHOST_API extern const OwnerTag kRecordOwnerTag;

class ARHOST_API RefCounted {
 public:
  RefCounted(const RefCounted&) = delete;
  RefCounted& operator=(const RefCounted&) = delete;

  void AddReference(OwnerTag owner) const;
  // Returns the count left after the release rule has run (0 once the object is deleted).
  int RemoveReference(OwnerTag owner) const;
  int GetReferenceCount() const { return count_.load(std::memory_order_acquire); }

 protected:
  RefCounted();
  virtual ~RefCounted();

  // Runs with the last reference added back. Return true to let the object be deleted.
  virtual bool ZeroReferenceCountHook();

 private:
  mutable std::atomic<int> count_{0};
};

}  // namespace du
