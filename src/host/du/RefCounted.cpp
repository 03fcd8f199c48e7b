#include "du/RefCounted.h"

#include <cassert>

#include "du/LiveCounters.h"

namespace du {

const OwnerTag kRecordOwnerTag = reinterpret_cast<OwnerTag>(std::uintptr_t{2});

RefCounted::RefCounted() { GetLiveCounters().refCounted.fetch_add(1, std::memory_order_relaxed); }

RefCounted::~RefCounted() {
  assert(count_.load(std::memory_order_relaxed) == 0 && "a referenced object was destroyed");
  GetLiveCounters().refCounted.fetch_sub(1, std::memory_order_relaxed);
}

void RefCounted::AddReference(OwnerTag) const { count_.fetch_add(1, std::memory_order_relaxed); }

int RefCounted::RemoveReference(OwnerTag) const {
  const int before = count_.fetch_sub(1, std::memory_order_acq_rel);
  assert(before > 0 && "reference count went below zero");
  if (before != 1) return before - 1;

  count_.fetch_add(1, std::memory_order_relaxed);
  auto* self = const_cast<RefCounted*>(this);
  if (!self->ZeroReferenceCountHook()) return count_.load(std::memory_order_acquire);

  const int left = count_.fetch_sub(1, std::memory_order_acq_rel) - 1;
  if (left == 0) delete self;
  return left;
}

bool RefCounted::ZeroReferenceCountHook() { return true; }

}  // namespace du
