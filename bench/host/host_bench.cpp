// The host runtime's hot paths against plain standard-library baselines: the shared lock,
// symbol interning, and posting plus delivering notification records.
#include <benchmark/benchmark.h>

#include <memory>
#include <shared_mutex>
#include <string>
#include <unordered_set>
#include <vector>

#include "BareQueue.h"
#include "RatioReporter.h"
#include "arhost/Host.h"
#include "dom/MessageReader.h"
#include "dom/ObservableEvent.h"
#include "dp/ReadWriteLock.h"
#include "du/Symbol.h"
#include "orl/Annotation.h"
#include "orl/Observable.h"
#include "orl/Observer.h"

namespace {

void SharedMutexReadPair(benchmark::State& state) {
  std::shared_mutex mutex;
  for (auto _ : state) {
    mutex.lock_shared();
    mutex.unlock_shared();
  }
}
BENCHMARK(SharedMutexReadPair);

void LockOuterReadPair(benchmark::State& state) {
  dp::ReadWriteLock lock;
  for (auto _ : state) {
    lock.ReadLock();
    lock.ReadUnlock();
  }
}
BENCHMARK(LockOuterReadPair);

void LockNestedReadPair(benchmark::State& state) {
  dp::ReadWriteLock lock;
  lock.WriteLock();
  for (auto _ : state) {
    lock.ReadLock();
    lock.ReadUnlock();
  }
  lock.WriteUnlock();
}
BENCHMARK(LockNestedReadPair);

const std::vector<std::string>& Words() {
  static const std::vector<std::string> words = [] {
    std::vector<std::string> w;
    for (int i = 0; i < 1000; ++i) w.push_back("artarget-property-" + std::to_string(i));
    return w;
  }();
  return words;
}

void UnorderedSetLookup(benchmark::State& state) {
  const auto& words = Words();
  std::unordered_set<std::string> set(words.begin(), words.end());
  std::size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(set.find(words[i++ % words.size()]));
}
BENCHMARK(UnorderedSetLookup);

void SymbolOfExistingText(benchmark::State& state) {
  const auto& words = Words();
  std::vector<du::Symbol> existing(words.begin(), words.end());
  std::size_t i = 0;
  for (auto _ : state) {
    du::Symbol s(words[i++ % words.size()]);
    benchmark::DoNotOptimize(s);
  }
}
BENCHMARK(SymbolOfExistingText);

void BareQueuePostDeliver(benchmark::State& state) {
  const int observers = static_cast<int>(state.range(0));
  arbench::BareQueue queue;
  for (auto _ : state) queue.PostAndDeliver(observers);
  benchmark::DoNotOptimize(queue.Sink());
  state.SetItemsProcessed(state.iterations() * observers);
}
BENCHMARK(BareQueuePostDeliver)->Arg(1)->Arg(16);

class Ping final : public dom::ObservableEvent {
 public:
  void PushToProxy(dom::ObserverProxy& proxy) const override {
    proxy.Begin();
    proxy.PushUInt8Value(orl::Observable::GetNextEventId());
    proxy.End();
  }
};

class Pinged final : public orl::Observable {
 public:
  Pinged() : orl::Observable(orl::Annotation::GetRWLock()) {}
  void Add(dom::Observer& o) { _RegisterObserver(o, new dom::ObserverProxy(o), nullptr); }
  void Ping() { PostObservableEvent(::Ping(), false); }

 private:
  void _OnDestroy() override {}
};

class Listener final : public orl::Observer {
 public:
  int heard = 0;
  void OnDestroy() override {}

 private:
  void HandleEvent(unsigned char, dom::MessageReader&) override { ++heard; }
};

void HostPostDeliver(benchmark::State& state) {
  const int observers = static_cast<int>(state.range(0));
  {
    du::SmartPtr<Pinged> observable = new Pinged;
    std::vector<du::SmartPtr<Listener>> listeners;
    for (int o = 0; o < observers; ++o) {
      listeners.push_back(new Listener);
      observable->Add(*listeners.back());
    }
    for (auto _ : state) {
      observable->Ping();
      arhost::RunUntilIdle();
    }
    state.SetItemsProcessed(state.iterations() * observers);
  }
  arhost::Shutdown();
}
BENCHMARK(HostPostDeliver)->Arg(1)->Arg(16);

}  // namespace

int main(int argc, char** argv) {
  return arbench::RunWithRatios(argc, argv,
                                {
                                    {"LockOuterReadPair", "SharedMutexReadPair", "<= 1.5"},
                                    {"LockNestedReadPair", "LockOuterReadPair", "< 1"},
                                    {"SymbolOfExistingText", "UnorderedSetLookup", "report"},
                                    {"HostPostDeliver/1", "BareQueuePostDeliver/1", "report"},
                                    {"HostPostDeliver/16", "BareQueuePostDeliver/16", "report"},
                                });
}
