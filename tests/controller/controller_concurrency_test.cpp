// Several threads use the registry while the loop delivers on this thread.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "ControllerTest.h"
#include "ar/ARController.h"
#include "ar/ARTarget.h"

namespace {

using du::SmartPtr;

class ControllerConcurrencyTest : public artest::ControllerTest {};

TEST_F(ControllerConcurrencyTest, EveryEventOfManyThreadsIsAccountedFor) {
  auto observer = Observe();
  constexpr int kThreads = 4, kTargets = 50;
  std::atomic<int> finished{0};
  std::vector<std::thread> workers;
  for (int t = 0; t < kThreads; ++t) {
    workers.emplace_back([&, t] {
      for (int i = 0; i < kTargets; ++i) {
        const std::string name = std::to_string(t * 1000 + i);
        auto target = MakeTarget(name, i, ar::ARTarget::TYPE_NUMBERED);
        controller_->AddTarget(target);
        EXPECT_EQ(controller_->FindTarget(du::Symbol(name)), target);
        controller_->FindTarget(i);
        dg::DPoint3D p{double(i), 0, 0};
        dg::DVec3 v;
        du::Symbol path(name);
        target->SetLocation(p, v, v, v, path, 0);
        if (i % 2 == 0) controller_->RemoveTarget(target);
      }
      ++finished;
    });
  }
  while (finished.load() < kThreads) arhost::RunUntilIdle();
  for (auto& w : workers) w.join();
  arhost::RunUntilIdle();

  auto count = [&](const std::string& prefix) {
    return std::count_if(observer->heard.begin(), observer->heard.end(),
                         [&](const std::string& h) { return h.rfind(prefix, 0) == 0; });
  };
  EXPECT_EQ(count("create "), kThreads * kTargets);
  EXPECT_EQ(count("moved "), kThreads * kTargets);
  EXPECT_EQ(count("destroy "), kThreads * kTargets / 2);
  std::vector<SmartPtr<ar::ARTarget>> left;
  controller_->GetTargets(left);
  EXPECT_EQ(left.size(), std::size_t{kThreads * kTargets / 2});
}

}  // namespace
