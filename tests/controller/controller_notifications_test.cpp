// What observers hear of the controller, through the real message loop.
#include <gtest/gtest.h>

#include "ControllerTest.h"
#include "ar/ARController.h"
#include "ar/ARTarget.h"

namespace {

using artest::Heard;
using artest::RecordingObserver;
using du::SmartPtr;

class ControllerNotificationsTest : public artest::ControllerTest {
 protected:
  // Names of `targets` in registry (address) order.
  Heard CreatesInRegistryOrder() {
    std::vector<SmartPtr<ar::ARTarget>> all;
    controller_->GetTargets(all);
    Heard expected;
    for (const auto& t : all) expected.push_back("create " + t->GetName().str());
    return expected;
  }
};

TEST_F(ControllerNotificationsTest, EveryOperationPostsItsEventsInOrder) {
  auto observer = Observe();
  auto a = MakeTarget("A"), b = MakeTarget("B");
  controller_->AddTarget(a);
  controller_->AddTarget(b);
  controller_->SignalTargetMoved(a);
  controller_->RemoveTarget(a);
  controller_->RemoveAllTargets();
  EXPECT_TRUE(observer->heard.empty()) << "nothing is delivered before the loop runs";
  arhost::RunUntilIdle();
  EXPECT_EQ(observer->heard,
            (Heard{"create A", "create B", "moved A", "destroy A", "destroy all"}));
  EXPECT_EQ(observer->targets[0], a) << "the payload is the very target";
}

TEST_F(ControllerNotificationsTest, InitTellsEveryRegisteredTargetBeforeReturningAndNothingElse) {
  for (const char* name : {"A", "B", "C"}) controller_->AddTarget(MakeTarget(name));
  arhost::RunUntilIdle();
  SmartPtr<RecordingObserver> late = new RecordingObserver;
  ASSERT_TRUE(controller_->RegisterObserver(*late, true));
  EXPECT_EQ(late->heard, CreatesInRegistryOrder()) << "told directly, during registration";
  arhost::RunUntilIdle();
  EXPECT_EQ(late->heard.size(), 3u) << "and nothing more arrives";

  SmartPtr<RecordingObserver> quiet = new RecordingObserver;
  ASSERT_TRUE(controller_->RegisterObserver(*quiet, false));
  EXPECT_FALSE(controller_->RegisterObserver(*quiet, true)) << "registered already";
  arhost::RunUntilIdle();
  EXPECT_TRUE(quiet->heard.empty());
}

TEST_F(ControllerNotificationsTest, RemovedTargetIsStillValidWhenItsDestroyArrives) {
  auto observer = Observe();
  {
    auto doomed = MakeTarget("Doomed");
    controller_->AddTarget(doomed);
    controller_->RemoveTarget(doomed);
  }  // nobody but the queued records holds it now
  arhost::RunUntilIdle();
  EXPECT_EQ(observer->heard, (Heard{"create Doomed", "destroy Doomed"}));
}

TEST_F(ControllerNotificationsTest, EmptyTargetTravelsAsAnEmptyPointer) {
  auto observer = Observe();
  SmartPtr<ar::ARTarget> none;
  controller_->SignalTargetMoved(none);
  arhost::RunUntilIdle();
  EXPECT_EQ(observer->heard, Heard{"moved -"});
}

TEST_F(ControllerNotificationsTest, DeregisteredObserverHearsNothingMoreAndLeaksNothing) {
  auto stays = Observe(), leaves = Observe();
  controller_->AddTarget(MakeTarget("A"));
  EXPECT_TRUE(controller_->DeregisterObserver(*leaves));
  EXPECT_FALSE(controller_->DeregisterObserver(*leaves));
  controller_->AddTarget(MakeTarget("B"));
  arhost::RunUntilIdle();
  EXPECT_EQ(stays->heard, (Heard{"create A", "create B"}));
  EXPECT_TRUE(leaves->heard.empty());
}

TEST_F(ControllerNotificationsTest, ObserverMayChangeTheRegistryFromItsNotifications) {
  // An observer that removes every target it hears created, inside the initial walk and in
  // delivered notifications alike.
  struct Remover final : RecordingObserver {
    ar::ARController* controller = nullptr;
    void OnTargetCreate(SmartPtr<ar::ARTarget>& t) override {
      RecordingObserver::OnTargetCreate(t);
      controller->RemoveTarget(t);
    }
  };
  for (const char* name : {"A", "B"}) controller_->AddTarget(MakeTarget(name));
  arhost::RunUntilIdle();
  SmartPtr<Remover> remover = new Remover;
  remover->controller = controller_;
  ASSERT_TRUE(controller_->RegisterObserver(*remover, true));
  std::vector<SmartPtr<ar::ARTarget>> left;
  controller_->GetTargets(left);
  EXPECT_TRUE(left.empty());
  controller_->AddTarget(MakeTarget("C"));
  arhost::RunUntilIdle();
  controller_->GetTargets(left);
  EXPECT_TRUE(left.empty());
  EXPECT_EQ(remover->heard.back(), "destroy C");
}

}  // namespace
