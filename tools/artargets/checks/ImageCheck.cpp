#include "checks/ImageCheck.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iomanip>
#include <map>
#include <set>
#include <sstream>
#include <utility>

#include "checks/FindingCodes.h"
#include "images/AppearanceHash.h"
#include "images/LookAlikes.h"
#include "support/AllCores.h"
#include "support/InputFile.h"
#include "support/Progress.h"
#include "targets/ValueText.h"

namespace artargets {

namespace {

namespace fs = std::filesystem;

// Reads and rates one file; a failure becomes the rating's problem.
ImageQuality RateFile(const std::string& path) {
  try {
    std::string bytes, why;
    if (!ReadInputFile(path, bytes, why)) return {"cannot be read: " + why};
    return RateImage(bytes);
  } catch (const std::exception& e) {
    return {std::string("could not be rated: ") + e.what()};
  }
}

// Rates every distinct content once (`files`: one path of each), on as many threads as there
// are cores. Each thread reads its file when it takes it, so that no more images are in memory
// than there are threads.
std::map<std::uint64_t, ImageQuality> RateAll(const std::map<std::uint64_t, std::string>& files,
                                              const RatingCache* cache) {
  std::map<std::uint64_t, ImageQuality> byHash;
  std::vector<std::pair<std::uint64_t, const std::string*>> work;
  for (const auto& [hash, path] : files) {
    auto saved = cache ? cache->Find(hash) : std::nullopt;
    if (saved)
      byHash[hash] = std::move(*saved);
    else
      work.emplace_back(hash, &path);
  }
  std::vector<ImageQuality> rated(work.size());
  Progress progress("rating " + std::to_string(work.size()) + " images", work.size());
  std::size_t shown = 0;
  OnAllCores(
      work.size(), [&](std::size_t i) { rated[i] = RateFile(*work[i].second); },
      [&](std::size_t done) { progress.Advance(done - std::exchange(shown, done)); });
  for (std::size_t i = 0; i < work.size(); ++i) {
    if (cache && rated[i].problem.empty()) cache->Store(work[i].first, rated[i]);
    byHash[work[i].first] = std::move(rated[i]);
  }
  return byHash;
}

// Two decimals, for the measures a finding quotes.
std::string Fixed(double value) {
  const long hundredths = std::lround(value * 100);
  const std::string cents = std::to_string(hundredths % 100);
  return std::to_string(hundredths / 100) + "." + (cents.size() < 2 ? "0" : "") + cents;
}

// Tags the image with a finding of `code`, as serious as the table of codes says.
void Tag(TargetImage& image, const char* code, std::string message) {
  image.findings.push_back(
      {code, FindCode(code)->severity, image.target.place, std::move(message)});
}

// `value` to `digits` significant digits.
std::string Significant(double value, int digits) {
  std::ostringstream text;
  text << std::setprecision(digits) << value;
  return text.str();
}

// The least width, as printed (three significant digits, in the target's unit), at which the
// target tracks out to `distance` metres.
std::string WidthText(const PlacedTarget& t, const TrackingRange& range, double distance) {
  const double width = t.width * t.unit.metres;
  const double need = WidthToReach(range, width, distance) / t.unit.metres;
  const double step = std::pow(10.0, std::floor(std::log10(need)) - 2);
  for (double printed = std::ceil(need / step) * step;; printed += step) {
    const std::string text = Significant(printed, 3);
    if (std::stod(text) >= need) return text + " " + t.unit.name;
  }
}

// ART315 when the far limit, as printed, falls short of the working distance.
void JudgeRange(TargetImage& image, const ImageRules& rules, const std::string& who) {
  const double distance = rules.workingDistance;
  if (distance <= 0 || !(image.target.width > 0)) return;
  const TrackingRange& range = image.range;
  const std::string wanted = "the working distance " + MetresText(distance) + " m";
  if (!range.tracks)
    return Tag(image, "ART315",
               who +
                   " tracks at no distance (too few distinctive features at any size it is "
                   "seen), so no print reaches " +
                   wanted);
  if (std::stod(MetresText(range.farthest)) >= distance) return;
  Tag(image, "ART315",
      who + " tracks out to " + MetresText(range.farthest) + " m, short of " + wanted +
          ": print it at least " + WidthText(image.target, range, distance) + " wide to reach it");
}

// Each measure is compared with its limit as the message prints both (CheckLimits.h).
void Judge(TargetImage& image, const CheckLimits& limits, const ImageRules& rules) {
  const PlacedTarget& t = image.target;
  const ImageQuality& q = image.quality;
  const std::string who = TargetLabel(t) + ": its image " + Quoted(t.image);
  if (!image.found) {
    image.quality.problem = "is missing";  // scripts read the problem, not only the finding
    return Tag(image, "ART301", who + " is missing (" + Quoted(image.path) + ")");
  }
  if (!q.problem.empty()) return Tag(image, "ART302", who + " " + q.problem);
  const std::string size = std::to_string(q.width) + " x " + std::to_string(q.height);
  const long long side = PrintedSteps(limits.smallestSide, 0);
  if (std::min(q.width, q.height) < side)
    Tag(image, "ART303",
        who + " is " + size + " pixels, under " + std::to_string(side) + " on its shorter side");
  const bool sized =
      std::isfinite(t.width) && std::isfinite(t.height) && t.width > 0 && t.height > 0;
  if (sized) {
    const double gap = (double(q.width) / q.height) / (t.width / t.height) - 1;
    const long long percent = PrintedSteps(std::min(std::abs(gap), 1e6) * 100, 0);
    if (percent > PrintedSteps(limits.shapePercent, 0))
      Tag(image, "ART304",
          who + " (" + size + " pixels) is " + std::to_string(percent) +
              "% off the shape of the target (" + NumberText(t.width) + " x " +
              NumberText(t.height) + " " + t.unit.name + ")");
    image.pixelsPerMetre = q.width / (t.width * t.unit.metres);
    const long long shown = PrintedSteps(std::min(image.pixelsPerMetre, 1e15), 0),
                    wanted = PrintedSteps(limits.pixelsPerMetre, 0);
    if (shown < wanted)
      Tag(image, "ART305",
          who + " gives " + std::to_string(shown) + " pixels per metre at " + NumberText(t.width) +
              " " + t.unit.name + " wide, too coarse to print or show (" + std::to_string(wanted) +
              " wanted)");
  }
  const long long sharpness = PrintedSteps(q.sharpness, 2),
                  sharpEnough = PrintedSteps(limits.sharpness, 2);
  if (q.sharpness > 0 && sharpness < sharpEnough)  // no edge at all is plain, not blurred
    Tag(image, "ART309",
        who + " is blurred (sharpness " + Fixed(q.sharpness) + ", " + StepsText(sharpEnough, 2) +
            " or more wanted): a tracker finds few sharp features in it");
  const long long plain = PrintedSteps(q.plainShare * 100, 0);
  if (plain > PrintedSteps(limits.plainPercent, 0))
    Tag(image, "ART310",
        who + " is mostly plain: " + std::to_string(plain) +
            "% of the image has nothing a tracker can hold on to");
  if (q.transparent)
    Tag(image, "ART311",
        who +
            " is transparent in places; it was rated composited onto white, as it would be "
            "printed");
  if (q.orientation != 1)
    Tag(image, "ART312",
        who + " is stored turned or mirrored (Exif orientation " + std::to_string(q.orientation) +
            "); it was measured and rated as shown, " + size + " pixels");
  if (q.score < PrintedSteps(limits.score, 0)) {
    std::string why;
    for (const auto& reason : q.reasons) why += (why.empty() ? ": " : ", ") + reason;
    Tag(image, "ART306", who + " scores " + std::to_string(q.score) + " of 100 for tracking" + why);
  }
  if (q.score < rules.failBelow)
    Tag(image, "ART316",
        who + " scores " + std::to_string(q.score) + " of 100, under --fail-below " +
            std::to_string(rules.failBelow));
  image.range =
      RangeOf(q.smallestWidth, t.width * t.unit.metres, t.height * t.unit.metres, rules.camera);
  JudgeRange(image, rules, who);
}

// The images of each content that was found, as indices into the images, in file order.
using ImagesOfContent = std::map<std::uint64_t, std::vector<std::size_t>>;

std::vector<int> PlacesOf(const std::vector<TargetImage>& images,
                          const std::vector<std::size_t>& indices) {
  std::vector<int> places;
  for (const std::size_t i : indices) places.push_back(images[i].target.place);
  return places;
}

// Targets that share one picture (the same bytes): a group, and a finding on each member.
void FindSharedPictures(std::vector<TargetImage>& images, const ImagesOfContent& byContent,
                        const std::vector<PlacedTarget>& targets,
                        std::vector<TargetGroup>& groups) {
  for (const auto& [hash, indices] : byContent) {
    if (indices.size() < 2) continue;
    TargetGroup group{"ART307", images[indices.front()].target.image, PlacesOf(images, indices)};
    for (const std::size_t i : indices) {
      TargetImage& image = images[i];
      Tag(image, "ART307",
          TargetLabel(image.target) + ": its image " + Quoted(image.target.image) +
              " is the same picture as that of " +
              OthersText(group.places, image.target.place, &targets) +
              "; a tracker cannot tell them apart");
      image.findings.back().group = int(groups.size());
    }
    groups.push_back(std::move(group));
  }
}

// Pictures that differ in their bytes but not to a tracker: the same picture re-encoded or
// rescaled (their appearance hashes agree), and different pictures whose features match each
// other's (LookAlikes.h). Each target of one is told of (a few of) the targets of the other.
void FindSimilarPictures(std::vector<TargetImage>& images, const ImagesOfContent& byContent,
                         const std::map<std::uint64_t, ImageQuality>& rated,
                         const std::vector<PlacedTarget>& targets, const CheckLimits& limits) {
  std::vector<std::uint64_t> contents, appearances;
  std::vector<std::vector<std::uint8_t>> signatures;
  for (const auto& [hash, quality] : rated) {
    if (!quality.problem.empty()) continue;
    contents.push_back(hash);
    appearances.push_back(quality.appearance);
    signatures.push_back(quality.signature);
  }
  const auto of = [&](std::size_t content) -> const std::vector<std::size_t>& {
    static const std::vector<std::size_t> none;
    const auto found = byContent.find(contents[content]);
    return found == byContent.end() ? none : found->second;
  };
  // Every target of `mine` is told of the targets of `theirs` and their picture, in the words
  // `lead`, `mid` and `tail` around them.
  const auto tell = [&](const char* code, std::size_t mine, std::size_t theirs, const char* lead,
                        const char* mid, const std::string& tail) {
    if (of(theirs).empty()) return;
    const std::string said = lead + OthersText(PlacesOf(images, of(theirs)), 0, &targets) + mid +
                             Quoted(images[of(theirs).front()].target.image) + tail;
    for (const std::size_t i : of(mine))
      Tag(images[i], code,
          TargetLabel(images[i].target) + ": its image " + Quoted(images[i].target.image) + said);
  };
  std::set<std::pair<std::size_t, std::size_t>> same;
  for (const auto& [a, b] : SamePictures(appearances)) {
    same.insert({a, b});
    same.insert({b, a});
    for (const auto& [mine, theirs] : {std::pair{a, b}, std::pair{b, a}})
      tell("ART313", mine, theirs, " is the same picture as that of ", " (",
           "), re-encoded or rescaled; a tracker cannot tell them apart");
  }
  // A share is compared in whole percent, as printed: asked from half a percent under the limit.
  const long long most = PrintedSteps(limits.lookAlikePercent, 0);
  for (const LookAlike& look : FindLookAlikes(signatures, (double(most) - 0.5) / 100)) {
    const long long percent = PrintedSteps(look.share * 100, 0);
    if (same.count({look.picture, look.other}) || percent <= most) continue;
    tell("ART314", look.picture, look.other, " looks like ", "'s (",
         "): " + std::to_string(percent) + "% of its features match; a tracker could confuse them");
  }
}

}  // namespace

std::vector<TargetImage> CheckImages(const std::vector<PlacedTarget>& targets,
                                     const std::string& root, const RatingCache* cache,
                                     const CheckLimits& limits, const ImageRules& rules,
                                     std::vector<TargetGroup>* groups) {
  std::vector<TargetImage> images;
  images.reserve(targets.size());  // a million would otherwise be moved a dozen times
  std::map<std::string, std::uint64_t> hashOfPath;
  std::map<std::uint64_t, std::string> pathOfHash;  // the first path of each content
  // Each image name is made a path and read once, found or not: a million targets may share a
  // few pictures, and a missing one would otherwise be looked for a million times.
  std::map<std::string, std::string> pathOfName;
  for (const PlacedTarget& t : targets) {
    TargetImage& image = images.emplace_back();
    image.target = t;
    if (t.image.empty()) continue;
    const auto [named, first] = pathOfName.try_emplace(t.image);
    if (first)
      named->second =
          fs::path(t.image).is_absolute() ? t.image : (fs::path(root) / t.image).string();
    image.path = named->second;
    if (!first || hashOfPath.count(image.path)) continue;  // two names may make one path
    std::string bytes, why;
    if (!ReadInputFile(image.path, bytes, why)) continue;
    const std::uint64_t hash = ContentHash(bytes);
    hashOfPath[image.path] = hash;
    pathOfHash.emplace(hash, image.path);
  }
  const std::map<std::uint64_t, ImageQuality> rated = RateAll(pathOfHash, cache);
  // What each target keeps of its picture's rating: all but the features' signature (up to
  // 25,600 bytes), which only the look-alike search reads, from the ratings themselves. A million
  // targets of a few pictures would otherwise copy gigabytes to throw them away.
  std::map<std::uint64_t, ImageQuality> kept = rated;
  for (auto& [hash, quality] : kept) quality.signature = std::vector<std::uint8_t>();
  ImagesOfContent byContent;
  for (std::size_t i = 0; i < images.size(); ++i) {
    TargetImage& image = images[i];
    if (image.target.image.empty()) {
      Tag(image, "ART308", TargetLabel(image.target) + ": it names no image to track");
      if (rules.failBelow > 0)
        Tag(image, "ART316",
            TargetLabel(image.target) +
                ": it has no image to score, so none reaches --fail-below " +
                std::to_string(rules.failBelow));
      continue;
    }
    auto hash = hashOfPath.find(image.path);
    image.found = hash != hashOfPath.end();
    if (image.found) {
      image.quality = kept.at(hash->second);
      byContent[hash->second].push_back(i);
    }
    Judge(image, limits, rules);
  }
  std::vector<TargetGroup> ownGroups;
  FindSharedPictures(images, byContent, targets, groups ? *groups : ownGroups);
  FindSimilarPictures(images, byContent, rated, targets, limits);
  return images;
}

namespace {

// The range in metres, to the millimetre; null when the target tracks at no distance or its size
// is unknown.
void AppendRange(std::string& out, const TrackingRange& range, int depth) {
  if (!range.tracks) {
    out += "null";
    return;
  }
  const auto mm = [](double metres) { return std::round(metres * 1000) / 1000; };
  JsonObjectOut object(out, depth);
  object.Real("nearest", mm(range.nearest));
  object.Real("farthest", mm(range.farthest));
  object.End();
}

}  // namespace

std::string MetresText(double metres) {
  return metres >= 9.95 ? std::to_string(std::lround(metres)) : Significant(metres, 2);
}

std::string ImageLabel(const TargetImage& image) {
  return TargetLabel(image.target) +
         (image.target.image.empty() ? "" : " " + Quoted(image.target.image));
}

std::string ScoreAndRange(const TargetImage& image) {
  const ImageQuality& q = image.quality;
  if (image.target.image.empty()) return "no score (no image)";
  if (!image.found || !q.problem.empty()) return "no score (the image " + q.problem + ")";
  std::string text = "scores " + std::to_string(q.score) + " of 100, ";
  const PlacedTarget& t = image.target;
  if (!(t.width > 0 && t.height > 0 && std::isfinite(t.width) && std::isfinite(t.height)))
    return text + "range unknown (no printed size)";
  if (!image.range.tracks) return text + "tracks at no distance";
  return text + "tracks from " + MetresText(image.range.nearest) + " to " +
         MetresText(image.range.farthest) + " m";
}

void AppendImageMembers(JsonObjectOut& object, const TargetImage& image) {
  const ImageQuality& q = image.quality;
  object.Whole("target", image.target.place);
  object.Text("name", image.target.name);
  object.Text("image", image.target.image);
  object.Text("path", image.path);
  object.Flag("found", image.found);
  object.Text("problem", q.problem);
  object.Whole("width", q.width);
  object.Whole("height", q.height);
  object.Whole("pixels_per_metre", std::lround(image.pixelsPerMetre));  // as a person reads it
  object.Whole("score", q.score);
  AppendJsonArray(object.Key("reasons"), q.reasons.size(), object.ValueDepth(),
                  [&](std::string& out, std::size_t i) { AppendJsonText(out, q.reasons[i]); });
  object.Real("sharpness", q.sharpness);
  object.Real("plain_share", q.plainShare);
  object.Real("smallest_width", std::round(q.smallestWidth * 10) / 10);
  AppendRange(object.Key("range"), image.range, object.ValueDepth());
  object.Whole("orientation", q.orientation);
  object.Flag("transparent", q.transparent);
}

}  // namespace artargets
