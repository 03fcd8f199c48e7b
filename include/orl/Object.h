// orl::Object: the base of the host's object model. An object is counted (du::RefCounted,
// virtually), comes from the memory pool, has a class type, and can carry user data under
// symbol keys: plain user data (not owned) and counted user data (a reference is held).
// Thread rules: an orl::Object guards nothing itself; orl::ObjectWithRWLock adds a lock.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ArHostExport.h"
#include "du/RefCounted.h"
#include "du/SmartPtr.h"
#include "du/Symbol.h"
#include "du/UserData.h"
#include "orl/ClassType.h"
#include "orl/MemoryPoolAllocated.h"

namespace orl {

class ARHOST_API Object : public MemoryPoolAllocated, public virtual du::RefCounted {
 public:
  static const ClassType CLASS_TYPE;  // id 1; every object is a type of it

  // The demangled C++ name of the object's class.
  virtual std::string GetDebugClassName() const;
  virtual const ClassType& GetClassType() const;
  // True when the object's class type, an ancestor of it, or orl::Object has `id`.
  virtual bool IsATypeOfId(std::uint32_t id) const;
  // The object's class type, then its ancestors, then orl::Object's.
  virtual void GetClassTypes(std::vector<const ClassType*>& out) const;
  // False when `key` already carries data or `data` is null. The object does not own `data`.
  virtual bool AddUserData(const du::Symbol& key, du::UserData* data);
  virtual du::UserData* GetUserData(const du::Symbol& key) const;
  virtual bool RemoveUserData(const du::Symbol& key);
  // "<debug class name> (class type <id>)".
  virtual std::string GetObjectDescription() const;
  // Objects are unnamed unless a class says otherwise.
  virtual du::Symbol GetObjectName() const;
  // As AddUserData, holding a reference to `data` until it is removed or the object goes.
  virtual bool AddRefCountedUserData(const du::Symbol& key,
                                     const du::SmartPtr<du::RefCounted>& data);
  virtual du::SmartPtr<du::RefCounted> GetRefCountedUserData(const du::Symbol& key) const;

 protected:
  Object();
  ~Object() override;

 private:
  struct UserDataTable;
  std::unique_ptr<UserDataTable> userData_;
};

}  // namespace orl
