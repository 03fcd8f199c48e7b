// dom::MessageLoop: the host's one message loop. Notification records, completions of
// asynchronous events and anything else posted as a dom::Message wait in one queue, in posting
// order, until the host application's thread runs the loop.
//
// Use: post from any thread; run the loop on the application's thread (RunUntilIdle), which
// delivers every queued message, including the ones posted while it runs, and returns when the
// queue is empty. Tests drive it the same way: post, run until idle, then assert.
//
// A delivery that throws removes its message first; the exception leaves RunUntilIdle with its
// message intact and the loop stays usable.
//
// The loop also keeps the managed objects alive and holds the shutdown messages; Shutdown runs
// those, drops what is still queued (releasing every reference it carries) and releases the
// managed objects. The loop may be used again after a shutdown.
// Thread rules: Post, Discard and the managed-object calls from any thread; RunUntilIdle and
// Shutdown from one thread at a time (the application's).
#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "ArHostExport.h"
#include "du/SmartPtr.h"

namespace dom {

class ManagedObject;
class ShutdownMessage;

// One unit of work for the loop. `owner` groups the messages Discard removes together.
class ARHOST_API Message {
 public:
  explicit Message(const void* owner) : owner_(owner) {}
  virtual ~Message() = default;
  virtual void Deliver() = 0;
  const void* GetOwner() const { return owner_; }

 private:
  const void* owner_;
};

class ARHOST_API MessageLoop {
 public:
  static MessageLoop& Get();

  void Post(std::unique_ptr<Message> message);
  // Delivers one message; false when the queue was empty.
  bool RunOne();
  // Delivers until the queue is empty; returns how many were delivered.
  std::size_t RunUntilIdle();
  // Drops the queued messages of `owner` undelivered; returns how many.
  std::size_t Discard(const void* owner);
  std::size_t GetPendingCount() const;

  bool Manage(const du::SmartPtr<ManagedObject>& object);
  bool Unmanage(const ManagedObject* object);
  std::size_t GetManagedCount() const;

  void AddShutdownMessage(const du::SmartPtr<ShutdownMessage>& message);
  // Shutdown messages added and not yet run.
  std::size_t GetShutdownMessageCount() const;
  // Runs the shutdown messages in the order they were added, then drops the queue and
  // releases the managed objects, until releasing them has left nothing new behind.
  void Shutdown();

 private:
  MessageLoop() = default;
  std::size_t DiscardAll();

  mutable std::mutex mutex_;
  std::deque<std::unique_ptr<Message>> queue_;
  std::unordered_map<const ManagedObject*, du::SmartPtr<ManagedObject>> managed_;
  std::vector<du::SmartPtr<ShutdownMessage>> shutdownMessages_;
};

}  // namespace dom
