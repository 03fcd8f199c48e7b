// ar::ARController: the plug-in's one process-wide object. It owns the target registry (every
// target the application made known, ordered by the targets' addresses), tells its observers
// of every change, and keeps the shown state and the loaded AR content.
//
// It follows the host's world: each shape scene that has an annotation-set entry of its own is
// tracked, and the target named like that entry is announced for the scene
// (SHOW_TARGET_FOR_SCENE_EVENT). The world's targets come from its "ARTargets" annotation set
// (content type 14), loaded through the host's loader the first time a scene or ShowTargets
// needs them; loading replaces the registry with the set's targets.
//
// Use: ARController::Get() (created on first call; the first call must finish before another
// thread calls it). Register an ARControllerObserver to hear changes; they are posted while
// the lock is held and delivered later by the host's message loop.
//
// Locking: one read-write lock, the host's shared annotation lock, guards the controller,
// every target and every AR content. Finds and GetTargets hold it shared; changes hold it
// exclusively. It is taken nested on one thread, so callbacks may call back in.
// Lifetime: the host's shutdown message empties the instance pointer; the controller goes when
// its last holder lets go, and a later Get() creates a new one.
#pragma once

#include <atomic>
#include <memory>
#include <set>
#include <vector>

#include "ar/ARExport.h"
#include "du/SmartPtr.h"
#include "du/Symbol.h"
#include "orl/ClassType.h"
#include "orl/Observable.h"

namespace orl {
class AnnoSetTable;
class AnnoSetTableEntry;
class AsyncEvent;
class Scene;
class ShapeScene;
}  // namespace orl

namespace ar {

class ARContent;
class ARControllerObserver;
class ARSceneObserver;
class ARTarget;
class ARWorldObserver;
class LoadAnnoSetEvent;
class SceneMap;

class AR_API ARController : public orl::Observable {
 public:
  static const orl::ClassType CLASS_TYPE;  // id 177

  // Event ids are GetBaseEventId() plus these offsets.
  static const unsigned char RESET_EVENT = 0;
  static const unsigned char TARGET_CREATE_EVENT = 1;
  static const unsigned char TARGET_DESTROY_EVENT = 2;
  static const unsigned char TARGET_DESTROY_ALL_EVENT = 3;
  static const unsigned char TARGET_CHANGED_EVENT = 4;
  static const unsigned char SHOW_TARGETS_EVENT = 5;
  static const unsigned char TARGET_MOVED_EVENT = 6;
  static const unsigned char SHOW_TARGET_FOR_SCENE_EVENT = 7;

  // The instance, created on first call; null only when it cannot be allocated. Takes no lock.
  static ARController* Get();
  // The first event id after the host's own.
  static unsigned char GetBaseEventId();

  ARController();

  const orl::ClassType& GetClassType() const override;

  // Adds `target` unless it is registered already; posts TARGET_CREATE_EVENT only then. An
  // empty pointer is ignored.
  void AddTarget(const du::SmartPtr<ARTarget>& target);
  // Removes `target` if registered; posts TARGET_DESTROY_EVENT only then.
  void RemoveTarget(const du::SmartPtr<ARTarget>& target);
  // Empties the registry; posts one TARGET_DESTROY_ALL_EVENT, and only if it held anything.
  void RemoveAllTargets();
  // The first target in registry order with this name; empty if none.
  du::SmartPtr<ARTarget> FindTarget(const du::Symbol& name) const;
  // The first target in registry order of type 1 with this target id; empty if none.
  du::SmartPtr<ARTarget> FindTarget(int id) const;
  // Replaces the contents of `out` with the registry, in registry order.
  void GetTargets(std::vector<du::SmartPtr<ARTarget>>& out) const;
  // Posts TARGET_MOVED_EVENT for `target`, registered or not. Takes no lock.
  void SignalTargetMoved(du::SmartPtr<ARTarget>& target);
  // Whether the targets are shown. Takes no lock.
  bool GetShowTargets() const;

  // The target last announced for `scene`; empty when the scene is not a tracked shape scene or
  // has no target.
  du::SmartPtr<ARTarget> GetTargetForScene(const du::SmartPtr<orl::Scene>& scene) const;

  // Shows the targets: completes `event` (may be null) exactly once, possibly later through the
  // message loop, and posts SHOW_TARGETS_EVENT true when the state changes. With nothing loaded
  // it loads the world's "ARTargets" set first, creating an empty one when the world has none.
  // Fails `event` with code 1 when the world has no annotation-set table or the load fails.
  void ShowTargets(orl::AsyncEvent* event);
  // Hides the targets; posts SHOW_TARGETS_EVENT false when they were shown.
  void HideTargets();
  // Puts the registry into the loaded content and has the host's loader save the "ARTargets"
  // set; the saver completes `event` (may be null). Fails it with code 1 when nothing is loaded
  // or the world has no such set.
  void SaveTargets(orl::AsyncEvent* event);

  // Registers `observer`; with `init`, first tells it OnTargetCreate for every registered
  // target, in registry order, before returning. False when it was registered already.
  bool RegisterObserver(ARControllerObserver& observer, bool init);
  // Unregisters `observer`; records not yet delivered to it are dropped.
  bool DeregisterObserver(ARControllerObserver& observer);

 protected:
  ~ARController() override;

 private:
  friend class ARContent;  // builds itself on the controller's lock
  class ARShutdownMessage;
  friend class orl::Observable::DefaultRegisterInitHelper<ARController, ARControllerObserver>;
  friend class ARWorldObserver;   // world notifications
  friend class ARSceneObserver;   // scene notifications
  friend class LoadAnnoSetEvent;  // load completions

  // Drops the shown state (posting SHOW_TARGETS_EVENT false) and any loaded content with the
  // registry (posting RESET_EVENT); posts nothing when neither is set.
  void InitAR();
  // Detaches the world observer and every scene observer; a second run does nothing.
  void _OnDestroy() override;
  virtual void _InitObserver(ARControllerObserver& observer);

  // Scene tracking: each one ignores a scene that is not a shape scene.
  void OnSceneAdded(const du::SmartPtr<orl::Scene>& scene);
  void OnSceneRemoved(const du::SmartPtr<orl::Scene>& scene);
  void OnAnnoSetTableEntryChanged(const du::SmartPtr<orl::Scene>& scene,
                                  const du::SmartPtr<orl::AnnoSetTableEntry>& entry);

  // Starts loading the world's "ARTargets" set for `scene` (may be empty) and `event` (may be
  // null). The caller holds the write lock.
  void _LoadARContent(const du::SmartPtr<orl::ShapeScene>& scene, orl::AsyncEvent* event);
  // Sets the shown flag, completes `event`, posts SHOW_TARGETS_EVENT true. Takes no lock.
  void _ShowTargetsAfterLoad(orl::AsyncEvent* event);
  // Creates the "ARTargets" set with empty content in `table` and shows it once created.
  void CreateARTargetsSet(const du::SmartPtr<orl::AnnoSetTable>& table, orl::AsyncEvent* event);
  // Ties `scene` to the target named like `entry` when that differs from its current one;
  // with `postEmpty`, a change to no target is announced too. The caller holds the write lock.
  void AnnounceSceneTarget(ARSceneObserver& observer, const du::SmartPtr<orl::ShapeScene>& scene,
                           const du::SmartPtr<orl::AnnoSetTableEntry>& entry, bool postEmpty);

  void PostTargetEvent(unsigned char offset, const du::SmartPtr<ARTarget>& target);
  void PostSimpleEvent(unsigned char offset);
  void PostBoolEvent(unsigned char offset, bool value);

  // Finishes a load started by _LoadARContent or ShowTargets (see LoadAnnoSetEvent).
  virtual void OnLoadComplete(const du::SmartPtr<orl::ShapeScene>& scene,
                              const du::SmartPtr<orl::AsyncEvent>& event);

  static du::SmartPtr<ARController> s_instance;

  std::set<du::SmartPtr<ARTarget>> targets_;
  std::atomic<bool> shown_{false};  // written under the lock, read without it
  du::SmartPtr<ARContent> loadedContent_;
  du::SmartPtr<ARWorldObserver> worldObserver_;
  std::unique_ptr<SceneMap> scenes_;  // held apart so that its type stays private
};

}  // namespace ar
