#include "MemoryMeter.h"

#include <malloc.h>

#include <atomic>
#include <climits>
#include <cstdlib>
#include <new>
#include <pugixml.hpp>

namespace arbench {

namespace {

std::atomic<std::size_t> g_inUse{0};
std::atomic<std::size_t> g_peak{0};

void* Take(std::size_t size) {
  void* block = std::malloc(size ? size : 1);
  if (!block) return nullptr;
  const std::size_t now = g_inUse.fetch_add(malloc_usable_size(block)) + malloc_usable_size(block);
  std::size_t peak = g_peak.load();
  while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
  }
  return block;
}

void Give(void* block) {
  if (!block) return;
  g_inUse.fetch_sub(malloc_usable_size(block));
  std::free(block);
}

}  // namespace

std::size_t BytesInUse() { return g_inUse.load(); }
std::size_t PeakBytes() { return g_peak.load(); }
void ResetPeak() { g_peak.store(g_inUse.load()); }
void StartMetering() {
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, INT_MAX);
  pugi::set_memory_management_functions(&Take, &Give);
}

void ReportPerTarget(benchmark::State& state, std::size_t bytesBefore, int count) {
  state.counters["peak_bytes_per_target"] = static_cast<double>(PeakBytes() - bytesBefore) / count;
  state.SetItemsProcessed(state.iterations() * count);
}

}  // namespace arbench

void* operator new(std::size_t size) {
  if (void* block = arbench::Take(size)) return block;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return arbench::Take(size); }
void operator delete(void* block) noexcept { arbench::Give(block); }
void operator delete[](void* block) noexcept { arbench::Give(block); }
void operator delete(void* block, std::size_t) noexcept { arbench::Give(block); }
void operator delete[](void* block, std::size_t) noexcept { arbench::Give(block); }
