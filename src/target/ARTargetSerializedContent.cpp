// The saved form of a target: writing it into a serialized-content tree and reading it back.
#include <optional>
#include <utility>

#include "ar/ARTarget.h"
#include "dp/ScopedLock.h"
#include "orl/SerializedContent.h"
#include "target/TargetKeys.h"

namespace ar {

namespace {

using namespace names;

// Collects the properties of one "artarget" element. Starts from a new target's values; a key
// counts only with the type it is written with, anything else goes to the base visitor.
class ARTargetSerializedContentVisitor final : public orl::SerializedContentVisitor {
 public:
  using orl::SerializedContentVisitor::Visit;

  bool StartElement(const du::Symbol& elementName,
                    const orl::SerializedContentElement* element) override {
    return elementName == ARTarget::s_arTarget ||
           SerializedContentVisitor::StartElement(elementName, element);
  }
  bool EndElement(const du::Symbol& elementName) override {
    return elementName == ARTarget::s_arTarget || SerializedContentVisitor::EndElement(elementName);
  }
  void Visit(const du::Symbol& key, const dg::DVec3& value) override {
    if (key == kTargetNormal)
      normal = value;
    else if (key == kTargetXDir)
      xDirection = value;
    else if (key == kTargetYDir)
      yDirection = value;
    else
      SerializedContentVisitor::Visit(key, value);
  }
  void Visit(const du::Symbol& key, const dg::DPoint3D& value) override {
    if (key == kTargetCenter)
      center = value;
    else
      SerializedContentVisitor::Visit(key, value);
  }
  void Visit(const du::Symbol& key, const du::Symbol& value) override {
    if (key == kTargetName)
      name = value;
    else if (key == kTargetImage)
      image = value;
    else if (key == kTargetShape)
      idPath = value;
    else
      SerializedContentVisitor::Visit(key, value);
  }
  void Visit(const du::Symbol& key, int value) override {
    if (key == kTargetId)
      targetId = value;
    else
      SerializedContentVisitor::Visit(key, value);
  }
  void Visit(const du::Symbol& key, unsigned char value) override {
    if (key == kTargetVersion)
      version = value;
    else if (key == kTargetType)
      type = value;
    else
      SerializedContentVisitor::Visit(key, value);
  }
  void Visit(const du::Symbol& key, double value) override {
    if (key == kTargetWidth)
      width = value;
    else if (key == kTargetHeight)
      height = value;
    else if (key == kTargetRotation)
      rotation = value;
    else
      SerializedContentVisitor::Visit(key, value);
  }

  std::optional<unsigned char> version;  // an element without one is not accepted
  du::Symbol name;
  du::Symbol image;
  double width = 0.0;
  double height = 0.0;
  std::uint32_t type = 0;
  int targetId = 0;
  dg::DPoint3D center;
  dg::DVec3 normal;
  dg::DVec3 xDirection;
  dg::DVec3 yDirection;
  double rotation = 0.0;
  du::Symbol idPath;
};

}  // namespace

void ARTarget::Visit(orl::SerializedContentElement* element) const {
  dp::ScopedReader guard(GetRWLock());
  CreateSerializedContent(element);
}

void ARTarget::CreateSerializedContent(orl::SerializedContentElement* element) const {
  orl::SerializedContentElement* child = element->StartContent(s_arTarget);
  child->AddProperty(kTargetVersion, static_cast<unsigned char>(0));
  child->AddProperty(kTargetName, name_);
  child->AddProperty(kTargetImage, image_);
  child->AddProperty(kTargetWidth, width_);
  child->AddProperty(kTargetHeight, height_);
  child->AddProperty(kTargetType, static_cast<unsigned char>(type_ & 0xFF));
  child->AddProperty(kTargetId, targetId_);
  child->AddProperty(kTargetCenter, position_);
  child->AddProperty(kTargetShape, idPath_);
  child->AddProperty(kTargetNormal, normal_);
  child->AddProperty(kTargetXDir, xDirection_);
  child->AddProperty(kTargetYDir, yDirection_);
  child->AddProperty(kTargetRotation, rotation_);
  child->EndContent();
}

bool ARTarget::PopulateFromContent(const orl::SerializedContentElement* element) {
  dp::ScopedWriter guard(GetRWLock());
  ARTargetSerializedContentVisitor read;
  element->Visit(read, true);
  if (read.version != 0) return false;
  name_ = std::move(read.name);
  image_ = std::move(read.image);
  width_ = read.width;
  height_ = read.height;
  type_ = static_cast<EType>(read.type);
  targetId_ = read.targetId;
  position_ = read.center;
  idPath_ = std::move(read.idPath);
  normal_ = read.normal;
  xDirection_ = read.xDirection;
  yDirection_ = read.yDirection;
  rotation_ = read.rotation;
  return true;
}

}  // namespace ar
