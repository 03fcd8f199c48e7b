// dom::ObservableEvent: an event an observable posts. The host calls PushToProxy once per
// registered observer, and the event writes itself into that observer's proxy
// (Begin, values, End). Events are usually built on the poster's stack for one post.
#pragma once

#include "ArHostExport.h"

namespace dom {

class ObserverProxy;

class ARHOST_API ObservableEvent {
 public:
  virtual ~ObservableEvent() = default;
  virtual void PushToProxy(ObserverProxy& proxy) const = 0;

 protected:
  ObservableEvent() = default;
  ObservableEvent(const ObservableEvent&) = default;
  ObservableEvent& operator=(const ObservableEvent&) = default;
};

}  // namespace dom
