// du::PrefaultPages: maps in the pages of a large block about to be filled, on a thread of its
// own, while the caller fills it. A page the process has never touched costs the kernel
// microseconds to clear and map, and a large text or file buffer has hundreds of thousands of
// them: taken ahead on another core, they are ready when the filling reaches them. The mapping
// never changes the block's bytes (MADV_POPULATE_WRITE), so it may run ahead of the filler or
// behind it. The block is offered huge pages (MADV_HUGEPAGE) first. Blocks under 16 MiB, and
// kernels without the call, are left to fault as they are filled. The destructor waits for the
// thread.
#pragma once

#include <cstddef>
#include <thread>

namespace du {

class PrefaultPages {
 public:
  PrefaultPages(void* data, std::size_t size);
  PrefaultPages(const PrefaultPages&) = delete;
  PrefaultPages& operator=(const PrefaultPages&) = delete;

  static constexpr std::size_t kSmallest = std::size_t{16} << 20;

 private:
  std::jthread thread_;
};

}  // namespace du
