// The baseline of queued delivery: a mutex-guarded queue of heap messages, each delivered by
// one virtual call. Any delivery through a message loop costs at least this much.
#pragma once

namespace arbench {

class BareQueue {
 public:
  BareQueue();
  ~BareQueue();
  BareQueue(const BareQueue&) = delete;
  BareQueue& operator=(const BareQueue&) = delete;

  // Posts `records` messages, then delivers them all.
  void PostAndDeliver(int records);
  int Sink() const { return sink_; }

 private:
  struct State;
  State* state_;
  int sink_ = 0;
};

}  // namespace arbench
