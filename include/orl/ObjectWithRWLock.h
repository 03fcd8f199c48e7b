// orl::ObjectWithRWLock: an object guarded by a counted read-write lock, which several objects
// may share: build one from a lock, or from another object to share that object's lock. An
// object built without a lock, or from a null object or one without a lock, has none, and
// GetRWLock returns null. The user-data operations hold the lock (shared to read, exclusive
// to change).
#pragma once

#include "ArHostExport.h"
#include "du/SmartPtr.h"
#include "orl/Object.h"
#include "orl/ReadWriteLock.h"

namespace orl {

class ARHOST_API ObjectWithRWLock : public Object {
 public:
  bool AddUserData(const du::Symbol& key, du::UserData* data) override;
  du::UserData* GetUserData(const du::Symbol& key) const override;
  bool RemoveUserData(const du::Symbol& key) override;
  bool AddRefCountedUserData(const du::Symbol& key,
                             const du::SmartPtr<du::RefCounted>& data) override;
  du::SmartPtr<du::RefCounted> GetRefCountedUserData(const du::Symbol& key) const override;

 protected:
  ObjectWithRWLock() = default;
  explicit ObjectWithRWLock(const du::SmartPtr<ReadWriteLock>& lock) : lock_(lock) {}
  explicit ObjectWithRWLock(const ObjectWithRWLock* shareLockOf)
      : lock_(shareLockOf ? shareLockOf->lock_ : nullptr) {}
  ~ObjectWithRWLock() override = default;

  // The lock, or null when the object has none.
  ReadWriteLock* GetRWLock() const { return lock_.get(); }

 private:
  du::SmartPtr<ReadWriteLock> lock_;
};

}  // namespace orl
