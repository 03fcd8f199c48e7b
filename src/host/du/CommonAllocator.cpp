#include "du/CommonAllocator.h"

#include <new>

#include "du/LiveCounters.h"

namespace du {

void* CommonAllocatorImpl::Allocate(std::size_t size) {
  void* block = ::operator new(size);
  GetLiveCounters().commonBlocks.fetch_add(1, std::memory_order_relaxed);
  return block;
}

void CommonAllocatorImpl::Free(void* block, std::size_t) noexcept {
  if (!block) return;
  ::operator delete(block);
  GetLiveCounters().commonBlocks.fetch_sub(1, std::memory_order_relaxed);
}

}  // namespace du
