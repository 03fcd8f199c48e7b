#include "support/Progress.h"

#include <unistd.h>

#include <cstdio>

#include "support/SafeText.h"

namespace artargets {

namespace {

constexpr auto kRedrawEvery = std::chrono::milliseconds(100);

}  // namespace

Progress::Progress(std::string label, std::size_t total)
    : shown_(::isatty(STDERR_FILENO) == 1), label_(SafeText(label)), total_(total) {
  if (shown_) Draw();
}

Progress::~Progress() {
  if (shown_) std::fprintf(stderr, "\r\033[K");
}

void Progress::Advance(std::size_t steps) {
  done_ += steps;
  if (shown_ && std::chrono::steady_clock::now() - lastDrawn_ >= kRedrawEvery) Draw();
}

void Progress::Draw() {
  lastDrawn_ = std::chrono::steady_clock::now();
  if (total_ > 0)
    std::fprintf(stderr, "\r\033[Kartargets: %s... %zu%%", label_.c_str(), done_ * 100 / total_);
  else
    std::fprintf(stderr, "\r\033[Kartargets: %s...", label_.c_str());
  std::fflush(stderr);
}

}  // namespace artargets
