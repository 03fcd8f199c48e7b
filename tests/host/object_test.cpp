// Host objects: class types, their allocators and user data. Then observables and their
// observers through the message loop: the base class, and the host world and its scenes, what
// their observers hear and in which order.
#include "orl/Object.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "HostTest.h"
#include "dom/MessageReader.h"
#include "dom/ObservableEvent.h"
#include "dom/ObserverProxy.h"
#include "du/CommonAllocator.h"
#include "du/LiveCounters.h"
#include "orl/AnnoSetTable.h"
#include "orl/Annotation.h"
#include "orl/ObjectWithRWLock.h"
#include "orl/Observable.h"
#include "orl/Observer.h"
#include "orl/Scene.h"
#include "orl/SceneObserver.h"
#include "orl/World.h"
#include "orl/WorldObserver.h"

namespace {

using du::SmartPtr;
using Heard = std::vector<std::string>;

const orl::ClassType kShapeType(9001);
const orl::ClassType kCircleType(9002, &kShapeType);

class Circle final : public orl::ObjectWithRWLock {
 public:
  Circle() = default;
  explicit Circle(const SmartPtr<orl::ReadWriteLock>& lock) : ObjectWithRWLock(lock) {}
  const orl::ClassType& GetClassType() const override { return kCircleType; }

 private:
  ~Circle() override = default;
};

using ObjectTest = artest::HostTest;

TEST_F(ObjectTest, ClassTypesAnswerFromTheirChainAndTheRegistryKeepsTheFirstOfAnId) {
  SmartPtr<Circle> circle = new Circle;
  for (unsigned id : {9002u, 9001u, orl::Object::CLASS_TYPE.GetId()})
    EXPECT_TRUE(circle->IsATypeOfId(id)) << id;
  EXPECT_FALSE(circle->IsATypeOfId(9003));
  std::vector<const orl::ClassType*> chain{nullptr, nullptr, nullptr, nullptr};
  circle->GetClassTypes(chain);
  EXPECT_EQ(chain, (std::vector<const orl::ClassType*>{&kCircleType, &kShapeType,
                                                       &orl::Object::CLASS_TYPE}));
  EXPECT_NE(circle->GetObjectDescription().find("Circle (class type 9002)"), std::string::npos)
      << circle->GetObjectDescription();

  EXPECT_EQ(orl::ClassType::Find(424242), nullptr);
  {
    orl::ClassType duplicate(9002), fresh(424242);
    EXPECT_EQ(orl::ClassType::Find(9002), &kCircleType);
    EXPECT_EQ(orl::ClassType::Find(424242), &fresh);
  }
  EXPECT_EQ(orl::ClassType::Find(424242), nullptr);
  EXPECT_EQ(orl::ClassType::Find(9002), &kCircleType);
}

TEST_F(ObjectTest, AllocatorsCountTheirBlocksAndThePoolCanBeMadeToFailOnce) {
  struct Small : du::CommonAllocated {
    int value = 7;
  };
  const auto& counters = du::GetLiveCounters();
  const auto blocks = counters.poolBlocks.load(), common = counters.commonBlocks.load();
  SmartPtr<Circle> circle = new Circle;
  auto* small = new Small;
  EXPECT_EQ(counters.poolBlocks.load(), blocks + 1);
  EXPECT_EQ(counters.commonBlocks.load(), common + 1);
  orl::MemoryPoolAllocated::FailNextAllocations(1);
  EXPECT_EQ(new Circle, nullptr);
  SmartPtr<Circle> next = new Circle;
  EXPECT_NE(next.get(), nullptr);
  circle = next = nullptr;
  delete small;
  EXPECT_EQ(counters.poolBlocks.load(), blocks);
  EXPECT_EQ(counters.commonBlocks.load(), common);
}

TEST_F(ObjectTest, UserDataIsKeptUnderItsKey) {
  class Tag final : public du::UserData {
  } tag;
  SmartPtr<Circle> circle = new Circle(orl::Annotation::GetRWLock());
  EXPECT_TRUE(circle->AddUserData(du::Symbol("tag"), &tag));
  EXPECT_FALSE(circle->AddUserData(du::Symbol("tag"), &tag));
  EXPECT_EQ(circle->GetUserData(du::Symbol("tag")), &tag);
  EXPECT_EQ(circle->GetUserData(du::Symbol("other")), nullptr);
  SmartPtr<Circle> attached = new Circle;
  EXPECT_TRUE(circle->AddRefCountedUserData(du::Symbol("child"), attached.get()));
  EXPECT_EQ(attached->GetReferenceCount(), 2);
  EXPECT_EQ(circle->GetRefCountedUserData(du::Symbol("child")).get(),
            static_cast<du::RefCounted*>(attached.get()));
  EXPECT_TRUE(circle->RemoveUserData(du::Symbol("child")));
  EXPECT_EQ(attached->GetReferenceCount(), 1);
  EXPECT_TRUE(circle->RemoveUserData(du::Symbol("tag")));
  EXPECT_FALSE(circle->RemoveUserData(du::Symbol("tag")));
}

// An event of the test observable: its tag alone.
class Event final : public dom::ObservableEvent {
 public:
  explicit Event(unsigned char tag) : tag_(tag) {}
  void PushToProxy(dom::ObserverProxy& proxy) const override {
    proxy.Begin();
    proxy.PushUInt8Value(tag_);
    proxy.End();
  }

 private:
  unsigned char tag_;
};

class TestObservable final : public orl::Observable {
 public:
  TestObservable() : orl::Observable(orl::Annotation::GetRWLock()) {}
  using orl::Observable::DoUnregisterObserver;
  using orl::Observable::PostObservableEvent;
  bool Register(dom::Observer& o, _RegisterInitHelper* helper = nullptr) {
    return _RegisterObserver(o, new dom::ObserverProxy(o), helper);
  }
  void Post(unsigned char offset) { PostObservableEvent(Event(GetNextEventId() + offset), false); }
  int destroyCalls = 0;

 private:
  void _OnDestroy() override { ++destroyCalls; }
};

// Logs what it hears: "tag 3", "begin", "end", "destroy", "unregister".
class Recorder : public orl::Observer {
 public:
  explicit Recorder(bool beginEnd = false) : beginEnd_(beginEnd) {}
  Heard heard;
  std::function<void()> onEvent;

  bool RequiresBeginEnd() const override { return beginEnd_; }
  void OnDestroy() override { heard.push_back("destroy"); }
  void OnBeginUpdate() override { heard.push_back("begin"); }
  void OnEndUpdate() override { heard.push_back("end"); }
  void OnUnregister() override { heard.push_back("unregister"); }

 protected:
  void HandleEvent(unsigned char tag, dom::MessageReader& reader) override {
    if (tag < orl::Observable::GetNextEventId()) return orl::Observer::HandleEvent(tag, reader);
    heard.push_back("tag " + std::to_string(tag - orl::Observable::GetNextEventId()));
    if (onEvent) onEvent();
  }

 private:
  bool beginEnd_;
};

class ObservableTest : public artest::HostTest {
 protected:
  SmartPtr<Recorder> Registered(bool beginEnd = false) {
    SmartPtr<Recorder> r = new Recorder(beginEnd);
    EXPECT_TRUE(observable_->Register(*r));
    return r;
  }
  SmartPtr<TestObservable> observable_ = new TestObservable;
};

// Every observer hears every post in order, later, through the loop, inside the update groups
// it asked for; one that leaves while told hears nothing more; destruction is told once.
TEST_F(ObservableTest, ObserversHearEveryPostInOrderUntilTheyLeaveOrItIsDestroyed) {
  auto plain = Registered(false), grouped = Registered(true), leaving = Registered();
  leaving->onEvent = [&] { observable_->DoUnregisterObserver(*leaving); };
  {
    orl::Observable::UpdateGroup outer(observable_.get());
    observable_->Post(0);
    orl::Observable::UpdateGroup inner(observable_.get());
    observable_->Post(1);
  }
  observable_->Post(2);
  EXPECT_TRUE(plain->heard.empty()) << "posting calls nobody";
  arhost::RunUntilIdle();
  EXPECT_EQ(plain->heard, (Heard{"tag 0", "tag 1", "tag 2"}));
  EXPECT_EQ(grouped->heard, (Heard{"begin", "tag 0", "tag 1", "end", "tag 2"}));
  EXPECT_EQ(leaving->heard, (Heard{"tag 0", "unregister"}));
  observable_->Post(3);
  observable_->Destroy();
  observable_->Destroy();
  observable_->Post(4);
  arhost::RunUntilIdle();
  EXPECT_EQ(plain->heard, (Heard{"tag 0", "tag 1", "tag 2", "tag 3", "destroy"}));
  EXPECT_EQ(observable_->destroyCalls, 1);
  EXPECT_EQ(observable_->GetObserverCount(), 0u);
}

// A record ended after its proxy was detached is dropped, not posted: a poster that took the
// proxy just before the observer left, on another thread, must not reach it afterwards.
TEST_F(ObservableTest, ARecordEndedAfterTheProxyIsDetachedIsDropped) {
  SmartPtr<Recorder> recorder = new Recorder();
  SmartPtr<dom::ObserverProxy> proxy = new dom::ObserverProxy(*recorder);
  proxy->Begin();
  proxy->PushUInt8Value(orl::Observable::GetNextEventId());
  proxy->Detach();
  proxy->End();
  arhost::RunUntilIdle();
  EXPECT_EQ(recorder->heard, Heard{});
}

TEST_F(ObservableTest, InitHelperRunsOnceForARegisteredObserverAndAFailureUnregisters) {
  struct Helper final : orl::Observable::_RegisterInitHelper {
    std::function<void()> run;
    void InitObserver() override { run(); }
  } helper;
  SmartPtr<Recorder> a = new Recorder;
  std::vector<bool> runs;  // whether `a` was registered at each run
  helper.run = [&] { runs.push_back(observable_->IsObserver(*a)); };
  EXPECT_TRUE(observable_->Register(*a, &helper));
  EXPECT_FALSE(observable_->Register(*a, &helper)) << "registered already: no run";
  EXPECT_EQ(runs, std::vector<bool>{true});

  SmartPtr<Recorder> b = new Recorder;
  helper.run = [] { throw std::runtime_error("init failed"); };
  EXPECT_THROW(observable_->Register(*b, &helper), std::runtime_error);
  EXPECT_FALSE(observable_->IsObserver(*b));
}

TEST_F(ObservableTest, HostTagsGoToTheHostAndUnknownOnesThrowToTheLoopsCaller) {
  auto a = Registered();
  observable_->PostObservableEvent(Event(orl::Observable::GetNextEventId() - 1), false);
  arhost::RunUntilIdle();
  EXPECT_EQ(a->heard, Heard{"destroy"}) << "the tag below the first free one is the host's";

  struct Plain final : orl::Observer {
    void OnDestroy() override {}
  };
  SmartPtr<Plain> plain = new Plain;
  observable_->Register(*plain);
  observable_->PostObservableEvent(Event(7), false);
  try {
    arhost::RunUntilIdle();
    FAIL() << "an unknown tag must throw";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Unrecognised Observer tag <7>.");
  }
  arhost::RunUntilIdle();  // the loop is still usable
  EXPECT_EQ(a->heard.size(), 2u);
}

class WorldRecorder final : public orl::WorldObserver {
 public:
  Heard heard;
  std::map<const void*, std::string> labels;
  void OnDestroy() override { heard.push_back("destroy"); }
  void OnWorldInit() override { heard.push_back("init"); }
  void OnWorldReset() override { heard.push_back("reset"); }
  void OnSceneAdded(const SmartPtr<orl::Scene>& s) override {
    heard.push_back("+" + labels[s.get()]);
  }
  void OnSceneRemoved(const SmartPtr<orl::Scene>& s) override {
    heard.push_back("-" + labels[s.get()]);
  }

 private:
  ~WorldRecorder() override = default;
};

class SceneRecorder final : public orl::ShapeSceneObserver {
 public:
  Heard heard;
  void OnDestroy() override { heard.push_back("destroy"); }
  void OnAnnoSetTableEntryChanged(const SmartPtr<orl::AnnoSetTableEntry>& entry) override {
    heard.push_back("entry " + (entry ? entry->GetName().str() : std::string("-")));
  }

 private:
  ~SceneRecorder() override = default;
};

class WorldTest : public artest::HostTest {
 protected:
  SmartPtr<orl::World> world_ = orl::World::GetWorld();
};

TEST_F(WorldTest, ObserversHearEveryChangeInOrderThroughTheLoop) {
  auto a = orl::ShapeScene::Create();
  auto b = orl::Scene::Create();
  world_->AddScene(a.get());
  arhost::RunUntilIdle();
  SmartPtr<WorldRecorder> observer = new WorldRecorder;
  observer->labels = {{a.get(), "A"}, {b.get(), "B"}};
  EXPECT_TRUE(world_->RegisterObserver(observer, true));
  EXPECT_EQ(observer->heard, Heard{"+A"}) << "told of the scenes there, during the call";
  EXPECT_FALSE(world_->RegisterObserver(observer, true));
  world_->InitWorld();
  EXPECT_TRUE(world_->AddScene(b));
  EXPECT_FALSE(world_->AddScene(a.get())) << "already there: announced again";
  EXPECT_TRUE(world_->RemoveScene(b));
  EXPECT_FALSE(world_->RemoveScene(b));
  EXPECT_FALSE(world_->AddScene(nullptr));
  world_->ResetWorld();
  EXPECT_EQ(observer->heard.size(), 1u) << "nothing is told inside the calls";
  arhost::RunUntilIdle();
  EXPECT_EQ(observer->heard, (Heard{"+A", "init", "+B", "+A", "-B", "reset"}));
  EXPECT_EQ(world_->GetScenes().size(), 1u);

  world_->InitWorld();
  EXPECT_TRUE(world_->DeregisterObserver(observer));
  EXPECT_FALSE(world_->DeregisterObserver(observer));
  arhost::RunUntilIdle();
  EXPECT_EQ(observer->heard.size(), 6u) << "what was queued went with the registration";
}

TEST_F(WorldTest, SceneObserversHearEachEntryAndEndingTheWorldDestroysTheScenes) {
  auto scene = orl::ShapeScene::Create();
  SmartPtr<orl::AnnoSetTableEntry> entry;
  EXPECT_FALSE(scene->GetAnnotationSetTableEntry(entry));
  SmartPtr<SceneRecorder> observer = new SceneRecorder, leaving = new SceneRecorder;
  EXPECT_TRUE(scene->RegisterObserver(*observer, du::Flags(), false));
  EXPECT_FALSE(scene->RegisterObserver(*observer, du::Flags(), true));
  EXPECT_TRUE(scene->RegisterObserver(*leaving, du::Flags(), false));
  auto door = orl::AnnoSetTableEntry::Make(du::Symbol("Door"), du::Symbol::EMPTY,
                                           orl::ANNO_SET_CONTENT_NONE);
  for (const auto& e : {door, door, SmartPtr<orl::AnnoSetTableEntry>()})
    scene->SetAnnotationSetTableEntry(e);
  EXPECT_FALSE(scene->GetAnnotationSetTableEntry(entry));
  scene->SetAnnotationSetTableEntry(door);
  EXPECT_TRUE(scene->GetAnnotationSetTableEntry(entry));
  EXPECT_EQ(entry, door);
  EXPECT_TRUE(scene->UnregisterObserver(*leaving));
  EXPECT_FALSE(scene->UnregisterObserver(*leaving));
  EXPECT_TRUE(observer->heard.empty());
  arhost::RunUntilIdle();
  EXPECT_EQ(observer->heard, (Heard{"entry Door", "entry Door", "entry -", "entry Door"}));
  EXPECT_TRUE(leaving->heard.empty());

  SmartPtr<WorldRecorder> worldObserver = new WorldRecorder;
  world_->RegisterObserver(worldObserver, false);
  world_->AddScene(scene.get());
  world_ = nullptr;
  orl::World::EndWorld();
  arhost::RunUntilIdle();
  EXPECT_EQ(worldObserver->heard.back(), "destroy");
  EXPECT_EQ(observer->heard.back(), "destroy");
  EXPECT_EQ(scene->GetObserverCount(), 0u);
}

TEST_F(WorldTest, RecordsWithoutTheirPointerAreRejected) {
  SmartPtr<WorldRecorder> world = new WorldRecorder;
  SmartPtr<SceneRecorder> scene = new SceneRecorder;
  const std::pair<dom::Observer*, unsigned char> records[] = {
      {world.get(), orl::World::kSceneAddedEvent},
      {scene.get(), orl::Scene::kAnnoSetTableEntryChangedEvent}};
  for (const auto& [observer, tag] : records) {
    SmartPtr<dom::ObserverProxy> proxy = new dom::ObserverProxy(*observer);
    proxy->Begin();
    proxy->PushUInt8Value(tag);
    proxy->End();
    EXPECT_THROW(arhost::RunUntilIdle(), std::runtime_error) << int(tag);
  }
  EXPECT_TRUE(world->heard.empty());
  EXPECT_TRUE(scene->heard.empty());
}

}  // namespace
