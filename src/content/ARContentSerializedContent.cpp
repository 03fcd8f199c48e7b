// The saved form of AR content: an "arcontent" element holding the targets' elements.
#include "ar/ARContent.h"
#include "ar/ARController.h"
#include "ar/ARTarget.h"
#include "dp/ScopedLock.h"
#include "orl/SerializedContent.h"
#include "target/TargetKeys.h"

namespace ar {

namespace {

// Makes a target of every "artarget" element the walk meets; every other element is passed
// through.
class ARContentSerializedContentVisitor final : public orl::SerializedContentVisitor {
 public:
  explicit ARContentSerializedContentVisitor(std::set<du::SmartPtr<ARTarget>>* targets)
      : targets_(targets) {}

  bool StartElement(const du::Symbol& name, const orl::SerializedContentElement* element) override {
    if (name != ARTarget::s_arTarget) return true;
    du::SmartPtr<ARTarget> target = new ARTarget(ARController::Get());
    if (target) {
      // Targets made one after another from fresh memory sit at ascending addresses: then the
      // end is the place and the insertion takes constant time; a wrong hint costs a comparison.
      targets_->insert(targets_->end(), target);
      target->PopulateFromContent(element);  // a rejected element still gives a target
    }
    return false;  // the target has read the element itself
  }
  bool EndElement(const du::Symbol& name) override { return name == names::kArContent; }

 private:
  std::set<du::SmartPtr<ARTarget>>* targets_;
};

}  // namespace

void ARContent::Visit(orl::SerializedContentElement* element) const {
  dp::ScopedReader guard(GetRWLock());
  orl::SerializedContentElement* child = element->StartContent(names::kArContent);
  for (const auto& target : targets_) target->Visit(child);
  element->EndContent();
}

void ARContent::PopulateFromContent(const orl::SerializedContentElement* element) {
  dp::ScopedWriter guard(GetRWLock());
  targets_.clear();
  ARContentSerializedContentVisitor read(&targets_);
  element->Visit(read, true);
}

}  // namespace ar
