// The controller's registry, its notifications through the real message loop, the decoding of
// notification records, malformed ones included, the side of the lock each operation takes, and
// its scene map: identity keys and the host's bucket rule.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>

#include "ControllerTest.h"
#include "ar/ARContent.h"
#include "controller/SceneMap.h"
#include "dom/MessageLoop.h"
#include "dom/ObserverProxy.h"
#include "du/HashNextPrime.h"
#include "orl/Scene.h"
#include "orl/SerializedContent.h"

namespace {

using artest::Heard;
using artest::RecordingObserver;
using du::SmartPtr;
using Targets = std::vector<SmartPtr<ar::ARTarget>>;

class ARControllerTest : public artest::ControllerTest {
 protected:
  Targets Registered() {
    Targets all;
    controller_->GetTargets(all);
    return all;
  }
  std::vector<std::string> Names() {
    std::vector<std::string> names = Registry();
    std::sort(names.begin(), names.end());
    return names;
  }
};

// Each row edits the registry ("+A" adds target A, "-A" removes it, "+" adds an empty
// pointer, "~A" signals A moved, "~" an empty one, "0" removes all); the observer hears exactly
// the changes, in order, and the payload is the very target.
TEST_F(ARControllerTest, RegistryChangesPostOnlyWhatChanged) {
  const std::tuple<const char*, Heard, std::vector<std::string>> rows[] = {
      {"+A +A +", {"create A"}, {"A"}},
      {"+A -S -A -A", {"create A", "destroy A"}, {}},
      {"0 +A +B 0 0", {"create A", "create B", "destroy all"}, {}},
      {"~A ~", {"moved A", "moved -"}, {}},
  };
  for (const auto& [steps, heard, left] : rows) {
    SCOPED_TRACE(steps);
    auto observer = Observe();
    std::map<std::string, SmartPtr<ar::ARTarget>> targets;
    std::istringstream words(steps);
    for (std::string w; words >> w;) {
      SmartPtr<ar::ARTarget>& t = targets[w.substr(1)];
      if (!t && w.size() > 1) t = MakeTarget(w.substr(1));
      if (w[0] == '+') controller_->AddTarget(t);
      if (w[0] == '-') controller_->RemoveTarget(t);
      if (w[0] == '~') controller_->SignalTargetMoved(t);
      if (w[0] == '0') controller_->RemoveAllTargets();
    }
    EXPECT_TRUE(observer->heard.empty()) << "nothing is delivered before the loop runs";
    arhost::RunUntilIdle();
    EXPECT_EQ(observer->heard, heard);
    EXPECT_EQ(observer->targets.front(), targets["A"]);
    EXPECT_EQ(Names(), left);
    controller_->DeregisterObserver(*observer);
    controller_->RemoveAllTargets();
  }
}

TEST_F(ARControllerTest, FindsTakeTheLowestAddressAndIdsOnlyOfNumberedTargets) {
  auto a = MakeTarget("Twin", 4, ar::ARTarget::TYPE_NUMBERED);
  auto b = MakeTarget("Twin", 4, ar::ARTarget::TYPE_NUMBERED);
  auto plain = MakeTarget("Marker", 5, ar::ARTarget::TYPE_PLAIN);
  for (const auto& t : {a, b, plain}) controller_->AddTarget(t);
  const auto& lower = a.get() < b.get() ? a : b;
  EXPECT_EQ(controller_->FindTarget(du::Symbol("Twin")), lower);
  EXPECT_EQ(controller_->FindTarget(4), lower);
  EXPECT_TRUE(controller_->FindTarget(du::Symbol("twin")).IsNull());
  EXPECT_TRUE(controller_->FindTarget(5).IsNull()) << "type 0 is not found by id";
  plain->SetType(static_cast<ar::ARTarget::EType>(2));
  EXPECT_TRUE(controller_->FindTarget(5).IsNull());
  plain->SetType(ar::ARTarget::TYPE_NUMBERED);
  EXPECT_EQ(controller_->FindTarget(5), plain);
  EXPECT_TRUE(controller_->FindTarget(6).IsNull());

  Targets out(10, MakeTarget("stale"));
  controller_->GetTargets(out);
  Targets sorted{a, b, plain};
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(out, sorted) << "replaced, in registry order";
}

TEST_F(ARControllerTest, OneControllerUntilShutdownAndAFailedAllocationTriesAgain) {
  EXPECT_EQ(ar::ARController::Get(), controller_);
  EXPECT_EQ(controller_->GetClassType().GetId(), 177u);
  EXPECT_FALSE(controller_->GetShowTargets());
  EXPECT_EQ(ar::ARController::GetBaseEventId(), orl::Observable::GetNextEventId());
  auto observer = Observe();
  controller_->AddTarget(MakeTarget("C"));  // queued records, a registry, an observer
  SmartPtr<ar::ARController> first = controller_;
  observer = nullptr;
  arhost::Shutdown();
  EXPECT_EQ(first->GetReferenceCount(), 1) << "shutdown let go of everything but ours";
  first = nullptr;
  auto& loop = dom::MessageLoop::Get();
  orl::MemoryPoolAllocated::FailNextAllocations(1);
  EXPECT_EQ(ar::ARController::Get(), nullptr);
  EXPECT_EQ(loop.GetShutdownMessageCount(), 1u) << "registered even when the allocation failed";
  EXPECT_NE(ar::ARController::Get(), nullptr) << "the next call tries again";
  EXPECT_NE(ar::ARController::Get(), nullptr);
  EXPECT_EQ(loop.GetShutdownMessageCount(), 2u) << "one more for the controller, none after";
}

TEST_F(ARControllerTest, NewObserverIsToldTheRegistryAtOnceAndNothingElse) {
  for (const char* name : {"A", "B", "C"}) controller_->AddTarget(MakeTarget(name));
  arhost::RunUntilIdle();
  SmartPtr<RecordingObserver> late = new RecordingObserver, quiet = new RecordingObserver;
  ASSERT_TRUE(controller_->RegisterObserver(*late, true));
  Heard creations;
  for (const auto& t : Registered()) creations.push_back("create " + t->GetName().str());
  EXPECT_EQ(late->heard, creations) << "told directly, during registration";
  ASSERT_TRUE(controller_->RegisterObserver(*quiet, false));
  EXPECT_FALSE(controller_->RegisterObserver(*quiet, true)) << "registered already";
  arhost::RunUntilIdle();
  EXPECT_EQ(late->heard.size(), 3u) << "and nothing more arrives";
  EXPECT_TRUE(quiet->heard.empty());
}

TEST_F(ARControllerTest, DeliveriesOutliveTheirTargetsAndDeregisteredObserversHearNothing) {
  auto stays = Observe(), leaves = Observe();
  {
    auto doomed = MakeTarget("Doomed");
    controller_->AddTarget(doomed);
    controller_->RemoveTarget(doomed);
  }  // nobody but the queued records holds it now
  EXPECT_TRUE(controller_->DeregisterObserver(*leaves));
  EXPECT_FALSE(controller_->DeregisterObserver(*leaves));
  arhost::RunUntilIdle();
  EXPECT_EQ(stays->heard, (Heard{"create Doomed", "destroy Doomed"}));
  EXPECT_TRUE(leaves->heard.empty());
}

TEST_F(ARControllerTest, ObserverMayChangeTheRegistryFromItsNotifications) {
  struct Remover final : RecordingObserver {
    ar::ARController* controller = nullptr;
    void OnTargetCreate(SmartPtr<ar::ARTarget>& t) override {
      RecordingObserver::OnTargetCreate(t);
      controller->RemoveTarget(t);
    }
  };
  for (const char* name : {"A", "B"}) controller_->AddTarget(MakeTarget(name));
  SmartPtr<Remover> remover = new Remover;
  remover->controller = controller_;
  ASSERT_TRUE(controller_->RegisterObserver(*remover, true));  // inside the initial walk
  EXPECT_TRUE(Registered().empty());
  controller_->AddTarget(MakeTarget("C"));  // and in a delivered notification
  arhost::RunUntilIdle();
  EXPECT_TRUE(Registered().empty());
  EXPECT_EQ(remover->heard.back(), "destroy C");
}

// Records written by hand: what each decodes to, or the message it throws.
TEST_F(ARControllerTest, RecordsDecodeToTheirNotificationOrThrowTheirMessage) {
  struct Row {
    int offset;           // from the base id; `absolute` makes it the tag itself
    const char* payload;  // T: a target, S: a scene, b: the bool true, u: a byte (a wrong kind)
    const char* heard;    // what the observer hears, or
    const char* thrown;   // the message of what it throws
    bool absolute = false;
  };
  const Row rows[] = {
      {0, "", "reset", ""},
      {1, "T", "create T", ""},
      {2, "T", "destroy T", ""},
      {3, "", "destroy all", ""},
      {4, "T", "changed T", ""},
      {5, "b", "show 1", ""},
      {6, "T", "moved T", ""},
      {7, "TS", "scene T @S", ""},
      {-1, "", "destroy", ""},  // below the base: the host's destruction notice
      {1, "u", "", "Could not retrieve Target pointer from TargetCreateEvent."},
      {2, "u", "", "Could not retrieve Target pointer from TargetDestroyEvent."},
      {4, "u", "", "Could not retrieve Target pointer from TargetChangedEvent."},
      {5, "u", "", "Could not retrieve bShow from ShowTargetsEvent."},
      {6, "u", "", "Could not retrieve Target pointer from TargetMovedEvent."},
      {7, "u", "", "Could not retrieve Target pointer from ShowTargetForSceneEvent."},
      {7, "T", "", "Could not retrieve Scene pointer from ShowTargetForSceneEvent."},
      {8, "", "", "Unrecognised ARController Observer tag <?>."},
      {255, "", "", "Unrecognised ARController Observer tag <255>.", true},
  };
  SmartPtr<RecordingObserver> observer = new RecordingObserver;
  SmartPtr<dom::ObserverProxy> proxy = new dom::ObserverProxy(*observer);
  auto target = MakeTarget("T");
  SmartPtr<orl::ShapeScene> scene = orl::ShapeScene::Create();
  observer->Label(scene.get(), "S");
  for (const Row& row : rows) {
    const unsigned tag =
        row.absolute ? row.offset : ar::ARController::GetBaseEventId() + row.offset;
    SCOPED_TRACE(tag);
    proxy->Begin();
    proxy->PushUInt8Value(static_cast<unsigned char>(tag));
    for (const char* p = row.payload; *p; ++p) {
      du::RefCounted* counted =
          *p == 'T' ? static_cast<du::RefCounted*>(target.get()) : scene.get();
      if (*p == 'b') proxy->PushBooleanValue(true);
      if (*p == 'u') proxy->PushUInt8Value(1);
      if (*p != 'T' && *p != 'S') continue;
      counted->AddReference(du::kRecordOwnerTag);
      proxy->PushSmartPtr(*p == 'T' ? static_cast<void*>(target.get()) : scene.get(), counted);
    }
    proxy->End();
    std::string thrown;
    try {
      arhost::RunUntilIdle();
    } catch (const std::runtime_error& e) {
      thrown = e.what();
    }
    std::string expected = row.thrown;
    if (const auto mark = expected.find('?'); mark != std::string::npos)
      expected.replace(mark, 1, std::to_string(tag));
    EXPECT_EQ(thrown, expected);
    EXPECT_EQ(observer->heard, *row.heard ? Heard{row.heard} : Heard{});
    observer->heard.clear();
    observer->targets.clear();
    EXPECT_EQ(target->GetReferenceCount(), 1) << "the record's reference was dropped";
    EXPECT_EQ(scene->GetReferenceCount(), 1);
  }
}

// Which side of the shared lock every public operation of the controller, the target and the
// content takes (see LockProbe.h).
TEST_F(ARControllerTest, EveryOperationTakesTheSideOfTheLockItMust) {
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
  struct Row {
    const char* name;
    artest::LockMode mode;
    std::function<void()> call;
  };
  using Mode = artest::LockMode;
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

using SceneMapTest = artest::HostTest;

TEST_F(SceneMapTest, BucketsGrowToTheHostsPrimeOnlyWhenFull) {
  std::vector<SmartPtr<orl::ShapeScene>> scenes;
  {
    ar::SceneMap map;
    EXPECT_EQ(map.BucketCount(), du::HashNextPrime(100));
    for (std::size_t i = 0; i < du::HashNextPrime(100); ++i) {
      scenes.push_back(orl::ShapeScene::Create());
      EXPECT_TRUE(map.Insert(scenes.back(), nullptr));
    }
    EXPECT_EQ(map.BucketCount(), du::HashNextPrime(100)) << "as many elements as buckets";
    scenes.push_back(orl::ShapeScene::Create());
    EXPECT_TRUE(map.Insert(scenes.back(), nullptr));
    EXPECT_EQ(map.BucketCount(), du::HashNextPrime(scenes.size()));
    EXPECT_EQ(map.Size(), scenes.size());
    EXPECT_FALSE(map.Insert(scenes.front(), nullptr)) << "one entry per scene";
    EXPECT_EQ(map.Size(), scenes.size());
    for (const auto& scene : scenes) EXPECT_TRUE(map.Erase(scene.get()));
    EXPECT_FALSE(map.Erase(scenes.front().get()));
    EXPECT_EQ(map.Size(), 0u);
  }
  EXPECT_EQ(scenes.front()->GetReferenceCount(), 1) << "the map let go of its keys";
}

// Scenes that share a bucket are told apart by identity: each finds its own observer, and
// erasing one leaves the other.
TEST_F(SceneMapTest, ScenesInOneBucketKeepTheirOwnObservers) {
  const std::size_t buckets = du::HashNextPrime(100);
  std::vector<SmartPtr<orl::ShapeScene>> made;
  SmartPtr<orl::ShapeScene> first, second;
  while (!second) {  // scenes until two land in one bucket (at most buckets + 1)
    made.push_back(orl::ShapeScene::Create());
    for (std::size_t i = 0; i + 1 < made.size() && !second; ++i)
      if ((reinterpret_cast<std::uintptr_t>(made[i].get()) >> 2) % buckets ==
          (reinterpret_cast<std::uintptr_t>(made.back().get()) >> 2) % buckets)
        first = made[i], second = made.back();
  }
  ar::SceneMap map;
  SmartPtr<ar::ARSceneObserver> a = new ar::ARSceneObserver, b = new ar::ARSceneObserver;
  ASSERT_TRUE(map.Insert(first, a));
  ASSERT_TRUE(map.Insert(second, b));
  EXPECT_EQ(map.Find(first.get()), a.get());
  EXPECT_EQ(map.Find(second.get()), b.get());
  EXPECT_TRUE(map.Erase(first.get()));
  EXPECT_EQ(map.Find(first.get()), nullptr);
  EXPECT_EQ(map.Find(second.get()), b.get());
  EXPECT_EQ(map.TakeObservers(), std::vector<SmartPtr<ar::ARSceneObserver>>{b});
  EXPECT_EQ(map.Size(), 0u);
}

}  // namespace
