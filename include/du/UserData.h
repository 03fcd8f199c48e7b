// du::UserData: the base of anything attached to a host object under a key (see
// orl::Object::AddUserData). Attaching does not transfer ownership.
#pragma once

#include "ArHostExport.h"

namespace du {

class ARHOST_API UserData {
 public:
  virtual ~UserData() = default;

 protected:
  UserData() = default;
  UserData(const UserData&) = default;
  UserData& operator=(const UserData&) = default;
};

}  // namespace du
