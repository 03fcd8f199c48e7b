#include "orl/ObjectWithRWLock.h"

#include "dp/ScopedLock.h"

namespace orl {

bool ObjectWithRWLock::AddUserData(const du::Symbol& key, du::UserData* data) {
  dp::ScopedWriter guard(GetRWLock());
  return Object::AddUserData(key, data);
}

du::UserData* ObjectWithRWLock::GetUserData(const du::Symbol& key) const {
  dp::ScopedReader guard(GetRWLock());
  return Object::GetUserData(key);
}

bool ObjectWithRWLock::RemoveUserData(const du::Symbol& key) {
  dp::ScopedWriter guard(GetRWLock());
  return Object::RemoveUserData(key);
}

bool ObjectWithRWLock::AddRefCountedUserData(const du::Symbol& key,
                                             const du::SmartPtr<du::RefCounted>& data) {
  dp::ScopedWriter guard(GetRWLock());
  return Object::AddRefCountedUserData(key, data);
}

du::SmartPtr<du::RefCounted> ObjectWithRWLock::GetRefCountedUserData(const du::Symbol& key) const {
  dp::ScopedReader guard(GetRWLock());
  return Object::GetRefCountedUserData(key);
}

}  // namespace orl
