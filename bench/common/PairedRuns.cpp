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

void RegisterMeasuredPair(const std::string& name, int count, int repetitions,
                          std::function<void()> prepare, std::function<Measured()> ours,
                          std::function<Measured()> baseline) {
  benchmark::RegisterBenchmark(name.c_str(),
                               [=](benchmark::State& state) {
                                 prepare();
                                 static int turn = 0;
                                 for (auto _ : state) {
                                   const bool oursFirst = turn++ % 2 == 0;
                                   const Measured first = oursFirst ? ours() : baseline();
                                   const Measured second = oursFirst ? baseline() : ours();
                                   const Measured& mine = oursFirst ? first : second;
                                   const Measured& base = oursFirst ? second : first;
                                   const std::string& failure =
                                       mine.failure.empty() ? base.failure : mine.failure;
                                   if (!failure.empty()) {
                                     state.SkipWithError(failure.c_str());
                                     break;
                                   }
                                   state.SetIterationTime(mine.seconds);
                                   state.counters["baseline_ns"] = base.seconds * 1e9 / count;
                                   state.counters["ratio"] = mine.seconds / base.seconds;
                                   state.counters["peak_bytes"] = mine.peakBytes;
                                   state.counters["baseline_peak_bytes"] = base.peakBytes;
                                   state.counters["peak_ratio"] = mine.peakBytes / base.peakBytes;
                                   if (mine.outputBytes > 0)
                                     state.counters["output_bytes"] = mine.outputBytes;
                                   if (mine.userSeconds > 0) {
                                     state.counters["user_seconds"] = mine.userSeconds;
                                     state.counters["system_seconds"] = mine.systemSeconds;
                                   }
                                 }
                                 state.SetItemsProcessed(state.iterations() * count);
                               })
      ->UseManualTime()
      ->Iterations(1)
      ->Repetitions(repetitions)
      ->Unit(benchmark::kMillisecond);
}

void RegisterPair(const std::string& name, int count, std::function<void()> prepare,
                  std::function<double()> ours, std::function<double()> baseline) {
  const auto inChild = [](const std::function<double()>& body) {
    return [body] {
      const auto [seconds, peak] = InChild(body);
      return Measured{seconds, peak, 0, {}};
    };
  };
  RegisterMeasuredPair(name, count,
                       count >= 1000000  ? 5
                       : count >= 100000 ? 7
                                         : 9,  // the machine is noisy
                       std::move(prepare), inChild(ours), inChild(baseline));
}

}  // namespace arbench
