#include "orl/MemoryPoolAllocated.h"

#include <atomic>
#include <new>

#include "du/LiveCounters.h"

namespace orl {

namespace {

std::atomic<int> g_failuresLeft{0};

bool TakeInjectedFailure() {
  int left = g_failuresLeft.load(std::memory_order_relaxed);
  while (left > 0) {
    if (g_failuresLeft.compare_exchange_weak(left, left - 1, std::memory_order_relaxed))
      return true;
  }
  return false;
}

}  // namespace

void* MemoryPoolAllocated::operator new(std::size_t size) noexcept {
  if (TakeInjectedFailure()) return nullptr;
  void* block = ::operator new(size, std::nothrow);
  if (block) du::GetLiveCounters().poolBlocks.fetch_add(1, std::memory_order_relaxed);
  return block;
}

void MemoryPoolAllocated::operator delete(void* block, std::size_t) noexcept {
  if (!block) return;
  ::operator delete(block);
  du::GetLiveCounters().poolBlocks.fetch_sub(1, std::memory_order_relaxed);
}

void MemoryPoolAllocated::FailNextAllocations(int count) {
  g_failuresLeft.store(count < 0 ? 0 : count, std::memory_order_relaxed);
}

}  // namespace orl
