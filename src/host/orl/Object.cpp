#include "orl/Object.h"

#include <cxxabi.h>

#include <cstdlib>
#include <typeinfo>
#include <unordered_map>

namespace orl {

const ClassType Object::CLASS_TYPE(1);

struct Object::UserDataTable {
  std::unordered_map<du::Symbol, du::UserData*> plain;
  std::unordered_map<du::Symbol, du::SmartPtr<du::RefCounted>> counted;
};

Object::Object() = default;
Object::~Object() = default;

std::string Object::GetDebugClassName() const {
  const char* mangled = typeid(*this).name();
  int status = 0;
  char* demangled = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
  std::string name = status == 0 && demangled ? demangled : mangled;
  std::free(demangled);
  return name;
}

const ClassType& Object::GetClassType() const { return CLASS_TYPE; }

bool Object::IsATypeOfId(std::uint32_t id) const {
  return GetClassType().IsATypeOf(id) || id == CLASS_TYPE.GetId();
}

void Object::GetClassTypes(std::vector<const ClassType*>& out) const {
  out.clear();
  for (const ClassType* t = &GetClassType(); t; t = t->GetParent()) out.push_back(t);
  if (out.back() != &CLASS_TYPE) out.push_back(&CLASS_TYPE);
}

bool Object::AddUserData(const du::Symbol& key, du::UserData* data) {
  if (!data) return false;
  if (!userData_) userData_ = std::make_unique<UserDataTable>();
  return userData_->plain.emplace(key, data).second;
}

du::UserData* Object::GetUserData(const du::Symbol& key) const {
  if (!userData_) return nullptr;
  auto found = userData_->plain.find(key);
  return found == userData_->plain.end() ? nullptr : found->second;
}

bool Object::RemoveUserData(const du::Symbol& key) {
  return userData_ && (userData_->plain.erase(key) + userData_->counted.erase(key)) > 0;
}

std::string Object::GetObjectDescription() const {
  return GetDebugClassName() + " (class type " + std::to_string(GetClassType().GetId()) + ")";
}

du::Symbol Object::GetObjectName() const { return du::Symbol::EMPTY; }

bool Object::AddRefCountedUserData(const du::Symbol& key,
                                   const du::SmartPtr<du::RefCounted>& data) {
  if (!data) return false;
  if (!userData_) userData_ = std::make_unique<UserDataTable>();
  return userData_->counted.emplace(key, data).second;
}

du::SmartPtr<du::RefCounted> Object::GetRefCountedUserData(const du::Symbol& key) const {
  if (!userData_) return nullptr;
  auto found = userData_->counted.find(key);
  return found == userData_->counted.end() ? nullptr : found->second;
}

}  // namespace orl
