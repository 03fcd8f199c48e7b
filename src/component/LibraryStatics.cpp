// Every static object of the library, in one translation unit so that they are built at load
// in this order and destroyed at unload in the reverse one: the instance pointer goes first,
// releasing the controller while the names and class types it may use still exist.
#include "ar/ARContent.h"
#include "ar/ARController.h"
#include "ar/ARTarget.h"
#include "ar/TargetFileKeys.h"
#include "target/TargetKeys.h"

namespace ar {

const du::Symbol names::kArContent(keys::kArContent);
const orl::ClassType ARContent::CLASS_TYPE(176);

const du::Symbol ARTarget::s_arTarget(keys::kArTarget);
const orl::ClassType ARTarget::CLASS_TYPE(178);

const du::Symbol names::kTargetVersion(keys::kVersion);
const du::Symbol names::kTargetName(keys::kName);
const du::Symbol names::kTargetImage(keys::kImage);
const du::Symbol names::kTargetWidth(keys::kWidth);
const du::Symbol names::kTargetHeight(keys::kHeight);
const du::Symbol names::kTargetType(keys::kType);
const du::Symbol names::kTargetId(keys::kId);
const du::Symbol names::kTargetCenter(keys::kCenter);
const du::Symbol names::kTargetShape(keys::kShape);
const du::Symbol names::kTargetNormal(keys::kNormal);
const du::Symbol names::kTargetXDir(keys::kXDir);
const du::Symbol names::kTargetYDir(keys::kYDir);
const du::Symbol names::kTargetRotation(keys::kRotation);

const orl::ClassType ARController::CLASS_TYPE(177);
du::SmartPtr<ARController> ARController::s_instance;

}  // namespace ar
