#include "ar/ARTarget.h"

#include "ar/ARController.h"
#include "dp/ScopedLock.h"

namespace ar {

ARTarget::ARTarget(ARController* controller) : orl::ObjectWithRWLock(controller) {}

ARTarget::~ARTarget() = default;

const orl::ClassType& ARTarget::GetClassType() const { return CLASS_TYPE; }

du::Symbol ARTarget::GetName() const {
  dp::ScopedReader guard(GetRWLock());
  return name_;
}

du::Symbol ARTarget::GetImage() const {
  dp::ScopedReader guard(GetRWLock());
  return image_;
}

du::Symbol ARTarget::GetIDPath() const {
  dp::ScopedReader guard(GetRWLock());
  return idPath_;
}

dg::DPoint3D ARTarget::GetPosition() const {
  dp::ScopedReader guard(GetRWLock());
  return position_;
}

dg::DVec3 ARTarget::GetNormal() const {
  dp::ScopedReader guard(GetRWLock());
  return normal_;
}

dg::DVec3 ARTarget::GetX() const {
  dp::ScopedReader guard(GetRWLock());
  return xDirection_;
}

dg::DVec3 ARTarget::GetY() const {
  dp::ScopedReader guard(GetRWLock());
  return yDirection_;
}

double ARTarget::GetRotation() const {
  dp::ScopedReader guard(GetRWLock());
  return rotation_;
}

void ARTarget::GetSize(double& width, double& height) const {
  dp::ScopedReader guard(GetRWLock());
  width = width_;
  height = height_;
}

int ARTarget::GetTargetId() const {
  dp::ScopedReader guard(GetRWLock());
  return targetId_;
}

ARTarget::EType ARTarget::GetType() const {
  dp::ScopedReader guard(GetRWLock());
  return type_;
}

void ARTarget::SetName(const du::Symbol& name) {
  dp::ScopedWriter guard(GetRWLock());
  name_ = name;
}

void ARTarget::SetImage(const du::Symbol& image) {
  dp::ScopedWriter guard(GetRWLock());
  image_ = image;
}

void ARTarget::SetSize(double width, double height) {
  dp::ScopedWriter guard(GetRWLock());
  width_ = width;
  height_ = height;
}

void ARTarget::SetTargetId(int id) {
  dp::ScopedWriter guard(GetRWLock());
  targetId_ = id;
}

void ARTarget::SetType(EType type) {
  dp::ScopedWriter guard(GetRWLock());
  type_ = type;
}

void ARTarget::SetLocation(dg::DPoint3D& position, dg::DVec3& normal, dg::DVec3& xDirection,
                           dg::DVec3& yDirection, du::Symbol& idPath, double rotation) {
  // Keep the lock object alive on our own: if the signal's reference was the target's last,
  // the target (and its hold on the lock) is gone before the guard lets go.
  const du::SmartPtr<orl::ReadWriteLock> lock = GetRWLock();
  dp::ScopedWriter guard(lock.get());
  position_ = position;
  normal_ = normal;
  xDirection_ = xDirection;
  yDirection_ = yDirection;
  idPath_ = idPath;
  rotation_ = rotation;
  du::SmartPtr<ARTarget> self = this;
  if (ARController* controller = ARController::Get()) controller->SignalTargetMoved(self);
}

}  // namespace ar
