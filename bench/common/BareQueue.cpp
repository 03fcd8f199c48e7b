#include "BareQueue.h"

#include <deque>
#include <memory>
#include <mutex>

namespace arbench {

namespace {

struct Message {
  virtual ~Message() = default;
  virtual void Deliver(int& sink) = 0;
};

struct Record final : Message {
  void Deliver(int& sink) override { sink += 3; }
};

}  // namespace

struct BareQueue::State {
  std::mutex mutex;
  std::deque<std::unique_ptr<Message>> queue;
};

BareQueue::BareQueue() : state_(new State) {}
BareQueue::~BareQueue() { delete state_; }

void BareQueue::PostAndDeliver(int records) {
  for (int r = 0; r < records; ++r) {
    std::lock_guard lock(state_->mutex);
    state_->queue.push_back(std::make_unique<Record>());
  }
  for (;;) {
    std::unique_ptr<Message> m;
    {
      std::lock_guard lock(state_->mutex);
      if (state_->queue.empty()) return;
      m = std::move(state_->queue.front());
      state_->queue.pop_front();
    }
    m->Deliver(sink_);
  }
}

}  // namespace arbench
