// Benchmarks that compare ours with a baseline in pairs: each case runs in a child process of its
// own (its peak resident memory is that case's alone, and nothing one case leaves in the
// allocator helps the next), the two of a pair one right after the other, which goes first
// alternating. Each repetition keeps the pair's ratio; the median of these paired ratios is what
// a machine that is slower for a while cannot tilt the way it tilts two medians taken apart.
#pragma once

#include <functional>
#include <string>
#include <utility>

namespace arbench {

// What one case's run gave: its seconds and peak resident memory, what it printed (bytes, when
// it prints to a file), or why it gave nothing. A child program also says how much of the
// processor it used, in its own code and in the kernel's (every thread's, from wait4).
struct Measured {
  double seconds = 0;
  double peakBytes = 0;
  double outputBytes = 0;
  std::string failure;  // empty when the case ran to its end
  double userSeconds = 0;
  double systemSeconds = 0;
};

// Runs `body` in a child process; it gives the seconds it measured. Returns them, and the
// child's peak resident memory in bytes.
std::pair<double, double> InChild(const std::function<double()>& body);

// Registers the benchmark `name` over `count` items: `prepare` runs first (untimed), then each
// repetition times `ours` and `baseline` as a pair. Counters: "ratio", "baseline_ns" (per
// item), "peak_bytes", "baseline_peak_bytes" and "peak_ratio".
void RegisterPair(const std::string& name, int count, std::function<void()> prepare,
                  std::function<double()> ours, std::function<double()> baseline);

// The same for cases that measure themselves (a program run as a child process), with
// `repetitions` of the pair. A case that fails ends the benchmark with its failure as the
// error; "output_bytes" is what ours printed, when it says, and "user_seconds" and
// "system_seconds" its processor time, when it says.
void RegisterMeasuredPair(const std::string& name, int count, int repetitions,
                          std::function<void()> prepare, std::function<Measured()> ours,
                          std::function<Measured()> baseline);

}  // namespace arbench
