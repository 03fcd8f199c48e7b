#include "dom/ObserverProxy.h"

#include <memory>

#include "dom/MessageLoop.h"
#include "dom/MessageReader.h"

namespace dom {

namespace {

class RecordMessage final : public Message {
 public:
  RecordMessage(du::SmartPtr<ObserverProxy> proxy, MessageRecord record)
      : Message(proxy.get()), proxy_(std::move(proxy)), record_(std::move(record)) {}
  void Deliver() override { proxy_->Deliver(record_); }

 private:
  du::SmartPtr<ObserverProxy> proxy_;
  MessageRecord record_;
};

}  // namespace

// Registration is what entitles the host to call the observer, so the proxy keeps a
// non-const handle on it.
ObserverProxy::ObserverProxy(const Observer& observer)
    : observer_(const_cast<Observer*>(&observer)) {}

void ObserverProxy::Begin() { current_ = MessageRecord(); }

void ObserverProxy::PushUInt8Value(std::uint8_t value) { current_.AddUInt8(value); }

void ObserverProxy::PushBooleanValue(bool value) { current_.AddBoolean(value); }

void ObserverProxy::PushSmartPtr(void* object, const du::RefCounted* counted) {
  current_.AddPointer(object, counted);
}

void ObserverProxy::End() {
  MessageRecord record = std::move(current_);
  if (!IsAttached()) return;  // the record and its references go here
  MessageLoop::Get().Post(
      std::make_unique<RecordMessage>(du::SmartPtr<ObserverProxy>(this), std::move(record)));
}

void ObserverProxy::Deliver(MessageRecord& record) {
  MessageReader reader(record);
  observer_->HandleMessage(reader);
}

}  // namespace dom
