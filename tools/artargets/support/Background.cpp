#include "support/Background.h"

#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace artargets {

namespace {

std::mutex g_mutex;
std::vector<std::jthread> g_threads;  // guarded by g_mutex

}  // namespace

void InBackground(std::function<void()> work) {
  std::lock_guard lock(g_mutex);
  g_threads.emplace_back(std::move(work));
}

void WaitForBackground() {
  std::vector<std::jthread> running;
  {
    std::lock_guard lock(g_mutex);
    running.swap(g_threads);
  }
  running.clear();  // joins each
}

}  // namespace artargets
