// dom::Observer: anything the message loop delivers notification records to. A record reaches
// HandleMessage on the thread that runs the loop, positioned at its first value.
#pragma once

#include "ArHostExport.h"
#include "dom/ManagedObject.h"

namespace dom {

class MessageReader;

class ARHOST_API Observer : public ManagedObject {
 public:
  virtual void HandleMessage(MessageReader& reader) = 0;

 protected:
  Observer() = default;
  ~Observer() override = default;
};

}  // namespace dom
