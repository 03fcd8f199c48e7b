#include <gtest/gtest.h>

#include <algorithm>

#include "ControllerTest.h"
#include "ar/ARController.h"
#include "ar/ARTarget.h"

namespace {

using artest::Heard;
using du::SmartPtr;

class ARControllerTest : public artest::ControllerTest {};

TEST_F(ARControllerTest, GetReturnsOneControllerWithItsClassType) {
  EXPECT_EQ(ar::ARController::Get(), controller_);
  EXPECT_EQ(controller_->GetClassType().GetId(), 177u);
  EXPECT_FALSE(controller_->GetShowTargets());
  EXPECT_EQ(ar::ARController::GetBaseEventId(), orl::Observable::GetNextEventId());
}

TEST_F(ARControllerTest, AddingTwiceKeepsOneEntryAndPostsOneCreate) {
  auto observer = Observe();
  auto door = MakeTarget("Door");
  controller_->AddTarget(door);
  controller_->AddTarget(door);
  controller_->AddTarget(nullptr);  // ignored
  std::vector<SmartPtr<ar::ARTarget>> all;
  controller_->GetTargets(all);
  EXPECT_EQ(all, std::vector<SmartPtr<ar::ARTarget>>{door});
  arhost::RunUntilIdle();
  EXPECT_EQ(observer->heard, Heard{"create Door"});
}

TEST_F(ARControllerTest, EqualNamesAreBothKeptAndTheLowerAddressIsFound) {
  auto a = MakeTarget("Twin", 4, ar::ARTarget::TYPE_NUMBERED);
  auto b = MakeTarget("Twin", 4, ar::ARTarget::TYPE_NUMBERED);
  controller_->AddTarget(a);
  controller_->AddTarget(b);
  const auto& lower = a.get() < b.get() ? a : b;
  EXPECT_EQ(controller_->FindTarget(du::Symbol("Twin")), lower);
  EXPECT_EQ(controller_->FindTarget(4), lower);
  EXPECT_TRUE(controller_->FindTarget(du::Symbol("twin")).IsNull());
}

TEST_F(ARControllerTest, OnlyNumberedTargetsAreFoundById) {
  auto target = MakeTarget("Marker", 5, ar::ARTarget::TYPE_PLAIN);
  controller_->AddTarget(target);
  EXPECT_TRUE(controller_->FindTarget(5).IsNull());
  target->SetType(static_cast<ar::ARTarget::EType>(2));
  EXPECT_TRUE(controller_->FindTarget(5).IsNull());
  target->SetType(ar::ARTarget::TYPE_NUMBERED);
  EXPECT_EQ(controller_->FindTarget(5), target);
  EXPECT_TRUE(controller_->FindTarget(6).IsNull());
}

TEST_F(ARControllerTest, GetTargetsReplacesALongerVectorInRegistryOrder) {
  std::vector<SmartPtr<ar::ARTarget>> targets;
  for (const char* name : {"A", "B", "C"}) {
    targets.push_back(MakeTarget(name));
    controller_->AddTarget(targets.back());
  }
  std::vector<SmartPtr<ar::ARTarget>> out(10, MakeTarget("stale"));
  controller_->GetTargets(out);
  std::sort(targets.begin(), targets.end());
  EXPECT_EQ(out, targets);
}

TEST_F(ARControllerTest, RemovingPostsOnlyForRegisteredTargets) {
  auto observer = Observe();
  auto door = MakeTarget("Door"), stranger = MakeTarget("Stranger");
  controller_->AddTarget(door);
  controller_->RemoveTarget(stranger);
  controller_->RemoveTarget(door);
  controller_->RemoveTarget(door);
  arhost::RunUntilIdle();
  EXPECT_EQ(observer->heard, (Heard{"create Door", "destroy Door"}));
  EXPECT_TRUE(controller_->FindTarget(du::Symbol("Door")).IsNull());
}

TEST_F(ARControllerTest, RemoveAllPostsOneEventOrNone) {
  auto observer = Observe();
  controller_->RemoveAllTargets();
  for (const char* name : {"A", "B", "C"}) controller_->AddTarget(MakeTarget(name));
  controller_->RemoveAllTargets();
  controller_->RemoveAllTargets();
  arhost::RunUntilIdle();
  ASSERT_EQ(observer->heard.size(), 4u);
  EXPECT_EQ(observer->heard.back(), "destroy all");
  EXPECT_EQ(std::count(observer->heard.begin(), observer->heard.end(), "destroy all"), 1);
}

TEST_F(ARControllerTest, ShutdownEmptiesTheInstancePointer) {
  SmartPtr<ar::ARController> first = controller_;
  arhost::Shutdown();
  EXPECT_EQ(first->GetReferenceCount(), 1) << "only our reference is left";
  SmartPtr<ar::ARController> second = ar::ARController::Get();
  EXPECT_NE(second, first);
  EXPECT_EQ(ar::ARController::Get(), second.get());
}

TEST_F(ARControllerTest, ShutdownReleasesEverythingTheControllerHeld) {
  auto observer = Observe();
  for (const char* name : {"A", "B"}) controller_->AddTarget(MakeTarget(name));
  controller_->RemoveAllTargets();
  controller_->AddTarget(MakeTarget("C"));
  // Records stay queued, the registry holds a target, the observer is registered: shutdown
  // must release all of it (the fixture checks the counters).
  observer = nullptr;
  arhost::Shutdown();
  EXPECT_EQ(arhost::GetLiveCounts().refCounted, before_.refCounted);
}

TEST_F(ARControllerTest, FailedAllocationGivesNoControllerAndTheNextCallTriesAgain) {
  arhost::Shutdown();
  orl::MemoryPoolAllocated::FailNextAllocations(1);
  EXPECT_EQ(ar::ARController::Get(), nullptr);
  ar::ARController* next = ar::ARController::Get();
  EXPECT_NE(next, nullptr) << "the next call tries again";
}

}  // namespace
