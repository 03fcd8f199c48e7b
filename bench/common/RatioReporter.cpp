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
      if (run.error_occurred) continue;  // a run that gave up has no figure
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
  const auto given = [&](const char* flag) {
    for (int i = 1; i < argc; ++i)
      if (std::string(argv[i]).rfind(flag, 0) == 0) return true;
    return false;
  };
  std::string repetitions = "--benchmark_repetitions=5";
  std::string aggregatesOnly = "--benchmark_report_aggregates_only=true";
  // A subject and its baseline take turns in a random order instead of each running all its
  // repetitions in a row: a machine that slows down for a while slows both.
  std::string interleaved = "--benchmark_enable_random_interleaving=true";
  if (!given("--benchmark_repetitions")) {
    args.push_back(repetitions.data());
    args.push_back(aggregatesOnly.data());
  }
  if (!given("--benchmark_enable_random_interleaving")) args.push_back(interleaved.data());
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
