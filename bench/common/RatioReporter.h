// Runs the registered Google Benchmark benchmarks and then prints each measured figure as a
// ratio against a baseline measured in the same run. The machine drifts between runs, so only
// such ratios are compared across runs. Figures are medians of the repetitions (5 unless
// --benchmark_repetitions says otherwise).
#pragma once

#include <string>
#include <vector>

namespace arbench {

struct Ratio {
  std::string subject;   // benchmark name as registered
  std::string baseline;  // benchmark name as registered
  std::string goal;      // what the ratio should be, for the reader ("<= 1.5")
};

int RunWithRatios(int argc, char** argv, const std::vector<Ratio>& ratios);

}  // namespace arbench
