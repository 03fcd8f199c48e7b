#include "orl/AsyncEvent.h"

#include <memory>
#include <stdexcept>

#include "dom/MessageLoop.h"
#include "du/SmartPtr.h"

namespace orl {

namespace {

class CompletionMessage final : public dom::Message {
 public:
  explicit CompletionMessage(du::SmartPtr<BaseAsyncEvent> event)
      : Message(event.get()), event_(std::move(event)) {}
  void Deliver() override { event_->DeliverCompletion(); }

 private:
  du::SmartPtr<BaseAsyncEvent> event_;
};

}  // namespace

void BaseAsyncEvent::Complete() { Finish(kSuccess, du::Symbol::EMPTY, 0); }

void BaseAsyncEvent::CompleteWithError(const du::Symbol& message, unsigned short code) {
  Finish(kError, message, code);
}

void BaseAsyncEvent::Cancel() { Finish(kCancelled, du::Symbol::EMPTY, 0); }

void BaseAsyncEvent::Finish(EventStatus status, const du::Symbol& message, unsigned short code) {
  {
    std::lock_guard lock(mutex_);
    if (status_ != kPending)
      throw std::logic_error("asynchronous event completed twice (status " +
                             std::to_string(status_) + ", then " + std::to_string(status) + ")");
    status_ = status;
    errorMessage_ = message;
    errorCode_ = code;
  }
  dom::MessageLoop::Get().Post(
      std::make_unique<CompletionMessage>(du::SmartPtr<BaseAsyncEvent>(this)));
}

void BaseAsyncEvent::DeliverCompletion() {
  EventStatus status;
  {
    std::lock_guard lock(mutex_);
    if (delivered_ || status_ == kPending) return;
    delivered_ = true;
    status = status_;
  }
  OnComplete(status);
  OnDelivered();
}

bool BaseAsyncEvent::IsCompleted() const { return GetStatus() != kPending; }

BaseAsyncEvent::EventStatus BaseAsyncEvent::GetStatus() const {
  std::lock_guard lock(mutex_);
  return status_;
}

du::Symbol BaseAsyncEvent::GetErrorMessage() const {
  std::lock_guard lock(mutex_);
  return errorMessage_;
}

unsigned short BaseAsyncEvent::GetErrorCode() const {
  std::lock_guard lock(mutex_);
  return errorCode_;
}

void AsyncEvent::OnDelivered() {
  if (releaseWhenDone_) UnmanageObject(this);
}

}  // namespace orl
