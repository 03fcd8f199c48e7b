// orl::MemoryPoolAllocated: gives host objects (and plug-in classes derived from them) the
// host's memory pool as operator new and sized operator delete. Every block is counted in
// du::LiveCounters::poolBlocks.
//
// operator new does not throw: when the pool cannot give a block it returns null, and the
// new-expression yields null without running the constructor, so callers test the result.
// The pool is backed by the system heap. FailNextAllocations lets a host application (or a
// test) make the next allocations fail, to exercise those roads.
// Thread rules: any thread.
#pragma once

#include <cstddef>

#include "ArHostExport.h"

namespace orl {

class ARHOST_API MemoryPoolAllocated {
 public:
  static void* operator new(std::size_t size) noexcept;
  static void operator delete(void* block, std::size_t size) noexcept;

  // The next `count` pool allocations return null.
  static void FailNextAllocations(int count);

 protected:
  MemoryPoolAllocated() = default;
  ~MemoryPoolAllocated() = default;
};

}  // namespace orl
