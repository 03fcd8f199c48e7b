// What each AR platform's limits make of a file's targets (check --platform): names a platform
// cannot use as file names or that clash, names and paths ARCore cannot take (not ASCII),
// picture formats a platform does not read, pictures too small or too large, too many images,
// no positive width, a size whose shape differs from the picture's (ARKit derives the height
// from the picture), and a score under a platform's advice. Codes ART4xx.
#pragma once

#include <string>
#include <vector>

#include "checks/CheckLimits.h"
#include "checks/Finding.h"
#include "checks/ImageCheck.h"
#include "checks/PlacedTarget.h"
#include "platforms/Platforms.h"

namespace artargets {

// The limits are the platforms' as they document them (docs/platforms.md), in CheckLimits:
// ARKit refuses a shorter side of 100 pixels or fewer, ARCore recommends 300 or more, Vuforia
// takes pictures under 2 MB, one database holds 1,000 images (ARCore's limit, Vuforia's advice).
// ARCore advises eval-img's 75: our score estimates the same thing on the same 0-100 scale
// (features that survive, spread and distinct); the two are not the same measure.
//
// `rated` holds the images' ratings when check rates them (--images), else nothing: the score's
// advice is then not checked.
std::vector<Finding> PlatformFindings(const std::vector<PlacedTarget>& targets,
                                      const std::string& imageRoot,
                                      const std::vector<Platform>& platforms,
                                      const std::vector<TargetImage>& rated,
                                      const CheckLimits& limits = {});

}  // namespace artargets
