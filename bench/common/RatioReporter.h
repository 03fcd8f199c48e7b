// Runs the registered Google Benchmark benchmarks and then prints each measured figure as a
// ratio against a baseline measured in the same run. The machine drifts between runs, so only
// such ratios are compared across runs. Figures are medians of the repetitions (5 unless
// --benchmark_repetitions or the benchmark itself says otherwise).
#pragma once

#include <map>
#include <string>
#include <vector>

namespace arbench {

struct Ratio {
  std::string subject;   // benchmark name as registered
  std::string baseline;  // benchmark name as registered
  std::string goal;      // what the ratio should be, for the reader ("<= 1.5")
};

// The median of one benchmark's repetitions: nanoseconds per item (per iteration when it
// processes no items), and each of its user counters.
struct Median {
  double nsPerItem = 0;
  std::map<std::string, double> counters;
};

// Runs the benchmarks the arguments select and gives each one's median, by registered name.
std::map<std::string, Median> RunForMedians(int argc, char** argv);

int RunWithRatios(int argc, char** argv, const std::vector<Ratio>& ratios);

}  // namespace arbench
