// Every static object of the library, in one translation unit so that they are built at load
// in this order and destroyed at unload in the reverse one: the instance pointer goes first,
// releasing the controller while the names and class types it may use still exist.
#include "LibraryNames.h"
#include "ar/ARContent.h"
#include "ar/ARController.h"
#include "ar/ARTarget.h"

namespace ar {

const du::Symbol names::kArContent("arcontent");
const orl::ClassType ARContent::CLASS_TYPE(176);

const du::Symbol ARTarget::s_arTarget("artarget");
const orl::ClassType ARTarget::CLASS_TYPE(178);

const du::Symbol names::kTargetVersion("artargetversion");
const du::Symbol names::kTargetName("artargetname");
const du::Symbol names::kTargetImage("artargetimage");
const du::Symbol names::kTargetWidth("artargetwidth");
const du::Symbol names::kTargetHeight("artargetheight");
const du::Symbol names::kTargetType("artargettype");
const du::Symbol names::kTargetId("artargetid");
const du::Symbol names::kTargetCenter("artargetcenter");
const du::Symbol names::kTargetShape("artargetshape");
const du::Symbol names::kTargetNormal("artargetnormal");
const du::Symbol names::kTargetXDir("artargetxdir");
const du::Symbol names::kTargetYDir("artargetydir");
const du::Symbol names::kTargetRotation("artargetrotation");

const orl::ClassType ARController::CLASS_TYPE(177);
du::SmartPtr<ARController> ARController::s_instance;

}  // namespace ar
