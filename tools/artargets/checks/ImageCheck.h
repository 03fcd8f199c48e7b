// What `check --images` finds in the images of a file's targets. Each target's image is looked
// for (a relative path against `root`), each distinct content is rated once (ImageQuality.h), in
// parallel across the cores, with progress on a terminal; then each target is judged against
// the limits (CheckLimits.h): its image missing or unreadable, too few pixels on its shorter
// side, of another shape than the target, too coarse for the target's size, blurred, mostly
// plain, scoring low, shared with other targets, or the same picture as another target's or
// like it; notes say when transparency was composited onto white and when an Exif orientation
// was applied. With a printed width, each target's tracking range is worked out for the rules'
// camera (TrackingRange.h); it falls short of the rules' working distance, or the score under
// their fail-below, each is a finding.
#pragma once

#include <string>
#include <vector>

#include "checks/CheckLimits.h"
#include "checks/Finding.h"
#include "checks/PlacedTarget.h"
#include "checks/TargetGroup.h"
#include "images/ImageQuality.h"
#include "images/RatingCache.h"
#include "images/TrackingRange.h"
#include "support/JsonOut.h"

namespace artargets {

// What the images are held to beyond the limits: the camera, the working distance, the floor.
struct ImageRules {
  Camera camera{};
  double workingDistance = 0;  // metres the far limit must reach (ART315); 0: none
  int failBelow = -1;          // a score under it is an error (ART316); negative: none is
};

struct TargetImage {
  PlacedTarget target;
  std::string path;  // where the image was looked for
  bool found = false;
  ImageQuality quality;
  double pixelsPerMetre = 0;  // along the target's width (in its unit); 0 when unknown
  TrackingRange range;        // for the rules' camera; tracks is false when unknown
  std::vector<Finding> findings;
};

// `cache`, when given, supplies saved ratings and keeps new ones (RatingCache.h). Targets that
// share a picture are added to `groups`, when given, and their findings point into it.
std::vector<TargetImage> CheckImages(const std::vector<PlacedTarget>& targets,
                                     const std::string& root, const RatingCache* cache = nullptr,
                                     const CheckLimits& limits = {}, const ImageRules& rules = {},
                                     std::vector<TargetGroup>* groups = nullptr);
// A distance as people read it: metres to two significant digits ("0.15", "1.9", "12").
std::string MetresText(double metres);
// The target and its image as the line of its score names them: target 1 "Banner" "banner.png".
std::string ImageLabel(const TargetImage& image);
// The image's score and range in a few words: "scores 82 of 100, tracks from 0.17 to 1.9 m".
std::string ScoreAndRange(const TargetImage& image);
// The members of one target's image's object, for scripts (check --images --json has one per
// target). Its findings are not among them: they stand once among the file's, which the caller
// points to.
void AppendImageMembers(JsonObjectOut& object, const TargetImage& image);
// Whether a finding is of the image check (ART3xx), and so one of its target's image's.
inline bool IsImageFinding(const Finding& finding) { return finding.code.starts_with("ART3"); }

}  // namespace artargets
