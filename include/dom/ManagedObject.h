// dom::ManagedObject: an object that lives under the host's message loop. Managing an object
// makes the loop hold a reference to it until it is unmanaged or the host shuts down, so that
// what is delivered to it later (notifications, completions) finds it alive.
// Thread rules: any thread.
#pragma once

#include "ArHostExport.h"
#include "du/RefCounted.h"
#include "du/SmartPtr.h"

namespace dom {

class ShutdownMessage;

class ARHOST_API ManagedObject : public virtual du::RefCounted {
 public:
  // Puts `object` under the message loop. False when it is empty or already managed.
  bool ManageObject(const du::SmartPtr<ManagedObject>& object);
  // Takes `object` out from under the loop; false when it was not managed.
  static bool UnmanageObject(const ManagedObject* object);
  // Runs `message` once at host shutdown, in the order messages were added.
  static void AddShutdownMessage(const du::SmartPtr<ShutdownMessage>& message);

  // Called on the managing thread right after the object came under the loop.
  virtual void OnManage() {}

 protected:
  ManagedObject() = default;
  ~ManagedObject() override = default;
};

}  // namespace dom
