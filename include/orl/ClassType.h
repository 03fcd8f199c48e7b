// orl::ClassType: the numeric identity of a class in the host's object model. A class type is
// built once, usually as a static constant of its class, and registered under its id while it
// exists. It may name a parent type, and answers whether it is, or derives from, a given id.
// When two live class types share an id, Find returns the one registered first.
// Thread rules: construction and destruction from static initialisation or any thread.
#pragma once

#include <cstdint>

#include "ArHostExport.h"

namespace orl {

class ARHOST_API ClassType {
 public:
  explicit ClassType(std::uint32_t id, const ClassType* parent = nullptr);
  ~ClassType();
  ClassType(const ClassType&) = delete;
  ClassType& operator=(const ClassType&) = delete;

  std::uint32_t GetId() const { return id_; }
  const ClassType* GetParent() const { return parent_; }
  // True when this type or one of its ancestors has `id`.
  bool IsATypeOf(std::uint32_t id) const;

  // The registered class type with `id`, or null.
  static const ClassType* Find(std::uint32_t id);

 private:
  std::uint32_t id_;
  const ClassType* parent_;
};

}  // namespace orl
