// Which side of the shared lock every public operation of the controller, the target and the
// content takes. Each operation runs on a second thread while this thread holds the lock:
// in the mode that conflicts with the row's it must wait (seen in the lock's waiter counts),
// in the compatible mode it must finish.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <set>
#include <thread>

#include "ControllerTest.h"
#include "ar/ARContent.h"
#include "dp/ScopedLock.h"
#include "orl/Annotation.h"
#include "orl/Scene.h"
#include "orl/SerializedContent.h"

namespace {

using du::SmartPtr;

enum class Mode { kNone, kShared, kExclusive };

struct Row {
  const char* name;
  Mode mode;
  std::function<void()> call;
};

// Waits, with a generous bound so that a broken lock fails instead of hanging, until `done`.
template <class Predicate>
bool Within(Predicate done) {
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done())
    if (std::chrono::steady_clock::now() > limit)
      return false;
    else
      std::this_thread::yield();
  return true;
}

class LockDisciplineTest : public artest::ControllerTest {
 protected:
  // Runs `row` on another thread while this one holds the lock for writing (`exclusive`) or
  // for reading; true when the call had to wait, false when it finished without waiting.
  bool Waits(const Row& row, bool exclusive) {
    dp::ReadWriteLock& lock = lock_->GetLock();
    std::optional<dp::ScopedWriter<dp::ReadWriteLock>> writer;
    std::optional<dp::ScopedReader<dp::ReadWriteLock>> reader;
    if (exclusive)
      writer.emplace(&lock);
    else
      reader.emplace(&lock);
    std::atomic<bool> finished{false};
    std::thread call([&] {
      row.call();
      finished = true;
    });
    auto waiting = [&] {
      const auto w = lock.GetWaiters();
      return w.readers + w.writers + w.upgraders > 0;
    };
    EXPECT_TRUE(Within([&] { return finished || waiting(); })) << "neither finished nor waited";
    const bool waited = !finished;
    writer.reset();
    reader.reset();
    call.join();
    return waited;
  }

  SmartPtr<orl::ReadWriteLock> lock_ = orl::Annotation::GetRWLock();
};

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
    EXPECT_EQ(Waits(row, true), row.mode != Mode::kNone) << "while another thread writes";
    EXPECT_EQ(Waits(row, false), row.mode == Mode::kExclusive) << "while another thread reads";
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
    dp::ScopedWriter guard(lock_.get());
    target->SetLocation(point, vector, vector, vector, path, 0);
  }
  arhost::RunUntilIdle();
  EXPECT_EQ(observer->heard, artest::Heard{"moved Door"});
  EXPECT_EQ(target->GetPosition().z, 3);
}

}  // namespace
