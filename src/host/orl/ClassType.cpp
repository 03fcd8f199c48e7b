#include "orl/ClassType.h"

#include <algorithm>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace orl {

namespace {

struct Registry {
  std::mutex mutex;
  std::unordered_map<std::uint32_t, std::vector<const ClassType*>> types;  // oldest first
};

Registry& GetRegistry() {
  // Never destroyed: class types of plug-ins unregister after this library's statics.
  static Registry* registry = new Registry;
  return *registry;
}

}  // namespace

ClassType::ClassType(std::uint32_t id, const ClassType* parent) : id_(id), parent_(parent) {
  Registry& r = GetRegistry();
  std::lock_guard lock(r.mutex);
  r.types[id].push_back(this);
}

ClassType::~ClassType() {
  Registry& r = GetRegistry();
  std::lock_guard lock(r.mutex);
  auto& sameId = r.types[id_];
  sameId.erase(std::remove(sameId.begin(), sameId.end(), this), sameId.end());
  if (sameId.empty()) r.types.erase(id_);
}

bool ClassType::IsATypeOf(std::uint32_t id) const {
  for (const ClassType* t = this; t; t = t->parent_)
    if (t->id_ == id) return true;
  return false;
}

const ClassType* ClassType::Find(std::uint32_t id) {
  Registry& r = GetRegistry();
  std::lock_guard lock(r.mutex);
  auto found = r.types.find(id);
  return found == r.types.end() ? nullptr : found->second.front();
}

}  // namespace orl
