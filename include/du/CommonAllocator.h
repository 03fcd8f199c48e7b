// The host's common allocator: the heap of small host objects such as observer proxies.
// du::CommonAllocated gives a class operator new and delete from it. Blocks are counted in
// du::LiveCounters::commonBlocks. Thread rules: any thread.
#pragma once

#include <cstddef>

#include "ArHostExport.h"

namespace du {

class ARHOST_API CommonAllocatorImpl {
 public:
  // Throws std::bad_alloc when no memory is left.
  static void* Allocate(std::size_t size);
  static void Free(void* block, std::size_t size) noexcept;
};

class ARHOST_API CommonAllocated {
 public:
  static void* operator new(std::size_t size) { return CommonAllocatorImpl::Allocate(size); }
  static void operator delete(void* block, std::size_t size) noexcept {
    CommonAllocatorImpl::Free(block, size);
  }

 protected:
  CommonAllocated() = default;
  ~CommonAllocated() = default;
};

}  // namespace du
