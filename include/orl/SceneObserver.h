// The observers of scenes: orl::MarkupHolderObserver (observers of anything that holds markups,
// the base of scene observers; this host's markup holders post nothing of their own),
// orl::SceneObserver and orl::ShapeSceneObserver (what registers with an orl::ShapeScene).
//
// A scene observer hears, through the message loop, OnAnnoSetTableEntryChanged(entry) when the
// scene's annotation-set entry was set (the new entry, possibly empty) and OnDestroy when the
// scene was destroyed. OnDestroy is left to the subclass.
// Thread rules: notifications run on the thread that runs the message loop.
#pragma once

#include "ArHostExport.h"
#include "du/SmartPtr.h"
#include "orl/Observer.h"

namespace orl {

class AnnoSetTableEntry;

class ARHOST_API MarkupHolderObserver : public Observer {
 protected:
  MarkupHolderObserver() = default;
  ~MarkupHolderObserver() override = default;
};

class ARHOST_API SceneObserver : public MarkupHolderObserver {
 public:
  virtual void OnAnnoSetTableEntryChanged(const du::SmartPtr<AnnoSetTableEntry>& entry);

 protected:
  SceneObserver() = default;
  ~SceneObserver() override = default;

  // Decodes the scene's tags; hands the host's own tags to Observer::HandleEvent. Throws
  // std::runtime_error for an entry notification without its entry.
  void HandleEvent(unsigned char tag, dom::MessageReader& reader) override;
};

class ARHOST_API ShapeSceneObserver : public SceneObserver {
 protected:
  ShapeSceneObserver() = default;
  ~ShapeSceneObserver() override = default;
};

}  // namespace orl
