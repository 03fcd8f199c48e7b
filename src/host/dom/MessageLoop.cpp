#include "dom/MessageLoop.h"

#include <algorithm>
#include <utility>

#include "dom/ManagedObject.h"
#include "dom/ShutdownMessage.h"

namespace dom {

MessageLoop& MessageLoop::Get() {
  // Never destroyed: plug-ins may release objects into it while the process exits.
  static MessageLoop* loop = new MessageLoop;
  return *loop;
}

void MessageLoop::Post(std::unique_ptr<Message> message) {
  std::lock_guard lock(mutex_);
  queue_.push_back(std::move(message));
}

bool MessageLoop::RunOne() {
  std::unique_ptr<Message> message;
  {
    std::lock_guard lock(mutex_);
    if (queue_.empty()) return false;
    message = std::move(queue_.front());
    queue_.pop_front();
  }
  message->Deliver();
  return true;
}

std::size_t MessageLoop::RunUntilIdle() {
  std::size_t delivered = 0;
  while (RunOne()) ++delivered;
  return delivered;
}

std::size_t MessageLoop::Discard(const void* owner) {
  std::vector<std::unique_ptr<Message>> dropped;
  {
    std::lock_guard lock(mutex_);
    auto kept = std::stable_partition(queue_.begin(), queue_.end(),
                                      [&](const auto& m) { return m->GetOwner() != owner; });
    std::move(kept, queue_.end(), std::back_inserter(dropped));
    queue_.erase(kept, queue_.end());
  }
  // Released outside the mutex: a release may destroy objects that post again.
  return dropped.size();
}

std::size_t MessageLoop::DiscardAll() {
  std::deque<std::unique_ptr<Message>> dropped;
  {
    std::lock_guard lock(mutex_);
    dropped.swap(queue_);
  }
  return dropped.size();
}

std::size_t MessageLoop::GetPendingCount() const {
  std::lock_guard lock(mutex_);
  return queue_.size();
}

bool MessageLoop::Manage(const du::SmartPtr<ManagedObject>& object) {
  if (!object) return false;
  {
    std::lock_guard lock(mutex_);
    if (!managed_.emplace(object.get(), object).second) return false;
  }
  object->OnManage();
  return true;
}

bool MessageLoop::Unmanage(const ManagedObject* object) {
  du::SmartPtr<ManagedObject> released;
  std::lock_guard lock(mutex_);
  auto found = managed_.find(object);
  if (found == managed_.end()) return false;
  released = std::move(found->second);
  managed_.erase(found);
  // `released` goes after the mutex (declared first, destroyed last).
  return true;
}

std::size_t MessageLoop::GetManagedCount() const {
  std::lock_guard lock(mutex_);
  return managed_.size();
}

std::size_t MessageLoop::GetShutdownMessageCount() const {
  std::lock_guard lock(mutex_);
  return shutdownMessages_.size();
}

void MessageLoop::AddShutdownMessage(const du::SmartPtr<ShutdownMessage>& message) {
  if (!message) return;
  std::lock_guard lock(mutex_);
  shutdownMessages_.push_back(message);
}

void MessageLoop::Shutdown() {
  // Each step may release objects whose destruction posts, manages or registers more, so
  // repeat until a whole round finds nothing to do.
  for (;;) {
    std::vector<du::SmartPtr<ShutdownMessage>> messages;
    std::unordered_map<const ManagedObject*, du::SmartPtr<ManagedObject>> managed;
    {
      std::lock_guard lock(mutex_);
      messages.swap(shutdownMessages_);
    }
    for (auto& message : messages) message->OnShutdown();
    const bool ranMessages = !messages.empty();
    messages.clear();
    const std::size_t dropped = DiscardAll();
    {
      std::lock_guard lock(mutex_);
      managed.swap(managed_);
    }
    const bool releasedManaged = !managed.empty();
    managed.clear();
    if (!ranMessages && dropped == 0 && !releasedManaged) return;
  }
}

}  // namespace dom
