#include "targets/TargetRecord.h"

#include "ar/ARController.h"

namespace artargets {

namespace {

Vec3 FromVec(const dg::DVec3& v) { return {v.x, v.y, v.z}; }
dg::DVec3 ToVec(const Vec3& v) { return {v[0], v[1], v[2]}; }

}  // namespace

TargetRecord RecordOf(const ar::ARTarget& target) {
  TargetRecord r;
  r.name = target.GetName().str();
  r.image = target.GetImage().str();
  target.GetSize(r.width, r.height);
  r.type = target.GetType();
  r.id = target.GetTargetId();
  const dg::DPoint3D c = target.GetPosition();
  r.center = {c.x, c.y, c.z};
  r.normal = FromVec(target.GetNormal());
  r.xdir = FromVec(target.GetX());
  r.ydir = FromVec(target.GetY());
  r.shape = target.GetIDPath().str();
  r.rotation = target.GetRotation();
  return r;
}

du::SmartPtr<ar::ARTarget> MakeTarget(const TargetRecord& r) {
  du::SmartPtr<ar::ARTarget> target = new ar::ARTarget(ar::ARController::Get());
  target->SetName(du::Symbol(r.name));
  target->SetImage(du::Symbol(r.image));
  target->SetSize(r.width, r.height);
  target->SetType(static_cast<ar::ARTarget::EType>(r.type));
  target->SetTargetId(static_cast<int>(r.id));
  dg::DPoint3D center{r.center[0], r.center[1], r.center[2]};
  dg::DVec3 normal = ToVec(r.normal), xdir = ToVec(r.xdir), ydir = ToVec(r.ydir);
  du::Symbol shape(r.shape);
  target->SetLocation(center, normal, xdir, ydir, shape, r.rotation);
  return target;
}

std::string OutOfRangeText(const std::string& field, const std::string& value, WholeRange range) {
  return field + ": " + value + " is out of range; a target file holds " +
         std::to_string(range.low) + " to " + std::to_string(range.high);
}

}  // namespace artargets
