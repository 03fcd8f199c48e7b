#include "RatioReporter.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace arbench {

namespace {

// Keeps the median of every benchmark while the console shows the runs.
class Collecting : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
      // By name and arguments alone, without the repetition and timing suffixes.
      const auto& id = run.run_name;
      Median& median = medians[id.function_name + (id.args.empty() ? "" : "/" + id.args)];
      median.nsPerItem = run.GetAdjustedRealTime();
      auto items = run.counters.find("items_per_second");
      if (items != run.counters.end() && items->second.value > 0)
        median.nsPerItem = 1e9 / items->second.value;
      for (const auto& [name, counter] : run.counters) median.counters[name] = counter.value;
    }
  }
  std::map<std::string, Median> medians;
};

}  // namespace

std::map<std::string, Median> RunForMedians(int argc, char** argv) {
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
  return reporter.medians;
}

int RunWithRatios(int argc, char** argv, const std::vector<Ratio>& ratios) {
  const std::map<std::string, Median> medians = RunForMedians(argc, argv);
  std::printf("\n%-44s %-36s %10s  %s\n", "subject (ns per item)", "baseline (ns per item)",
              "ratio", "goal");
  for (const Ratio& r : ratios) {
    auto s = medians.find(r.subject), b = medians.find(r.baseline);
    if (s == medians.end() || b == medians.end()) continue;
    std::printf("%-34s %9.2f %-26s %9.2f %10.2f  %s\n", r.subject.c_str(), s->second.nsPerItem,
                r.baseline.c_str(), b->second.nsPerItem, s->second.nsPerItem / b->second.nsPerItem,
                r.goal.c_str());
  }
  return 0;
}

}  // namespace arbench
