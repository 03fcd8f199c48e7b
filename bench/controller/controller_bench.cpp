// The controller's registry and notifications against standard-library baselines measured in
// the same run.
#include <benchmark/benchmark.h>

#include <set>
#include <shared_mutex>
#include <string>
#include <vector>

#include "BareQueue.h"
#include "RatioReporter.h"
#include "ar/ARController.h"
#include "ar/ARControllerObserver.h"
#include "ar/ARTarget.h"
#include "arhost/Host.h"

namespace {

using du::SmartPtr;

std::vector<SmartPtr<ar::ARTarget>> MakeTargets(int count) {
  std::vector<SmartPtr<ar::ARTarget>> targets;
  targets.reserve(count);
  for (int i = 0; i < count; ++i) {
    targets.push_back(new ar::ARTarget(ar::ARController::Get()));
    targets.back()->SetName(du::Symbol("target-" + std::to_string(i)));
  }
  return targets;
}

// Adding N targets to an empty registry, per target.
void AddTarget(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  {
    auto targets = MakeTargets(count);
    ar::ARController* controller = ar::ARController::Get();
    for (auto _ : state) {
      for (const auto& t : targets) controller->AddTarget(t);
      state.PauseTiming();
      controller->RemoveAllTargets();
      arhost::RunUntilIdle();
      state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * count);
  }
  arhost::Shutdown();
}
BENCHMARK(AddTarget)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// Baseline: inserting the same smart pointers into a std::set under a std::shared_mutex.
void SetInsertUnderSharedMutex(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  {
    auto targets = MakeTargets(count);
    std::shared_mutex mutex;
    std::set<SmartPtr<ar::ARTarget>> set;
    for (auto _ : state) {
      for (const auto& t : targets) {
        std::unique_lock lock(mutex);
        set.insert(t);
      }
      state.PauseTiming();
      set.clear();
      state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * count);
  }
  arhost::Shutdown();
}
BENCHMARK(SetInsertUnderSharedMutex)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// A find of a name no target has walks the whole registry: per visited target.
void FindTargetByName(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  {
    auto targets = MakeTargets(count);
    ar::ARController* controller = ar::ARController::Get();
    for (const auto& t : targets) controller->AddTarget(t);
    arhost::RunUntilIdle();
    const du::Symbol absent("no-such-target");
    for (auto _ : state) benchmark::DoNotOptimize(controller->FindTarget(absent));
    state.SetItemsProcessed(state.iterations() * count);
  }
  arhost::Shutdown();
}
BENCHMARK(FindTargetByName)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// Baseline of one visited target: one std::set iteration step plus one std::shared_mutex
// read pair.
void SetStepWithSharedReadPair(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  std::set<int> set;
  for (int i = 0; i < count; ++i) set.insert(i);
  std::shared_mutex mutex;
  for (auto _ : state) {
    int sum = 0;
    for (int v : set) {
      mutex.lock_shared();
      sum += v;
      mutex.unlock_shared();
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(SetStepWithSharedReadPair)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

class Counting final : public ar::ARControllerObserver {
 public:
  int creates = 0;
  void OnDestroy() override {}
  void OnTargetCreate(SmartPtr<ar::ARTarget>&) override { ++creates; }
};

// TARGET_CREATE_EVENT posted and delivered to every observer, per record. Each round adds and
// removes one target, so it also carries one TARGET_DESTROY_EVENT per observer.
void PostDeliverTargetCreate(benchmark::State& state) {
  const int observers = static_cast<int>(state.range(0));
  {
    ar::ARController* controller = ar::ARController::Get();
    std::vector<SmartPtr<Counting>> counting;
    for (int o = 0; o < observers; ++o) {
      counting.push_back(new Counting);
      controller->RegisterObserver(*counting.back(), false);
    }
    auto target = MakeTargets(1).front();
    for (auto _ : state) {
      controller->AddTarget(target);
      controller->RemoveTarget(target);
      arhost::RunUntilIdle();
    }
    state.SetItemsProcessed(state.iterations() * observers * 2);
  }
  arhost::Shutdown();
}
BENCHMARK(PostDeliverTargetCreate)->Arg(1)->Arg(16);

void BareQueuePostDeliver(benchmark::State& state) {
  const int records = static_cast<int>(state.range(0));
  arbench::BareQueue queue;
  for (auto _ : state) queue.PostAndDeliver(records * 2);
  benchmark::DoNotOptimize(queue.Sink());
  state.SetItemsProcessed(state.iterations() * records * 2);
}
BENCHMARK(BareQueuePostDeliver)->Arg(1)->Arg(16);

}  // namespace

int main(int argc, char** argv) {
  return arbench::RunWithRatios(
      argc, argv,
      {
          {"AddTarget/1000", "SetInsertUnderSharedMutex/1000", "report"},
          {"AddTarget/100000", "SetInsertUnderSharedMutex/100000", "report"},
          {"FindTargetByName/1000", "SetStepWithSharedReadPair/1000", "<= 2"},
          {"FindTargetByName/100000", "SetStepWithSharedReadPair/100000", "<= 2"},
          {"PostDeliverTargetCreate/1", "BareQueuePostDeliver/1", "report"},
          {"PostDeliverTargetCreate/16", "BareQueuePostDeliver/16", "report"},
      });
}
