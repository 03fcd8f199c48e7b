#include "ImageCheck.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <thread>

#include "InputFile.h"
#include "Progress.h"
#include "ValueText.h"

namespace artargets {

namespace {

namespace fs = std::filesystem;

std::string Label(const PlacedTarget& t) {
  return "target " + std::to_string(t.place) + (t.name.empty() ? "" : " " + Quoted(t.name));
}

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
  std::atomic<std::size_t> next{0}, done{0};
  const auto worker = [&] {
    for (std::size_t i; (i = next++) < work.size();) {
      rated[i] = RateFile(*work[i].second);
      ++done;
      done.notify_all();
    }
  };
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  std::vector<std::jthread> threads;
  for (unsigned t = 0; t < std::min<std::size_t>(cores, work.size()); ++t)
    threads.emplace_back(worker);
  Progress progress("rating " + std::to_string(work.size()) + " images", work.size());
  for (std::size_t shown = 0; shown < work.size();) {
    done.wait(shown);  // wakes when a rating ends
    const std::size_t now = done.load();
    progress.Advance(now - shown);
    shown = now;
  }
  for (std::size_t i = 0; i < work.size(); ++i) {
    if (cache && rated[i].problem.empty()) cache->Store(work[i].first, rated[i]);
    byHash[work[i].first] = std::move(rated[i]);
  }
  return byHash;
}

void Add(TargetImage& image, const char* code, Severity severity, std::string message) {
  image.findings.push_back({code, severity, image.target.place, std::move(message)});
}

void Judge(TargetImage& image) {
  const PlacedTarget& t = image.target;
  const ImageQuality& q = image.quality;
  const std::string who = Label(t) + ": its image " + Quoted(t.image);
  if (!image.found)
    return Add(image, "ART301", Severity::kError, who + " is missing (" + Quoted(image.path) + ")");
  if (!q.problem.empty()) return Add(image, "ART302", Severity::kError, who + " " + q.problem);
  const std::string size = std::to_string(q.width) + " x " + std::to_string(q.height);
  if (std::min(q.width, q.height) < kSmallestSide)
    Add(image, "ART303", Severity::kWarning,
        who + " is " + size + " pixels, under " + std::to_string(kSmallestSide) +
            " on its shorter side");
  const bool sized =
      std::isfinite(t.width) && std::isfinite(t.height) && t.width > 0 && t.height > 0;
  if (sized) {
    const double gap = (double(q.width) / q.height) / (t.width / t.height) - 1;
    if (std::abs(gap) > kAspectTolerance)
      Add(image, "ART304", Severity::kWarning,
          who + " (" + size + " pixels) is " + std::to_string(std::lround(std::abs(gap) * 100)) +
              "% off the shape of the target (" + NumberText(t.width) + " x " +
              NumberText(t.height) + " " + t.unit.name + ")");
    image.pixelsPerMetre = q.width / (t.width * t.unit.metres);
    if (image.pixelsPerMetre < kLeastPixelsPerMetre)
      Add(image, "ART305", Severity::kWarning,
          who + " gives " + std::to_string(std::lround(image.pixelsPerMetre)) +
              " pixels per metre at " + NumberText(t.width) + " " + t.unit.name +
              " wide, too coarse to print or show (" +
              std::to_string(std::lround(kLeastPixelsPerMetre)) + " wanted)");
  }
  if (q.score < kWarnBelowScore) {
    std::string why;
    for (const auto& reason : q.reasons) why += (why.empty() ? ": " : ", ") + reason;
    Add(image, "ART306", Severity::kWarning,
        who + " scores " + std::to_string(q.score) + " of 100 for tracking" + why);
  }
}

}  // namespace

std::vector<TargetImage> CheckImages(const std::vector<PlacedTarget>& targets,
                                     const std::string& root, const RatingCache* cache) {
  std::vector<TargetImage> images;
  std::map<std::string, std::uint64_t> hashOfPath;
  std::map<std::uint64_t, std::string> pathOfHash;  // the first path of each content
  for (const PlacedTarget& t : targets) {
    TargetImage& image = images.emplace_back();
    image.target = t;
    if (t.image.empty()) continue;
    image.path = fs::path(t.image).is_absolute() ? t.image : (fs::path(root) / t.image).string();
    if (hashOfPath.count(image.path)) continue;
    std::string bytes, why;
    if (!ReadInputFile(image.path, bytes, why)) continue;
    const std::uint64_t hash = ContentHash(bytes);
    hashOfPath[image.path] = hash;
    pathOfHash.emplace(hash, image.path);
  }
  const std::map<std::uint64_t, ImageQuality> rated = RateAll(pathOfHash, cache);
  std::map<std::uint64_t, std::vector<int>> placesOfHash;
  for (TargetImage& image : images) {
    if (image.target.image.empty()) {
      Add(image, "ART308", Severity::kWarning,
          Label(image.target) + ": it names no image to track");
      continue;
    }
    auto hash = hashOfPath.find(image.path);
    image.found = hash != hashOfPath.end();
    if (image.found) {
      image.quality = rated.at(hash->second);
      placesOfHash[hash->second].push_back(image.target.place);
    }
    Judge(image);
  }
  for (const auto& [hash, places] : placesOfHash) {
    if (places.size() < 2) continue;
    std::string list;
    for (int place : places) list += (list.empty() ? "" : ", ") + std::to_string(place);
    for (TargetImage& image : images)
      if (std::count(places.begin(), places.end(), image.target.place))
        Add(image, "ART307", Severity::kWarning,
            Label(image.target) + ": its image " + Quoted(image.target.image) +
                " is the same picture as that of targets " + list +
                "; a tracker cannot tell them apart");
  }
  return images;
}

std::vector<std::string> Messages(const std::vector<Finding>& findings) {
  std::vector<std::string> messages;
  for (const Finding& finding : findings) messages.push_back(finding.message);
  return messages;
}

std::string ImagesJson(const std::vector<TargetImage>& images) {
  nlohmann::ordered_json array = nlohmann::ordered_json::array();
  for (const TargetImage& image : images) {
    const ImageQuality& q = image.quality;
    const long pixelsPerMetre = std::lround(image.pixelsPerMetre);  // as a person reads it
    array.push_back({{"target", image.target.place},
                     {"name", image.target.name},
                     {"image", image.target.image},
                     {"path", image.path},
                     {"found", image.found},
                     {"problem", q.problem},
                     {"width", q.width},
                     {"height", q.height},
                     {"pixels_per_metre", pixelsPerMetre},
                     {"score", q.score},
                     {"reasons", q.reasons},
                     {"warnings", Messages(image.findings)}});
  }
  return array.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

}  // namespace artargets
