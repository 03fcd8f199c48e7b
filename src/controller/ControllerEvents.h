// The four event classes through which the controller posts its notifications. Each is built
// on the poster's stack for one PostObservableEvent and writes itself into an observer's
// proxy: its id, then its payload. A target or scene travels as a pointer carrying one
// reference (owner tag du::kRecordOwnerTag) that the record owns; an empty pointer travels as
// null with no reference.
#pragma once

#include "ar/ARTarget.h"
#include "dom/ObservableEvent.h"
#include "dom/ObserverProxy.h"
#include "du/SmartPtr.h"
#include "orl/Scene.h"

namespace ar::events {

class ARSimpleEvent final : public dom::ObservableEvent {
 public:
  explicit ARSimpleEvent(unsigned char id) : id_(id) {}
  void PushToProxy(dom::ObserverProxy& proxy) const override {
    proxy.Begin();
    proxy.PushUInt8Value(id_);
    proxy.End();
  }

 private:
  unsigned char id_;
};

class ARBoolEvent final : public dom::ObservableEvent {
 public:
  ARBoolEvent(unsigned char id, bool shown) : id_(id), shown_(shown) {}
  void PushToProxy(dom::ObserverProxy& proxy) const override {
    proxy.Begin();
    proxy.PushUInt8Value(id_);
    proxy.PushBooleanValue(shown_);
    proxy.End();
  }

 private:
  unsigned char id_;
  bool shown_;
};

class ARTargetEvent final : public dom::ObservableEvent {
 public:
  ARTargetEvent(unsigned char id, const du::SmartPtr<ARTarget>& target)
      : id_(id), target_(&target) {}
  void PushToProxy(dom::ObserverProxy& proxy) const override {
    proxy.Begin();
    proxy.PushUInt8Value(id_);
    proxy.PushSmartPtr(*target_);
    proxy.End();
  }

 private:
  unsigned char id_;
  const du::SmartPtr<ARTarget>* target_;  // the poster's, valid during the post
};

class ARTargetSceneEvent final : public dom::ObservableEvent {
 public:
  ARTargetSceneEvent(unsigned char id, const du::SmartPtr<ARTarget>& target,
                     const du::SmartPtr<orl::ShapeScene>& scene)
      : id_(id), target_(&target), scene_(&scene) {}
  void PushToProxy(dom::ObserverProxy& proxy) const override {
    proxy.Begin();
    proxy.PushUInt8Value(id_);
    proxy.PushSmartPtr(*target_);
    proxy.PushSmartPtr(*scene_);
    proxy.End();
  }

 private:
  unsigned char id_;
  const du::SmartPtr<ARTarget>* target_;
  const du::SmartPtr<orl::ShapeScene>* scene_;
};

}  // namespace ar::events
