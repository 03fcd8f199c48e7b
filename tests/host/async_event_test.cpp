#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>
#include <vector>

#include "HostTest.h"
#include "dom/MessageLoop.h"
#include "orl/AsyncEvent.h"

namespace {

using du::SmartPtr;

class RecordingEvent final : public orl::AsyncEvent {
 public:
  explicit RecordingEvent(bool releaseWhenDone = true, int* destroyed = nullptr)
      : orl::AsyncEvent(releaseWhenDone), destroyed_(destroyed) {}
  std::vector<int> completions;
  std::thread::id completedOn;

 private:
  ~RecordingEvent() override {
    if (destroyed_) ++*destroyed_;
  }
  void OnComplete(EventStatus status) override {
    completions.push_back(status);
    completedOn = std::this_thread::get_id();
  }
  int* destroyed_;
};

using AsyncEventTest = artest::HostTest;

TEST_F(AsyncEventTest, CompletionReachesOnCompleteLaterThroughTheLoop) {
  SmartPtr<RecordingEvent> event = new RecordingEvent;
  event->Complete();
  EXPECT_TRUE(event->IsCompleted());
  EXPECT_TRUE(event->completions.empty()) << "never inside the completing call";
  arhost::RunUntilIdle();
  EXPECT_EQ(event->completions, std::vector<int>{0});
}

TEST_F(AsyncEventTest, ErrorCompletionKeepsMessageAndCode) {
  SmartPtr<RecordingEvent> event = new RecordingEvent;
  event->CompleteWithError(du::Symbol("file not found"), 1);
  arhost::RunUntilIdle();
  EXPECT_EQ(event->completions, std::vector<int>{orl::BaseAsyncEvent::kError});
  EXPECT_EQ(event->GetErrorMessage(), du::Symbol("file not found"));
  EXPECT_EQ(event->GetErrorCode(), 1);
}

TEST_F(AsyncEventTest, SecondCompletionIsReportedAndOnCompleteRunsOnce) {
  SmartPtr<RecordingEvent> event = new RecordingEvent;
  event->Complete();
  EXPECT_THROW(event->CompleteWithError(du::Symbol::EMPTY, 1), std::logic_error);
  EXPECT_THROW(event->Complete(), std::logic_error);
  arhost::RunUntilIdle();
  EXPECT_EQ(event->completions, std::vector<int>{0});
  EXPECT_EQ(event->GetStatus(), orl::BaseAsyncEvent::kSuccess) << "the first completion stands";
}

TEST_F(AsyncEventTest, ManagedEventLeavesTheLoopWhenDoneIfAsked) {
  int destroyed = 0;
  SmartPtr<RecordingEvent> releasing = new RecordingEvent(true, &destroyed);
  SmartPtr<RecordingEvent> keeping = new RecordingEvent(false, &destroyed);
  releasing->ManageObject(releasing);
  keeping->ManageObject(keeping);
  releasing->Cancel();
  keeping->Cancel();
  releasing = nullptr;
  keeping = nullptr;
  arhost::RunUntilIdle();
  EXPECT_EQ(destroyed, 1) << "only the releasing event is gone";
  EXPECT_EQ(dom::MessageLoop::Get().GetManagedCount(), 1u);
  arhost::Shutdown();  // releases the other while `destroyed` still lives
  EXPECT_EQ(destroyed, 2);
}

TEST_F(AsyncEventTest, CompletedOnAnotherThreadRunsOnTheLoopThread) {
  SmartPtr<RecordingEvent> event = new RecordingEvent;
  std::thread([&] { event->Complete(); }).join();
  arhost::RunUntilIdle();
  EXPECT_EQ(event->completedOn, std::this_thread::get_id());
}

}  // namespace
