// The host's message loop: messages in order, events completed through it, the objects it
// keeps until shutdown, and shutdown itself.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "HostTest.h"
#include "dom/ManagedObject.h"
#include "dom/MessageLoop.h"
#include "dom/ShutdownMessage.h"
#include "orl/AsyncEvent.h"

namespace {

using dom::MessageLoop;
using du::SmartPtr;
using Log = std::vector<std::string>;

class Task final : public dom::Message {
 public:
  explicit Task(std::function<void()> run) : Message(nullptr), run_(std::move(run)) {}
  void Deliver() override { run_(); }

 private:
  std::function<void()> run_;
};

class Managed final : public dom::ManagedObject {
 public:
  explicit Managed(int* destroyed) : destroyed_(destroyed) {}
  int managedCalls = 0;
  void OnManage() override { ++managedCalls; }

 private:
  ~Managed() override { ++*destroyed_; }
  int* destroyed_;
};

class Event final : public orl::AsyncEvent {
 public:
  explicit Event(bool releaseWhenDone = true, int* destroyed = nullptr)
      : orl::AsyncEvent(releaseWhenDone), destroyed_(destroyed) {}
  std::vector<int> completions;
  std::thread::id completedOn;

 private:
  ~Event() override {
    if (destroyed_) ++*destroyed_;
  }
  void OnComplete(EventStatus status) override {
    completions.push_back(status);
    completedOn = std::this_thread::get_id();
  }
  int* destroyed_;
};

class Recording final : public dom::ShutdownMessage {
 public:
  Recording(Log& log, std::string name, std::function<void()> then = {})
      : log_(log), name_(std::move(name)), then_(std::move(then)) {}
  void OnShutdown() override {
    log_.push_back(name_);
    if (then_) then_();
  }

 private:
  Log& log_;
  std::string name_;
  std::function<void()> then_;
};

class MessageLoopTest : public artest::HostTest {
 protected:
  void Post(std::function<void()> run) { MessageLoop::Get().Post(std::make_unique<Task>(run)); }
  Log log_;
};

TEST_F(MessageLoopTest, DeliversInPostingOrderAndGoesOnAfterAThrow) {
  Post([&] { log_.push_back("a"); });
  Post([&] {
    log_.push_back("b");
    Post([&] { log_.push_back("d"); });
  });
  Post([&] { log_.push_back("c"); });
  EXPECT_EQ(MessageLoop::Get().RunUntilIdle(), 4u);
  EXPECT_EQ(log_, (Log{"a", "b", "c", "d"}));
  EXPECT_EQ(MessageLoop::Get().RunUntilIdle(), 0u);

  Post([] { throw std::runtime_error("observer failed: <7>"); });
  Post([&] { log_.push_back("after"); });
  EXPECT_THROW(MessageLoop::Get().RunUntilIdle(), std::runtime_error);
  EXPECT_EQ(MessageLoop::Get().GetPendingCount(), 1u);
  MessageLoop::Get().RunUntilIdle();
  EXPECT_EQ(log_.back(), "after");
}

TEST_F(MessageLoopTest, EventCompletionArrivesOnceThroughTheLoopOnItsThread) {
  SmartPtr<Event> ok = new Event, failed = new Event;
  std::thread([&] { ok->Complete(); }).join();
  failed->CompleteWithError(du::Symbol("file not found"), 1);
  EXPECT_TRUE(ok->IsCompleted());
  EXPECT_TRUE(ok->completions.empty()) << "never inside the completing call";
  EXPECT_THROW(ok->CompleteWithError(du::Symbol::EMPTY, 1), std::logic_error);
  EXPECT_THROW(ok->Complete(), std::logic_error);
  arhost::RunUntilIdle();
  EXPECT_EQ(ok->completions, std::vector<int>{0});
  EXPECT_EQ(ok->GetStatus(), orl::BaseAsyncEvent::kSuccess) << "the first completion stands";
  EXPECT_EQ(ok->completedOn, std::this_thread::get_id());
  EXPECT_EQ(failed->completions, std::vector<int>{orl::BaseAsyncEvent::kError});
  EXPECT_EQ(failed->GetErrorMessage(), du::Symbol("file not found"));
  EXPECT_EQ(failed->GetErrorCode(), 1);
}

// Managed objects live until shutdown, but for events that asked to leave once done.
TEST_F(MessageLoopTest, ManagedObjectsLiveUntilShutdownButEventsDoneLeaveIfAsked) {
  int destroyed = 0;
  SmartPtr<Managed> first = new Managed(&destroyed), second = new Managed(&destroyed);
  SmartPtr<Event> releasing = new Event(true, &destroyed), keeping = new Event(false, &destroyed);
  EXPECT_TRUE(first->ManageObject(first));
  EXPECT_FALSE(first->ManageObject(first)) << "managed twice";
  EXPECT_TRUE(first->ManageObject(second));
  EXPECT_EQ(first->managedCalls, 1);
  for (const auto& event : {releasing, keeping}) {
    event->ManageObject(event);
    event->Cancel();
  }
  first = second = nullptr;
  releasing = keeping = nullptr;
  arhost::RunUntilIdle();
  EXPECT_EQ(destroyed, 1) << "only the releasing event is gone";
  EXPECT_EQ(MessageLoop::Get().GetManagedCount(), 3u);
  arhost::Shutdown();
  EXPECT_EQ(destroyed, 4);
}

TEST_F(MessageLoopTest, ShutdownRunsMessagesOnceInOrderThenDropsTheQueue) {
  bool delivered = false;
  Post([&] { delivered = true; });
  dom::ManagedObject::AddShutdownMessage(new Recording(log_, "first"));
  // A shutdown message that adds another: the second round runs it too.
  dom::ManagedObject::AddShutdownMessage(new Recording(log_, "second", [&] {
    dom::ManagedObject::AddShutdownMessage(new Recording(log_, "late"));
  }));
  EXPECT_EQ(MessageLoop::Get().GetShutdownMessageCount(), 2u);
  arhost::Shutdown();
  arhost::Shutdown();
  EXPECT_EQ(log_, (Log{"first", "second", "late"}));
  EXPECT_FALSE(delivered);
  EXPECT_EQ(MessageLoop::Get().GetShutdownMessageCount(), 0u);
}

}  // namespace
