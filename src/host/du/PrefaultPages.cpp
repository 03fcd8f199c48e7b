#include "du/PrefaultPages.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace du {

PrefaultPages::PrefaultPages([[maybe_unused]] void* data, [[maybe_unused]] std::size_t size) {
#ifdef MADV_POPULATE_WRITE
  if (size < kSmallest) return;
  // Only whole pages inside the block: the first and last may hold someone else's bytes.
  const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
  const auto start = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t begin = (start + page - 1) & ~(page - 1);
  const std::uintptr_t end = (start + size) & ~(page - 1);
  thread_ = std::jthread([begin, end] {
    ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);  // best effort
  });
#endif
}

}  // namespace du
