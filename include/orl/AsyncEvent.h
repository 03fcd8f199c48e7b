// orl::BaseAsyncEvent and orl::AsyncEvent: the completion report of an operation that ends
// later than the call that started it (a load, a save, a show).
//
// Whoever finishes the operation calls Complete() or CompleteWithError(message, code) exactly
// once. The status is recorded at once; OnComplete(status) runs later on the message loop's
// thread, never inside the completing call, and exactly once. A second completion is a
// programming error: it throws std::logic_error and changes nothing.
//
// Status: kSuccess (0) after Complete(), kError after CompleteWithError, kCancelled after
// Cancel(). An event must be held through du::SmartPtr when it is completed: the pending
// delivery holds a reference of its own.
// orl::AsyncEvent(releaseWhenDone): with true, an event put under the message loop
// (dom::ManagedObject::ManageObject) leaves it once OnComplete has run, so its last holder
// frees it.
// Thread rules: complete from any thread; the hooks run on the loop's thread.
#pragma once

#include <mutex>

#include "ArHostExport.h"
#include "dom/Observer.h"
#include "du/Symbol.h"
#include "du/UserData.h"

namespace orl {

class ARHOST_API BaseAsyncEvent : public dom::Observer, public du::UserData {
 public:
  enum EventStatus : int { kPending = -1, kSuccess = 0, kError = 1, kCancelled = 2 };

  void Complete();
  void CompleteWithError(const du::Symbol& message, unsigned short code);
  void Cancel();

  bool IsCompleted() const;
  EventStatus GetStatus() const;
  du::Symbol GetErrorMessage() const;
  unsigned short GetErrorCode() const;

  // Runs the completion hook once; called by the message loop only.
  void DeliverCompletion();
  // Completions travel as loop messages of their own; records are not expected here.
  void HandleMessage(dom::MessageReader&) override {}

 protected:
  BaseAsyncEvent() = default;
  ~BaseAsyncEvent() override = default;

  // Progress of the operation, 0 to 1, and status texts, for events whose operation reports
  // them; this host's loader reports neither.
  virtual void OnProgress(double /*fraction*/) {}

 private:
  virtual void OnComplete(EventStatus /*status*/) {}

 protected:
  virtual void OnStatus(const du::Symbol& /*message*/) {}
  // After OnComplete, for the host's own bookkeeping.
  virtual void OnDelivered() {}

 private:
  void Finish(EventStatus status, const du::Symbol& message, unsigned short code);

  mutable std::mutex mutex_;
  EventStatus status_ = kPending;
  du::Symbol errorMessage_;
  unsigned short errorCode_ = 0;
  bool delivered_ = false;
};

class ARHOST_API AsyncEvent : public BaseAsyncEvent {
 public:
  explicit AsyncEvent(bool releaseWhenDone = true) : releaseWhenDone_(releaseWhenDone) {}

 protected:
  ~AsyncEvent() override = default;
  void OnDelivered() override;

 private:
  bool releaseWhenDone_;
};

}  // namespace orl
