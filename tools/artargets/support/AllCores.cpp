#include "support/AllCores.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace artargets {

unsigned CoreCount() { return std::max(1u, std::thread::hardware_concurrency()); }

void OnAllCores(std::size_t count, const std::function<void(std::size_t)>& work,
                const std::function<void(std::size_t done)>& finished) {
  std::atomic<std::size_t> next{0}, done{0};
  std::vector<std::jthread> threads;
  for (unsigned t = 0; t < std::min<std::size_t>(CoreCount(), count); ++t)
    threads.emplace_back([&] {
      for (std::size_t i; (i = next++) < count;) {
        work(i);
        ++done;
        done.notify_all();
      }
    });
  if (!finished) return;  // the threads' destructors wait for them
  for (std::size_t shown = 0; shown < count;) {
    done.wait(shown);  // wakes when a piece ends
    shown = done.load();
    finished(shown);
  }
}

}  // namespace artargets
