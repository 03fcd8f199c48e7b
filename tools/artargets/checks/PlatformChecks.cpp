#include "checks/PlatformChecks.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>

#include "images/ShownImage.h"
#include "support/InputFile.h"
#include "targets/ValueText.h"

namespace artargets {

namespace fs = std::filesystem;

namespace {

// What the checks need of a picture, read once per path.
struct PictureFacts {
  bool found = false;
  long long bytes = 0;
  PictureHeader header;
};

PictureFacts FactsOf(const std::string& path) {
  PictureFacts facts;
  std::string bytes, why;
  if (!ReadInputFile(path, bytes, why)) return facts;
  facts.found = true;
  facts.bytes = static_cast<long long>(bytes.size());
  facts.header = ReadPictureHeader(bytes);
  return facts;
}

bool IsAscii(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](unsigned char c) { return c < 0x80; });
}

// Why a name cannot name a file or folder on every system the platforms' tools run on; empty
// when it can.
std::string FileNameProblem(const std::string& name) {
  if (name.empty()) return "is empty";
  if (name == "." || name == "..") return "is " + Quoted(name);
  for (unsigned char c : name)
    if (c < 0x20 || c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' ||
        c == '<' || c == '>' || c == '|')
      return "holds a character a file name cannot: " + Quoted(std::string(1, char(c)));
  if (name.back() == ' ' || name.back() == '.') return "ends in a space or a dot";
  return {};
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  return text;
}

// The formats each platform reads, by the picture's extension (ARKit: also HEIF and TIFF).
bool Reads(Platform platform, const std::string& extension) {
  if (extension == ".png" || extension == ".jpg" || extension == ".jpeg") return true;
  return platform == Platform::kArkit && (extension == ".heic" || extension == ".heif" ||
                                          extension == ".tif" || extension == ".tiff");
}

class PlatformJudge {
 public:
  PlatformJudge(Platform platform, const CheckLimits& limits, std::vector<Finding>& out)
      : platform_(platform), name_(PlatformTitle(platform)), limits_(limits), out_(out) {}

  void Target(const PlacedTarget& t, const PictureFacts& picture, const TargetImage* rating) {
    if (const std::string problem = FileNameProblem(t.name); !problem.empty())
      Say("ART401", t, "its name " + problem);
    if (platform_ == Platform::kArcore && (!IsAscii(t.name) || !IsAscii(t.image)))
      Say("ART403", t, "its name or picture path is not ASCII");
    if (!(t.width > 0) || !std::isfinite(t.width)) Say("ART408", t, "it has no positive width");
    Picture(t, picture);
    const long long advised = PrintedSteps(limits_.arcoreScore, 0);
    if (rating && rating->found && platform_ == Platform::kArcore &&
        rating->quality.score < advised)
      Say("ART410", t,
          "its picture scores " + std::to_string(rating->quality.score) + ", under the " +
              std::to_string(advised) +
              " ARCore advises (our score estimates what arcoreimg eval-img rates, on the same "
              "0-100 scale)");
  }

  void Clashes(const std::vector<PlacedTarget>& targets) {
    std::map<std::string, const PlacedTarget*> seen;  // names that differ only in case clash too
    for (const PlacedTarget& t : targets) {
      const auto [at, fresh] = seen.emplace(Lower(t.name), &t);
      if (!fresh)
        Say("ART402", t,
            "its name clashes with target " + std::to_string(at->second->place) +
                "'s: the platform names each image's file or folder after it");
    }
    const long long most = PrintedSteps(limits_.mostImages, 0);
    if (static_cast<long long>(targets.size()) > most && platform_ != Platform::kArkit &&
        platform_ != Platform::kUnity)
      out_.push_back({"ART407", Severity::kWarning, 0,
                      name_ + ": " + std::to_string(targets.size()) + " images, over the " +
                          std::to_string(most) + " one database holds"});
  }

 private:
  void Picture(const PlacedTarget& t, const PictureFacts& picture) {
    const std::string extension = Lower(fs::path(t.image).extension().string());
    if (!picture.found) return Say("ART404", t, "its picture " + Quoted(t.image) + " is missing");
    if (!Reads(platform_, extension) ||
        (picture.header.format.empty() && extension != ".heic" && extension != ".heif" &&
         extension != ".tif" && extension != ".tiff"))
      return Say("ART404", t, "it does not read the picture " + Quoted(t.image));
    const int shorter = std::min(picture.header.width, picture.header.height);
    const long long refused = PrintedSteps(limits_.arkitRefusedSide, 0),
                    advised = PrintedSteps(limits_.arcoreSmallestSide, 0),
                    tooLarge = PrintedSteps(limits_.vuforiaRefusedBytes, 0);
    if (platform_ == Platform::kArkit && shorter > 0 && shorter <= refused)
      Say("ART405", t,
          "its picture is " + std::to_string(shorter) +
              " pixels on its shorter side; ARKit refuses " + std::to_string(refused) +
              " or fewer");
    if (platform_ == Platform::kArcore && shorter > 0 && shorter < advised)
      Say("ART405", t,
          "its picture is " + std::to_string(shorter) +
              " pixels on its shorter side; ARCore recommends at least " + std::to_string(advised));
    if (platform_ == Platform::kVuforia && picture.bytes >= tooLarge)
      Say("ART406", t,
          "its picture has " + std::to_string(picture.bytes) +
              " bytes; Vuforia takes pictures of fewer than " + std::to_string(tooLarge) +
              " bytes");
    if (platform_ == Platform::kVuforia && picture.header.cmyk)
      Say("ART406", t, "its picture is CMYK; Vuforia takes RGB or grey pictures only");
    if (platform_ == Platform::kArkit && picture.header.width > 0 && t.width > 0 && t.height > 0) {
      // In hundredths of a percent of the height, to the limit's two decimals.
      const double derived = t.width * picture.header.height / picture.header.width;
      const double off = std::min(std::abs(derived - t.height) / t.height * 100, 1e9);
      if (PrintedSteps(off, 2) > PrintedSteps(limits_.arkitHeightPercent, 2))
        Say("ART409", t,
            "the height comes from the picture's shape: " + NumberText(derived) + " " +
                t.unit.name + ", not " + NumberText(t.height));
    }
  }

  void Say(const char* code, const PlacedTarget& t, const std::string& what) {
    out_.push_back(
        {code, Severity::kWarning, t.place,
         "target " + std::to_string(t.place) + " " + Quoted(t.name) + ": " + name_ + ": " + what});
  }

  Platform platform_;
  std::string name_;
  const CheckLimits& limits_;
  std::vector<Finding>& out_;
};

}  // namespace

std::vector<Finding> PlatformFindings(const std::vector<PlacedTarget>& targets,
                                      const std::string& imageRoot,
                                      const std::vector<Platform>& platforms,
                                      const std::vector<TargetImage>& rated,
                                      const CheckLimits& limits) {
  std::vector<std::string> paths;  // each target's picture, as its path against `imageRoot`
  std::map<std::string, PictureFacts> pictures;  // read once per picture
  for (const PlacedTarget& t : targets) {
    const fs::path image(t.image);
    paths.push_back(image.is_absolute() ? t.image : (fs::path(imageRoot) / image).string());
    if (!t.image.empty() && !pictures.count(paths.back()))
      pictures[paths.back()] = FactsOf(paths.back());
  }
  std::vector<Finding> findings;
  for (Platform platform : platforms) {
    PlatformJudge judge(platform, limits, findings);
    for (std::size_t i = 0; i < targets.size(); ++i) {
      const TargetImage* rating = i < rated.size() ? &rated[i] : nullptr;
      judge.Target(targets[i], targets[i].image.empty() ? PictureFacts{} : pictures[paths[i]],
                   rating);
    }
    judge.Clashes(targets);
  }
  return findings;
}

}  // namespace artargets
