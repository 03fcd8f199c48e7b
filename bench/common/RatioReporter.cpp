#include "RatioReporter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>

namespace arbench {

namespace {

// Keeps the median real time per item of every benchmark while the console shows the runs.
class Collecting : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
      double perItem = run.GetAdjustedRealTime();
      auto items = run.counters.find("items_per_second");
      if (items != run.counters.end() && items->second.value > 0)
        perItem = 1e9 / items->second.value;  // ns per item
      medians[run.run_name.str()] = perItem;
    }
  }
  std::map<std::string, double> medians;
};

}  // namespace

int RunWithRatios(int argc, char** argv, const std::vector<Ratio>& ratios) {
  std::vector<char*> args(argv, argv + argc);
  bool repetitionsGiven = false;
  for (int i = 1; i < argc; ++i)
    if (std::string(argv[i]).rfind("--benchmark_repetitions", 0) == 0) repetitionsGiven = true;
  std::string repetitions = "--benchmark_repetitions=5";
  std::string aggregatesOnly = "--benchmark_report_aggregates_only=true";
  if (!repetitionsGiven) {
    args.push_back(repetitions.data());
    args.push_back(aggregatesOnly.data());
  }
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  Collecting reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  std::printf("\n%-44s %-36s %10s  %s\n", "subject (ns per item)", "baseline (ns per item)",
              "ratio", "goal");
  for (const Ratio& r : ratios) {
    auto s = reporter.medians.find(r.subject), b = reporter.medians.find(r.baseline);
    if (s == reporter.medians.end() || b == reporter.medians.end()) continue;
    std::printf("%-34s %9.2f %-26s %9.2f %10.2f  %s\n", r.subject.c_str(), s->second,
                r.baseline.c_str(), b->second, s->second / b->second, r.goal.c_str());
  }
  return 0;
}

}  // namespace arbench
