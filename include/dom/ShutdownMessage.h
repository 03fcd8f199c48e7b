// dom::ShutdownMessage: work the host runs once when it shuts down (see
// dom::ManagedObject::AddShutdownMessage). The host releases the message afterwards.
#pragma once

#include "ArHostExport.h"
#include "du/RefCounted.h"

namespace dom {

class ARHOST_API ShutdownMessage : public virtual du::RefCounted {
 public:
  virtual void OnShutdown() = 0;

 protected:
  ~ShutdownMessage() override = default;
};

}  // namespace dom
