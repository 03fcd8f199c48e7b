// orl::Observer: an observer of the host's observables (orl::Observable). Records reach it
// through the message loop; the first value of each is its event tag, and HandleEvent decodes
// it. The host's own tags lie below orl::Observable::GetNextEventId():
//   kBeginUpdateEvent -> OnBeginUpdate, kEndUpdateEvent -> OnEndUpdate (only for observers
//   whose RequiresBeginEnd() is true), kDestroyEvent -> OnDestroy (the observable is gone).
// Subclasses decode their observable's own tags and hand lower tags to this HandleEvent.
// Thread rules: notifications run on the thread that runs the message loop.
#pragma once

#include "ArHostExport.h"
#include "dom/Observer.h"

namespace orl {

class ARHOST_API Observer : public dom::Observer {
 public:
  // Whether the observer is told when an observable opens and closes an update group.
  virtual bool RequiresBeginEnd() const { return false; }
  // The observable this observer watches has been destroyed.
  virtual void OnDestroy() = 0;
  virtual void OnBeginUpdate() {}
  virtual void OnEndUpdate() {}
  // Called right after the observer has been unregistered, on the unregistering thread.
  virtual void OnUnregister() {}

  // Reads the tag and hands the rest of the record to HandleEvent. Throws std::runtime_error
  // for a record without a tag.
  void HandleMessage(dom::MessageReader& reader) override;

 protected:
  Observer() = default;
  ~Observer() override = default;

  // Decodes the host's tags; throws std::runtime_error("Unrecognised Observer tag <N>.") for
  // any other.
  virtual void HandleEvent(unsigned char tag, dom::MessageReader& reader);
};

}  // namespace orl
