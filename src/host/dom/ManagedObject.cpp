#include "dom/ManagedObject.h"

#include "dom/MessageLoop.h"
#include "dom/ShutdownMessage.h"

namespace dom {

bool ManagedObject::ManageObject(const du::SmartPtr<ManagedObject>& object) {
  return MessageLoop::Get().Manage(object);
}

bool ManagedObject::UnmanageObject(const ManagedObject* object) {
  return MessageLoop::Get().Unmanage(object);
}

void ManagedObject::AddShutdownMessage(const du::SmartPtr<ShutdownMessage>& message) {
  MessageLoop::Get().AddShutdownMessage(message);
}

}  // namespace dom
