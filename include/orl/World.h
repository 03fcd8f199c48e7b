// orl::World: the host's one world, the model being viewed. It has a structure tree whose root
// instance stands for the whole model.
//
// GetWorld() returns the current world, creating it on first use; host shutdown ends it and
// the next GetWorld() starts a new one. Observers (orl::WorldObserver) hear, through the message
// loop, what the control surface does to the world:
//   InitWorld / ResetWorld    -> OnWorldInit / OnWorldReset (nothing else changes: what a model
//                                holds is the application's to set up);
//   AddScene / RemoveScene    -> OnSceneAdded / OnSceneRemoved with the scene. Removing a scene
//                                does not destroy it; ending the world destroys the scenes it
//                                still holds (their observers hear OnDestroy).
// The control surface also sets what the root reports (Instance::SetUniqueId) and the world's
// annotation-set table (SetAnnoSetTable), which a new world does not have.
// Thread rules: any thread. Notifications of one world reach each observer in the order the
// changes were made.
#pragma once

#include <mutex>
#include <vector>

#include "ArHostExport.h"
#include "du/SmartPtr.h"
#include "du/Symbol.h"
#include "orl/AnnoSetTable.h"
#include "orl/Object.h"
#include "orl/Observable.h"
#include "orl/Scene.h"
#include "orl/WorldObserver.h"

namespace orl {

// One node of the structure tree.
class ARHOST_API Instance : public Object {
 public:
  // Fills `id` with the instance's unique id (empty until set); true when the instance has
  // one.
  virtual bool GetUniqueId(du::Symbol& id) const;
  void SetUniqueId(const du::Symbol& id);

 protected:
  friend class Tree;
  Instance() = default;
  ~Instance() override = default;

 private:
  du::Symbol uniqueId_;
};

class ARHOST_API Tree : public Object {
 public:
  du::SmartPtr<Instance> GetRoot() const { return root_; }

 protected:
  friend class World;
  Tree();
  ~Tree() override = default;

 private:
  du::SmartPtr<Instance> root_;
};

class ARHOST_API World : public Observable {
 public:
  // Tags of the world's notifications (see WorldObserver).
  static constexpr unsigned char kWorldInitEvent = kDestroyEvent + 1;
  static constexpr unsigned char kSceneAddedEvent = kDestroyEvent + 2;
  static constexpr unsigned char kSceneRemovedEvent = kDestroyEvent + 3;
  static constexpr unsigned char kWorldResetEvent = kDestroyEvent + 4;

  static du::SmartPtr<World> GetWorld();
  // Ends the current world (host shutdown).
  static void EndWorld();

  du::SmartPtr<Tree> GetTree() const { return tree_; }
  // The world's annotation sets; empty until a table is set.
  du::SmartPtr<AnnoSetTable> GetAnnoSetTable() const;
  void SetAnnoSetTable(const du::SmartPtr<AnnoSetTable>& table);

  // Registers `observer`; with `init` it is first told OnSceneAdded for every scene already in
  // the world, directly, on the calling thread. False when it was registered already.
  bool RegisterObserver(const du::SmartPtr<WorldObserver>& observer, bool init);
  // False when `observer` was not registered; its undelivered notifications are dropped.
  bool DeregisterObserver(const du::SmartPtr<WorldObserver>& observer);

  // Adds `scene` and tells the observers. A scene in the world already stays there once but is
  // announced again, as a host does when it reopens a view; the result is then false. An empty
  // scene is ignored (false).
  bool AddScene(const du::SmartPtr<Scene>& scene);
  // False, and nothing posted, when `scene` is not in the world.
  bool RemoveScene(const du::SmartPtr<Scene>& scene);
  std::vector<du::SmartPtr<Scene>> GetScenes() const;
  void InitWorld();
  void ResetWorld();

 protected:
  World();
  ~World() override = default;
  void _OnDestroy() override;

 private:
  friend class DefaultRegisterInitHelper<World, WorldObserver>;
  void _InitObserver(WorldObserver& observer);

  du::SmartPtr<Tree> tree_;
  mutable std::mutex mutex_;  // guards the members below and orders notifications with changes
  du::SmartPtr<AnnoSetTable> annoSetTable_;
  std::vector<du::SmartPtr<Scene>> scenes_;  // in the order they were added
};

}  // namespace orl
