// artargets::Progress: shows how far long work has got, on one line of the terminal
// ("artargets: reading big.xml... 41%"), and nothing at all when stderr is not a terminal, so
// that scripts and logs stay clean. The line is redrawn at most ten times a second and erased
// when the work ends.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

namespace artargets {

class Progress {
 public:
  explicit Progress(std::string label, std::size_t total = 0);
  ~Progress();
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  void Advance(std::size_t steps = 1);

 private:
  void Draw();

  const bool shown_;
  std::string label_;
  const std::size_t total_;
  std::size_t done_ = 0;
  std::chrono::steady_clock::time_point lastDrawn_;
};

}  // namespace artargets
