#include <gtest/gtest.h>

#include "ControllerTest.h"
#include "ar/ARController.h"
#include "ar/ARTarget.h"

namespace {

using artest::Heard;
using du::SmartPtr;

class ARTargetTest : public artest::ControllerTest {};

TEST_F(ARTargetTest, NewTargetIsEmptyAndZero) {
  SmartPtr<ar::ARTarget> target = new ar::ARTarget(controller_);
  EXPECT_EQ(target->GetName(), du::Symbol::EMPTY);
  EXPECT_EQ(target->GetImage(), du::Symbol::EMPTY);
  EXPECT_EQ(target->GetIDPath(), du::Symbol::EMPTY);
  double width = -1, height = -1;
  target->GetSize(width, height);
  EXPECT_EQ(width, 0.0);
  EXPECT_EQ(height, 0.0);
  EXPECT_EQ(target->GetType(), ar::ARTarget::TYPE_PLAIN);
  EXPECT_EQ(target->GetTargetId(), 0);
  EXPECT_EQ(target->GetRotation(), 0.0);
  EXPECT_EQ(target->GetPosition(), dg::DPoint3D{});
  EXPECT_EQ(target->GetNormal(), dg::DVec3{});
  EXPECT_EQ(target->GetClassType().GetId(), 178u);
  EXPECT_TRUE(target->IsATypeOfId(178));
}

TEST_F(ARTargetTest, SettersStoreValuesUnchangedAndGettersReturnCopies) {
  SmartPtr<ar::ARTarget> target = MakeTarget("Door");
  target->SetImage(du::Symbol("door.png"));
  target->SetSize(0.5, -2.0);
  target->SetType(static_cast<ar::ARTarget::EType>(7));
  dg::DPoint3D position{1, 2, 3};
  dg::DVec3 normal{0, 0, 5}, x{1, 0, 0}, y{1, 1, 0};  // neither unit length nor orthogonal
  du::Symbol path("/model/door");
  target->SetLocation(position, normal, x, y, path, 90.0);

  const du::Symbol name = target->GetName();
  target->SetName(du::Symbol("Window"));
  EXPECT_EQ(name, du::Symbol("Door")) << "a value already returned does not change";
  double width = 0, height = 0;
  target->GetSize(width, height);
  EXPECT_EQ(width, 0.5);
  EXPECT_EQ(height, -2.0);
  EXPECT_EQ(target->GetType(), 7u);
  EXPECT_EQ(target->GetNormal(), (dg::DVec3{0, 0, 5}));
  EXPECT_EQ(target->GetX(), x);
  EXPECT_EQ(target->GetY(), y);
  EXPECT_EQ(target->GetPosition(), position);
  EXPECT_EQ(target->GetIDPath(), path);
  EXPECT_EQ(target->GetRotation(), 90.0);
}

TEST_F(ARTargetTest, OnlySetLocationSignalsAndItDoesOnEveryCall) {
  auto observer = Observe();
  SmartPtr<ar::ARTarget> target = MakeTarget("Door");  // not even registered
  target->SetImage(du::Symbol("i"));
  target->SetSize(1, 1);
  target->SetTargetId(3);
  target->SetType(ar::ARTarget::TYPE_NUMBERED);
  target->SetName(du::Symbol("Door"));
  dg::DPoint3D p;
  dg::DVec3 n, x, y;
  du::Symbol path;
  target->SetLocation(p, n, x, y, path, 0);
  target->SetLocation(p, n, x, y, path, 0);  // the same values again
  arhost::RunUntilIdle();
  EXPECT_EQ(observer->heard, (Heard{"moved Door", "moved Door"}));
}

TEST_F(ARTargetTest, TargetWithoutALockWorksUnlocked) {
  SmartPtr<ar::ARTarget> target = new ar::ARTarget(nullptr);
  target->SetName(du::Symbol("Loose"));
  target->SetSize(2, 3);
  EXPECT_EQ(target->GetName(), du::Symbol("Loose"));
  dg::DPoint3D p{4, 5, 6};
  dg::DVec3 v;
  du::Symbol path;
  auto observer = Observe();
  target->SetLocation(p, v, v, v, path, 1);
  arhost::RunUntilIdle();
  EXPECT_EQ(observer->heard, Heard{"moved Loose"}) << "the move still reaches the controller";
}

}  // namespace
