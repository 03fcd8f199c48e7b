#include "orl/Observable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "HostTest.h"
#include "dom/MessageReader.h"
#include "dom/ObservableEvent.h"
#include "orl/Annotation.h"
#include "orl/Observer.h"

namespace {

using du::SmartPtr;

// A payload carried by records, counting its own destruction.
class Payload final : public virtual du::RefCounted {
 public:
  explicit Payload(int* destroyed) : destroyed_(destroyed) {}

 private:
  ~Payload() override { ++*destroyed_; }
  int* destroyed_;
};

// An event of the test observable: a tag, an optional payload pointer and an optional bool.
class Event final : public dom::ObservableEvent {
 public:
  Event(unsigned char tag, Payload* payload = nullptr, bool withPayload = false)
      : tag_(tag), payload_(payload), withPayload_(withPayload) {}
  void PushToProxy(dom::ObserverProxy& proxy) const override {
    proxy.Begin();
    proxy.PushUInt8Value(tag_);
    if (withPayload_) {
      if (payload_) payload_->AddReference(du::kRecordOwnerTag);
      proxy.PushSmartPtr(payload_, payload_);
    }
    proxy.End();
  }

 private:
  unsigned char tag_;
  Payload* payload_;
  bool withPayload_;
};

class TestObservable final : public orl::Observable {
 public:
  TestObservable() : orl::Observable(orl::Annotation::GetRWLock()) {}
  using orl::Observable::_RegisterObserver;
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

// Logs what it hears as text: "tag 3", "begin", "end", "destroy", "unregister".
// With `adoptPayload`, it reads a payload pointer after a tag of its observable's own.
class Recorder : public orl::Observer {
 public:
  explicit Recorder(bool beginEnd = false, bool adoptPayload = false)
      : beginEnd_(beginEnd), adoptPayload_(adoptPayload) {}
  std::vector<std::string> heard;
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
    if (adoptPayload_) {
      Payload* raw = nullptr;
      if (reader.GetRawPtr(raw)) {
        SmartPtr<Payload> adopted = raw;
        if (raw) raw->RemoveReference(&reader);
      }
    }
    if (onEvent) onEvent();
  }

 private:
  bool beginEnd_;
  bool adoptPayload_;
};

class ObservableTest : public artest::HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    observable_ = new TestObservable;
  }
  void TearDown() override {
    observable_ = nullptr;
    HostTest::TearDown();
  }

  SmartPtr<TestObservable> observable_;
};

using Heard = std::vector<std::string>;

TEST_F(ObservableTest, EachObserverHearsEveryPostInOrderAfterTheLoopRuns) {
  SmartPtr<Recorder> a = new Recorder, b = new Recorder;
  ASSERT_TRUE(observable_->Register(*a));
  ASSERT_TRUE(observable_->Register(*b));
  for (unsigned char offset : {0, 1, 2}) observable_->Post(offset);
  EXPECT_TRUE(a->heard.empty()) << "posting calls nobody";
  arhost::RunUntilIdle();
  EXPECT_EQ(a->heard, (Heard{"tag 0", "tag 1", "tag 2"}));
  EXPECT_EQ(b->heard, a->heard);
}

TEST_F(ObservableTest, PayloadReferencesAreReleasedOnEveryRoad) {
  int destroyed = 0;
  SmartPtr<Recorder> adopting = new Recorder(false, true);
  SmartPtr<Recorder> ignoring = new Recorder(false, false);  // leaves the pointer unread
  SmartPtr<Recorder> leaving = new Recorder(false, true);    // unregistered before delivery
  for (auto* r : {adopting.get(), ignoring.get(), leaving.get()}) observable_->Register(*r);
  {
    SmartPtr<Payload> payload = new Payload(&destroyed);
    observable_->PostObservableEvent(Event(orl::Observable::GetNextEventId(), payload.get(), true),
                                     false);
    EXPECT_EQ(payload->GetReferenceCount(), 4) << "one reference per record";
  }
  observable_->DoUnregisterObserver(*leaving);
  EXPECT_EQ(destroyed, 0);
  arhost::RunUntilIdle();
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(adopting->heard, Heard{"tag 0"});
  EXPECT_EQ(ignoring->heard, Heard{"tag 0"});
  EXPECT_EQ(leaving->heard, Heard{"unregister"});
}

TEST_F(ObservableTest, ShutdownReleasesRecordsNeverDelivered) {
  int destroyed = 0;
  SmartPtr<Recorder> a = new Recorder(false, true);
  observable_->Register(*a);
  observable_->PostObservableEvent(
      Event(orl::Observable::GetNextEventId(), new Payload(&destroyed), true), false);
  arhost::Shutdown();
  EXPECT_EQ(destroyed, 1);
  EXPECT_TRUE(a->heard.empty());
}

TEST_F(ObservableTest, InitHelperRunsOnceTheObserverIsRegistered) {
  struct Helper final : orl::Observable::_RegisterInitHelper {
    TestObservable* observable;
    Recorder* observer;
    int runs = 0;
    bool registeredDuringRun = false;
    void InitObserver() override {
      ++runs;
      registeredDuringRun = observable->IsObserver(*observer);
    }
  };
  SmartPtr<Recorder> a = new Recorder;
  Helper helper;
  helper.observable = observable_.get();
  helper.observer = a.get();
  EXPECT_TRUE(observable_->Register(*a, &helper));
  EXPECT_EQ(helper.runs, 1);
  EXPECT_TRUE(helper.registeredDuringRun);
  EXPECT_FALSE(observable_->Register(*a, &helper));
  EXPECT_EQ(helper.runs, 1) << "no helper run for a failed registration";
}

TEST_F(ObservableTest, FailingInitHelperLeavesTheObserverUnregistered) {
  struct Throwing final : orl::Observable::_RegisterInitHelper {
    void InitObserver() override { throw std::runtime_error("init failed"); }
  } helper;
  SmartPtr<Recorder> a = new Recorder;
  EXPECT_THROW(observable_->Register(*a, &helper), std::runtime_error);
  EXPECT_FALSE(observable_->IsObserver(*a));
}

TEST_F(ObservableTest, UpdateGroupsReachOnlyObserversThatAskForThem) {
  SmartPtr<Recorder> plain = new Recorder(false), grouped = new Recorder(true);
  observable_->Register(*plain);
  observable_->Register(*grouped);
  {
    orl::Observable::UpdateGroup outer(observable_.get());
    observable_->Post(0);
    orl::Observable::UpdateGroup inner(observable_.get());
    observable_->Post(1);
  }
  arhost::RunUntilIdle();
  EXPECT_EQ(plain->heard, (Heard{"tag 0", "tag 1"}));
  EXPECT_EQ(grouped->heard, (Heard{"begin", "tag 0", "tag 1", "end"}));
}

TEST_F(ObservableTest, DestroyTellsObserversOnceAndDetachesThem) {
  SmartPtr<Recorder> a = new Recorder;
  observable_->Register(*a);
  observable_->Post(0);
  observable_->Destroy();
  observable_->Destroy();
  observable_->Post(1);
  arhost::RunUntilIdle();
  EXPECT_EQ(a->heard, (Heard{"tag 0", "destroy"}));
  EXPECT_EQ(observable_->destroyCalls, 1);
  EXPECT_EQ(observable_->GetObserverCount(), 0u);
}

TEST_F(ObservableTest, UnknownHostTagAndMissingTagThrowToTheLoopsCaller) {
  SmartPtr<Recorder> a = new Recorder;
  observable_->Register(*a);
  observable_->PostObservableEvent(Event(orl::Observable::GetNextEventId() - 1), false);
  arhost::RunUntilIdle();
  EXPECT_EQ(a->heard, Heard{"destroy"}) << "the tag below the first free one is the host's";

  // A plain orl::Observer knows only the host's tags.
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

TEST_F(ObservableTest, ObserverUnregisteringItselfHearsNothingMore) {
  SmartPtr<Recorder> a = new Recorder, b = new Recorder;
  observable_->Register(*a);
  observable_->Register(*b);
  a->onEvent = [&] { observable_->DoUnregisterObserver(*a); };
  observable_->Post(0);
  observable_->Post(1);
  arhost::RunUntilIdle();
  EXPECT_EQ(a->heard, (Heard{"tag 0", "unregister"}));
  EXPECT_EQ(b->heard, (Heard{"tag 0", "tag 1"}));
}

}  // namespace
