#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>
#include <vector>

#include "HostTest.h"
#include "dom/MessageLoop.h"
#include "orl/AsyncEvent.h"

namespace {

using du::SmartPtr;

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

using AsyncEventTest = artest::HostTest;

TEST_F(AsyncEventTest, CompletionArrivesOnceThroughTheLoopOnItsThread) {
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

TEST_F(AsyncEventTest, ManagedEventLeavesTheLoopWhenDoneIfAsked) {
  int destroyed = 0;
  SmartPtr<Event> releasing = new Event(true, &destroyed);
  SmartPtr<Event> keeping = new Event(false, &destroyed);
  releasing->ManageObject(releasing);
  keeping->ManageObject(keeping);
  releasing->Cancel();
  keeping->Cancel();
  releasing = keeping = nullptr;
  arhost::RunUntilIdle();
  EXPECT_EQ(destroyed, 1) << "only the releasing event is gone";
  EXPECT_EQ(dom::MessageLoop::Get().GetManagedCount(), 1u);
  arhost::Shutdown();  // releases the other while `destroyed` still lives
  EXPECT_EQ(destroyed, 2);
}

}  // namespace
