// ar::ARTarget: one augmented-reality target, a named, typed anchor with an image reference, a
// size, a numeric id and a location in model space (centre, normal, x and y directions,
// rotation) tied to a shape of the model by an id path.
//
// A target is a plain guarded value holder. Create it with `new ARTarget(ARController::Get())`
// and hold it through du::SmartPtr<ARTarget>; it shares the controller's lock, so one lock
// guards the registry and every target. Getters take the lock shared and return copies;
// setters take it exclusively and store values unchanged (nothing is normalised or checked).
// Only SetLocation tells anyone: it signals a move to the controller, under the write lock.
// Thread rules: any operation from any thread.
#pragma once

#include <cstdint>

#include "ar/ARExport.h"
#include "dg/Geometry.h"
#include "du/Symbol.h"
#include "orl/ClassType.h"
#include "orl/ObjectWithRWLock.h"

namespace orl {
class SerializedContentElement;
}

namespace ar {

class ARController;

class AR_API ARTarget : public orl::ObjectWithRWLock {
 public:
  // The kind of target. Any 32-bit value is kept; the library gives meaning to two, and a
  // saved file keeps the low 8 bits.
  enum EType : std::uint32_t {
    TYPE_PLAIN = 0,     // a new target's type
    TYPE_NUMBERED = 1,  // the only type the controller finds by target id
  };

  static const orl::ClassType CLASS_TYPE;  // id 178
  static const du::Symbol s_arTarget;      // "artarget", the element of a saved target

  // Shares `controller`'s lock (none when `controller` is null). Every field starts empty or
  // zero; the vectors start at zero too.
  explicit ARTarget(ARController* controller);

  const orl::ClassType& GetClassType() const override;

  du::Symbol GetName() const;
  du::Symbol GetImage() const;
  du::Symbol GetIDPath() const;
  dg::DPoint3D GetPosition() const;
  dg::DVec3 GetNormal() const;
  dg::DVec3 GetX() const;
  dg::DVec3 GetY() const;
  double GetRotation() const;
  // Width into the first argument, height into the second.
  void GetSize(double& width, double& height) const;
  int GetTargetId() const;
  EType GetType() const;

  void SetName(const du::Symbol& name);
  void SetImage(const du::Symbol& image);
  void SetSize(double width, double height);
  void SetTargetId(int id);
  void SetType(EType type);
  // Stores the six values (the references are only read), then signals the move to
  // ARController::Get() while still holding the write lock. Hold the target through a
  // SmartPtr before calling: the signal takes and drops a reference of its own.
  void SetLocation(dg::DPoint3D& position, dg::DVec3& normal, dg::DVec3& xDirection,
                   dg::DVec3& yDirection, du::Symbol& idPath, double rotation);

  // Saved form: one "artarget" element with thirteen typed properties, "artargetversion" (the
  // byte 0) first. Visit appends it to `element` under the read lock.
  void Visit(orl::SerializedContentElement* element) const;
  // Reads an "artarget" element under the write lock. An element whose version is 0 replaces
  // every field (a missing property gives the field's starting value) and gives true; any
  // other version, or none, leaves the target untouched and gives false. A property counts
  // only with the type it is written with; unknown keys are ignored; the last of repeated keys
  // wins.
  bool PopulateFromContent(const orl::SerializedContentElement* element);

 protected:
  ~ARTarget() override;

 private:
  void CreateSerializedContent(orl::SerializedContentElement* element) const;

  du::Symbol name_;
  du::Symbol image_;
  double width_ = 0.0;
  double height_ = 0.0;
  EType type_ = TYPE_PLAIN;
  int targetId_ = 0;
  dg::DPoint3D position_;
  dg::DVec3 normal_;
  dg::DVec3 xDirection_;
  dg::DVec3 yDirection_;
  du::Symbol idPath_;
  double rotation_ = 0.0;
};

}  // namespace ar
