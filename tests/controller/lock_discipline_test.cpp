// Which side of the shared lock every public operation of the controller, the target and the
// content takes (see LockProbe.h).
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "ControllerTest.h"
#include "LockProbe.h"
#include "ar/ARContent.h"
#include "dp/ScopedLock.h"
#include "orl/Annotation.h"
#include "orl/Scene.h"
#include "orl/SerializedContent.h"

namespace {

using du::SmartPtr;

using Mode = artest::LockMode;

struct Row {
  const char* name;
  Mode mode;
  std::function<void()> call;
};

class LockDisciplineTest : public artest::ControllerTest {};

TEST_F(LockDisciplineTest, EveryOperationTakesTheSideOfTheLockItMust) {
  auto observer = Observe();
  auto target = MakeTarget("Door", 3, ar::ARTarget::TYPE_NUMBERED);
  controller_->AddTarget(target);
  SmartPtr<ar::ARContent> content = new ar::ARContent;
  std::set<SmartPtr<ar::ARTarget>> targets{target};
  auto element = orl::SerializedContentElement::CreateTopElement(du::Symbol("targets"));
  target->Visit(element.get());
  dg::DPoint3D point{};
  dg::DVec3 vector{};
  du::Symbol path("/1");
  double w = 0, h = 0;
  std::vector<SmartPtr<ar::ARTarget>> all;
  SmartPtr<orl::Scene> scene = orl::ShapeScene::Create();
  auto* c = controller_;
  const Row rows[] = {
      {"AddTarget", Mode::kExclusive, [&] { c->AddTarget(MakeTarget("New")); }},
      {"RemoveTarget", Mode::kExclusive, [&] { c->RemoveTarget(MakeTarget("Gone")); }},
      {"RemoveAllTargets", Mode::kExclusive, [&] { c->RemoveAllTargets(); }},
      {"FindTarget(name)", Mode::kShared, [&] { c->FindTarget(du::Symbol("Door")); }},
      {"FindTarget(id)", Mode::kShared, [&] { c->FindTarget(3); }},
      {"GetTargets", Mode::kShared, [&] { c->GetTargets(all); }},
      {"GetTargetForScene", Mode::kShared, [&] { c->GetTargetForScene(scene); }},
      {"ShowTargets", Mode::kExclusive, [&] { c->ShowTargets(nullptr); }},
      {"HideTargets", Mode::kExclusive, [&] { c->HideTargets(); }},
      {"SaveTargets", Mode::kShared, [&] { c->SaveTargets(nullptr); }},
      {"RegisterObserver", Mode::kExclusive, [&] { c->RegisterObserver(*observer, true); }},
      {"SignalTargetMoved", Mode::kNone, [&] { c->SignalTargetMoved(target); }},
      {"GetShowTargets", Mode::kNone, [&] { c->GetShowTargets(); }},
      {"GetName", Mode::kShared, [&] { target->GetName(); }},
      {"GetImage", Mode::kShared, [&] { target->GetImage(); }},
      {"GetIDPath", Mode::kShared, [&] { target->GetIDPath(); }},
      {"GetPosition", Mode::kShared, [&] { target->GetPosition(); }},
      {"GetNormal", Mode::kShared, [&] { target->GetNormal(); }},
      {"GetX", Mode::kShared, [&] { target->GetX(); }},
      {"GetY", Mode::kShared, [&] { target->GetY(); }},
      {"GetRotation", Mode::kShared, [&] { target->GetRotation(); }},
      {"GetSize", Mode::kShared, [&] { target->GetSize(w, h); }},
      {"GetTargetId", Mode::kShared, [&] { target->GetTargetId(); }},
      {"GetType", Mode::kShared, [&] { target->GetType(); }},
      {"Visit(target)", Mode::kShared, [&] { target->Visit(element.get()); }},
      {"SetName", Mode::kExclusive, [&] { target->SetName(du::Symbol("Door")); }},
      {"SetImage", Mode::kExclusive, [&] { target->SetImage(du::Symbol("door.png")); }},
      {"SetSize", Mode::kExclusive, [&] { target->SetSize(1, 2); }},
      {"SetTargetId", Mode::kExclusive, [&] { target->SetTargetId(3); }},
      {"SetType", Mode::kExclusive, [&] { target->SetType(ar::ARTarget::TYPE_NUMBERED); }},
      {"SetLocation", Mode::kExclusive,
       [&] { target->SetLocation(point, vector, vector, vector, path, 0); }},
      {"PopulateFromContent(target)", Mode::kExclusive,
       [&] { target->PopulateFromContent(element->GetChild(0)); }},
      {"SetTargets", Mode::kExclusive, [&] { content->SetTargets(targets); }},
      {"GetTargets(content)", Mode::kShared, [&] { content->GetTargets(targets); }},
      {"Visit(content)", Mode::kShared,
       [&] {
         content->Visit(orl::SerializedContentElement::CreateTopElement(du::Symbol("t")).get());
       }},
      {"PopulateFromContent(content)", Mode::kExclusive,
       [&] { content->PopulateFromContent(element.get()); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    artest::ExpectLockMode(row.mode, row.call);
  }
}

// SetLocation nests inside a write lock the caller holds, and the move is still told.
TEST_F(LockDisciplineTest, TargetMovedUnderTheCallersWriteLockIsAnnounced) {
  auto observer = Observe();
  auto target = MakeTarget("Door");
  dg::DPoint3D point{1, 2, 3};
  dg::DVec3 vector{0, 0, 1};
  du::Symbol path("/1");
  {
    dp::ScopedWriter guard(orl::Annotation::GetRWLock().get());
    target->SetLocation(point, vector, vector, vector, path, 0);
  }
  arhost::RunUntilIdle();
  EXPECT_EQ(observer->heard, artest::Heard{"moved Door"});
  EXPECT_EQ(target->GetPosition().z, 3);
}

}  // namespace
