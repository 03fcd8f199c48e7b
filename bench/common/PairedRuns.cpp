#include "PairedRuns.h"

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace arbench {

std::pair<double, double> InChild(const std::function<double()>& body) {
  int channel[2];
  if (::pipe(channel) != 0) std::abort();
  std::fflush(nullptr);
  const pid_t child = ::fork();
  if (child == 0) {
    const double seconds = body();
    const bool sent = ::write(channel[1], &seconds, sizeof seconds) == sizeof seconds;
    ::_exit(sent ? 0 : 1);  // the process's memory goes with it; no teardown is measured
  }
  ::close(channel[1]);
  double seconds = -1;
  const bool received = ::read(channel[0], &seconds, sizeof seconds) == sizeof seconds;
  ::close(channel[0]);
  int status = 0;
  rusage usage{};
  ::wait4(child, &status, 0, &usage);
  if (!received || !WIFEXITED(status) || WEXITSTATUS(status) != 0) std::abort();
  return {seconds, usage.ru_maxrss * 1024.0};
}

void RegisterPair(const std::string& name, int count, std::function<void()> prepare,
                  std::function<double()> ours, std::function<double()> baseline) {
  benchmark::RegisterBenchmark(name.c_str(),
                               [=](benchmark::State& state) {
                                 prepare();
                                 static int turn = 0;
                                 for (auto _ : state) {
                                   const bool oursFirst = turn++ % 2 == 0;
                                   const auto first = InChild(oursFirst ? ours : baseline);
                                   const auto second = InChild(oursFirst ? baseline : ours);
                                   const auto& [seconds, peak] = oursFirst ? first : second;
                                   const auto& [baseSeconds, basePeak] = oursFirst ? second : first;
                                   state.SetIterationTime(seconds);
                                   state.counters["baseline_ns"] = baseSeconds * 1e9 / count;
                                   state.counters["ratio"] = seconds / baseSeconds;
                                   state.counters["peak_bytes"] = peak;
                                   state.counters["baseline_peak_bytes"] = basePeak;
                                   state.counters["peak_ratio"] = peak / basePeak;
                                 }
                                 state.SetItemsProcessed(state.iterations() * count);
                               })
      ->UseManualTime()
      ->Iterations(1)
      ->Repetitions(count >= 1000000  ? 5
                    : count >= 100000 ? 7
                                      : 9)  // the machine is noisy
      ->Unit(benchmark::kMillisecond);
}

}  // namespace arbench
