#include "orl/Scene.h"

#include "dom/ObserverProxy.h"
#include "orl/Annotation.h"

namespace orl {

Scene::Scene() : Observable(Annotation::GetRWLock()) {}

du::SmartPtr<ShapeScene> ShapeScene::Create() { return du::SmartPtr<ShapeScene>(new ShapeScene); }

bool ShapeScene::RegisterObserver(dom::Observer& observer, const du::Flags&, bool) {
  return _RegisterObserver(observer, new dom::ObserverProxy(observer), nullptr);
}

bool ShapeScene::UnregisterObserver(dom::Observer& observer) {
  return DoUnregisterObserver(observer);
}

}  // namespace orl
