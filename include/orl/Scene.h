// orl::Scene and orl::ShapeScene: the views the host shows of the world. A scene is an
// observable on the shared annotation lock and may have an annotation-set entry of its own
// (the set of annotations that belongs to the view). A shape scene shows shapes of the model,
// and observers (orl::ShapeSceneObserver) may register with it directly; a plain scene (a
// sheet, a drawing) takes no observers.
//
// Control surface: SetAnnotationSetTableEntry changes the scene's entry; the scene's observers
// hear OnAnnoSetTableEntryChanged(new entry) through the message loop, on every call, also when
// the entry is the one it had. Destroy() (the scene goes away) tells them OnDestroy.
// Thread rules: any thread.
#pragma once

#include <mutex>

#include "ArHostExport.h"
#include "du/Flags.h"
#include "du/SmartPtr.h"
#include "orl/Observable.h"

namespace orl {

class AnnoSetTableEntry;

class ARHOST_API Scene : public Observable {
 public:
  // The tag of the entry-changed notification; the record carries the new entry.
  static constexpr unsigned char kAnnoSetTableEntryChangedEvent = kDestroyEvent + 1;

  // A new plain scene, not yet part of any world.
  static du::SmartPtr<Scene> Create();

  // The scene's own annotation-set entry into `out`, emptied when it has none; true when it has
  // one.
  bool GetAnnotationSetTableEntry(du::SmartPtr<AnnoSetTableEntry>& out) const;
  // Gives the scene `entry` (empty: none) and tells its observers.
  void SetAnnotationSetTableEntry(const du::SmartPtr<AnnoSetTableEntry>& entry);

 protected:
  Scene();
  ~Scene() override;
  void _OnDestroy() override {}

 private:
  mutable std::mutex mutex_;  // guards entry_ and orders the notifications with the changes
  du::SmartPtr<AnnoSetTableEntry> entry_;
};

class ARHOST_API ShapeScene : public Scene {
 public:
  // A new shape scene, not yet part of any world.
  static du::SmartPtr<ShapeScene> Create();

  // Registers `observer`; `flags` and `init` are accepted for the host's interface and do not
  // change the registration (a shape scene has no state to tell a new observer). False when
  // already registered.
  bool RegisterObserver(dom::Observer& observer, const du::Flags& flags, bool init);
  // False when `observer` was not registered; its undelivered notifications are dropped.
  bool UnregisterObserver(dom::Observer& observer);

 protected:
  ShapeScene() = default;
  ~ShapeScene() override = default;
};

}  // namespace orl
