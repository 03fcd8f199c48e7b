// The image rating and `check --images`'s findings on pictures made here: the score does not
// depend on which way up an image is, and each kind of trouble (blur, transparency, a turned
// JPEG, the same picture re-encoded; plain areas and look-alikes: check_test.cpp) gives
// its own finding. Then how far a printed target tracks: the least on-screen width read from
// pictures made here (finer detail needs more of the frame; detail too fine for any camera gives
// no range), the range's limits for a print and a camera, the working-distance finding (ART315)
// whose suggested width reaches the distance, and the fail-below finding (ART316) in every format.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <functional>
#include <nlohmann/json.hpp>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "ArtargetsTest.h"
#include "checks/ImageCheck.h"
#include "images/AppearanceHash.h"
#include "images/SurvivingFeatures.h"
#include "images/TrackingRange.h"
#include "stb/stb_image_write.h"

namespace {

using artargets::Camera;
using artargets::CheckImages;
using artargets::ImageRules;
using artargets::PlacedTarget;
using artargets::RangeOf;
using artargets::RateImage;
using artargets::TargetImage;
using artargets::TrackingRange;
using Json = nlohmann::json;

struct Picture {
  int width = 0, height = 0;
  std::vector<unsigned char> grey{};

  unsigned char& At(int x, int y) { return grey[std::size_t(y) * width + x]; }
};

// Blobs and squares of many sizes and greys, placed at random with a seed: what a tracker likes.
Picture Textured(int width, int height, unsigned seed, int shapes = 500) {
  Picture p{width, height, std::vector<unsigned char>(std::size_t(width) * height, 128)};
  artest::Shapes(p.grey, width, height, shapes, 3, 40, seed);
  return p;
}

// Turned a quarter clockwise `quarters` times, then mirrored left to right if asked.
Picture Turned(const Picture& in, int quarters, bool mirrored) {
  Picture p = in;
  for (int q = 0; q < quarters; ++q) {
    Picture t{p.height, p.width, p.grey};
    for (int y = 0; y < p.height; ++y)
      for (int x = 0; x < p.width; ++x) t.At(p.height - 1 - y, x) = p.At(x, y);
    p = t;
  }
  if (mirrored)
    for (int y = 0; y < p.height; ++y) std::reverse(&p.At(0, y), &p.At(0, y) + p.width);
  return p;
}

// A box blur of the given radius, three times over: about a Gaussian.
Picture Blurred(Picture p, int radius) {
  for (int pass = 0; pass < 6; ++pass) {
    const bool across = pass % 2 == 0;
    Picture out = p;
    for (int y = 0; y < p.height; ++y)
      for (int x = 0; x < p.width; ++x) {
        int sum = 0, n = 0;
        for (int d = -radius; d <= radius; ++d) {
          const int sx = across ? x + d : x, sy = across ? y : y + d;
          if (sx < 0 || sy < 0 || sx >= p.width || sy >= p.height) continue;
          sum += p.At(sx, sy), ++n;
        }
        out.At(x, y) = static_cast<unsigned char>(sum / n);
      }
    p = out;
  }
  return p;
}

Picture Cropped(const Picture& in, int left, int top, int width, int height) {
  Picture p{width, height, std::vector<unsigned char>(std::size_t(width) * height)};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      p.At(x, y) = in.grey[std::size_t(y + top) * in.width + x + left];
  return p;
}

void Append(void* out, void* data, int size) {
  static_cast<std::string*>(out)->append(static_cast<const char*>(data), std::size_t(size));
}

std::string Png(const Picture& p) {
  std::string bytes;
  stbi_write_png_to_func(Append, &bytes, p.width, p.height, 1, p.grey.data(), p.width);
  return bytes;
}

// Exif data (TIFF) whose one directory holds the orientation, big-endian ("MM") or little.
std::string Tiff(int orientation, bool little) {
  return little ? std::string("II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0", 18) +
                      char(orientation) + std::string(7, '\0')
                : std::string("MM\0*\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0", 19) +
                      char(orientation) + std::string(6, '\0');
}

// As a JPEG; with an Exif orientation other than 0, an APP1 segment holding it follows the
// start of image, as a camera writes it.
std::string Jpeg(const Picture& p, int orientation = 0, bool little = false) {
  std::string bytes;
  stbi_write_jpg_to_func(Append, &bytes, p.width, p.height, 1, p.grey.data(), 92);
  if (orientation == 0) return bytes;
  const std::string body = std::string("Exif\0\0", 6) + Tiff(orientation, little);
  const std::size_t length = body.size() + 2;
  return bytes.substr(0, 2) + "\xff\xe1" + char(length >> 8) + char(length & 0xff) + body +
         bytes.substr(2);
}

// As a PNG whose eXIf chunk, after the header's, holds `tiff` (a reader does not check its CRC).
std::string PngWithExif(const Picture& p, const std::string& tiff) {
  const std::string png = Png(p);
  return png.substr(0, 33) + std::string(3, '\0') + char(tiff.size()) + "eXIf" + tiff +
         std::string(4, '\0') + png.substr(33);
}

// Grey and alpha: `p` where `opaque` says, fully transparent and black elsewhere.
std::string TransparentPng(const Picture& p, const std::function<bool(int, int)>& opaque) {
  std::vector<unsigned char> pixels;
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      const bool shown = opaque(x, y);
      pixels.push_back(shown ? p.grey[std::size_t(y) * p.width + x] : 0);
      pixels.push_back(shown ? 255 : 0);
    }
  std::string bytes;
  stbi_write_png_to_func(Append, &bytes, p.width, p.height, 2, pixels.data(), p.width * 2);
  return bytes;
}

class ImageRatingTest : public ::testing::Test {
 protected:
  // Writes each file and checks one target per file, each shaped as its picture, in order.
  std::vector<TargetImage> Check(const std::vector<std::pair<std::string, std::string>>& files,
                                 const std::vector<std::pair<double, double>>& sizes) {
    std::vector<PlacedTarget> targets;
    for (std::size_t i = 0; i < files.size(); ++i) {
      artest::WriteFile(dir_.File(files[i].first), files[i].second);
      targets.push_back({int(i + 1), "t" + std::to_string(i + 1), files[i].first, sizes[i].first,
                         sizes[i].second});
    }
    return CheckImages(targets, dir_.path().string());
  }
  artest::TempDir dir_;
};

std::set<std::string> Codes(const TargetImage& image) {
  std::set<std::string> codes;
  for (const auto& f : image.findings) codes.insert(f.code);
  return codes;
}

// Turning or mirroring a picture moves its score by at most 5 points: the features that count
// are the strongest of each part of the image, never the first found.
TEST(ImageRating, ScoreDoesNotDependOnWhichWayUpThePictureIs) {
  const std::vector<std::pair<const char*, Picture>> pictures = {
      {"busy", Textured(640, 427, 11, 3000)},
      {"sparse", Textured(640, 480, 12, 120)},
  };
  for (const auto& [name, picture] : pictures) {
    const int upright = RateImage(Png(picture)).score;
    EXPECT_GT(upright, 20) << name;
    for (const auto& [quarters, mirrored] :
         {std::pair{1, false}, {2, false}, {3, false}, {0, true}}) {
      const int score = RateImage(Png(Turned(picture, quarters, mirrored))).score;
      EXPECT_LE(std::abs(score - upright), 5)
          << name << " turned " << quarters * 90 << (mirrored ? " and mirrored" : "");
    }
  }
}

// Each kind of trouble, alone in a set of pictures, gives its finding on the targets it concerns
// and no other target gets that finding.
TEST_F(ImageRatingTest, EachTroubleGivesItsOwnFinding) {
  const Picture photo = Textured(640, 427, 21);
  const Picture wide = Textured(1000, 427, 22);
  struct Row {
    const char* trouble;
    std::vector<std::pair<std::string, std::string>> files;
    std::vector<std::pair<double, double>> sizes;
    const char* code;
    std::vector<bool> flagged;  // per target
  };
  const std::vector<Row> rows = {
      {"sharp", {{"a.png", Png(photo)}}, {{0.64, 0.427}}, "", {}},
      {"blurred", {{"a.png", Png(Blurred(photo, 4))}}, {{0.64, 0.427}}, "ART309", {true}},
      {"transparent",
       {{"a.png", TransparentPng(photo, [](int x, int y) { return (x / 110 + y / 110) % 2; })}},
       {{0.64, 0.427}},
       "ART311",
       {true}},
      {"turned by Exif", {{"a.jpg", Jpeg(photo, 6)}}, {{0.427, 0.64}}, "ART312", {true}},
      {"re-encoded",  // d.jpg, trimmed and re-encoded, hashes 2 bits away from a.png
       {{"a.png", Png(photo)},
        {"b.jpg", Jpeg(Textured(640, 427, 21))},
        {"c.png", Png(wide)},
        {"d.jpg", Jpeg(Cropped(photo, 0, 0, 638, 425))}},
       {{0.64, 0.427}, {0.64, 0.427}, {1.0, 0.427}, {0.638, 0.425}},
       "ART313",
       {true, true, false, true}},
  };
  const std::set<std::string> troubles = {"ART309", "ART310", "ART311",
                                          "ART312", "ART313", "ART314"};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.trouble);
    const auto images = Check(row.files, row.sizes);
    for (std::size_t i = 0; i < images.size(); ++i) {
      const auto codes = Codes(images[i]);
      for (const std::string& code : troubles) {
        const bool expected = code == row.code && row.flagged[i];
        EXPECT_EQ(codes.count(code) == 1, expected) << "target " << i + 1 << ", " << code;
      }
      EXPECT_EQ(codes.count("ART304"), 0u) << "target " << i + 1 << " has its picture's shape";
    }
  }
  // Hashes at most 4 bits apart are the same picture, even when only their high bytes agree.
  EXPECT_EQ(artargets::SamePictures({0, 0x01010101, 0x1f}),
            (std::vector<std::pair<std::size_t, std::size_t>>{{0, 1}}));
}

// A picture is rated as shown: a JPEG or PNG stored landscape and tagged "turn 90 degrees" has
// the portrait size, the score and the appearance of the same picture stored upright.
TEST(ImageRating, ExifOrientationIsAppliedBeforeMeasuringAndRating) {
  const Picture stored = Textured(640, 427, 31);
  // The orientation, in little-endian Exif, in a PNG; the turn and mirroring that show it.
  const std::tuple<int, bool, bool, int, bool> rows[] = {{3, false, false, 2, false},
                                                         {6, true, false, 1, false},
                                                         {8, false, true, 3, false},
                                                         {5, true, false, 1, true},
                                                         {7, false, true, 3, true}};
  for (const auto& [orientation, little, png, quarters, mirrored] : rows) {
    SCOPED_TRACE(orientation);
    const Picture shown = Turned(stored, quarters, mirrored);
    const auto tagged = RateImage(png ? PngWithExif(stored, Tiff(orientation, little))
                                      : Jpeg(stored, orientation, little));
    const auto upright = RateImage(png ? Png(shown) : Jpeg(shown));
    EXPECT_EQ(tagged.width, upright.width);
    EXPECT_EQ(tagged.height, upright.height);
    EXPECT_LE(std::abs(tagged.score - upright.score), 3);
    EXPECT_LE(std::popcount(tagged.appearance ^ upright.appearance), artargets::kSamePictureBits);
    EXPECT_EQ(tagged.orientation, orientation);
  }
}

// Transparency is composited onto white, as the picture would be printed: a logo whose
// background is transparent black rates as it does on white, not as it would on black.
TEST(ImageRating, TransparencyIsCompositedOntoWhite) {
  Picture logo = Textured(500, 500, 41, 150);
  const auto inside = [](int x, int y) {
    return (x - 250) * (x - 250) + (y - 250) * (y - 250) < 170 * 170;
  };
  Picture onWhite = logo;
  for (int y = 0; y < 500; ++y)
    for (int x = 0; x < 500; ++x)
      if (!inside(x, y)) onWhite.At(x, y) = 255;
  const auto transparent = RateImage(TransparentPng(logo, inside));
  const auto white = RateImage(Png(onWhite));
  EXPECT_TRUE(transparent.transparent);
  EXPECT_FALSE(white.transparent);
  EXPECT_EQ(transparent.score, white.score);
  EXPECT_EQ(transparent.appearance, white.appearance);
}

class TrackingRangeTest : public artest::ArtargetsTest {
 protected:
  // A 640 x 480 picture of discs and squares from `radius` / 2 to `radius` pixels, about as
  // dense at any radius, at random from `seed`: the detail a camera loses first when it is small.
  void Blobs(const std::string& name, int radius, unsigned seed) {
    constexpr int kWidth = 640, kHeight = 480;
    std::vector<unsigned char> pixels(std::size_t(kWidth) * kHeight, 128);
    artest::Shapes(pixels, kWidth, kHeight, kWidth * kHeight / (radius * radius), radius / 2,
                   radius / 2 + 1, seed);
    stbi_write_png(dir_.File(name).c_str(), kWidth, kHeight, 1, pixels.data(), kWidth);
  }

  // A 640 x 480 page of small print: lines of glyphs, each a random 3 x 5 bitmap of `cell`-pixel
  // squares, dark on light grey with a space now and then, at random from `seed`.
  void Print(const std::string& name, int cell, unsigned seed) {
    constexpr int kWidth = 640, kHeight = 480;
    std::vector<unsigned char> pixels(std::size_t(kWidth) * kHeight, 240);
    std::mt19937 random(seed);
    for (int top = cell; top + 7 * cell <= kHeight; top += 8 * cell)
      for (int left = cell; left + 4 * cell <= kWidth; left += 4 * cell) {
        const unsigned glyph = random() % 6 == 0 ? 0 : unsigned(random());
        for (int y = 0; y < 5 * cell; ++y)
          for (int x = 0; x < 3 * cell; ++x)
            if (glyph >> (y / cell * 3 + x / cell) & 1)
              pixels[std::size_t(top + y) * kWidth + left + x] = 30;
      }
    stbi_write_png(dir_.File(name).c_str(), kWidth, kHeight, 1, pixels.data(), kWidth);
  }

  // One target per image, `width` x 0.75 `width` in `unit`, checked in process under `rules`.
  std::vector<TargetImage> Check(const std::vector<std::string>& images, double width,
                                 const ImageRules& rules, const char* unit = "m") {
    std::vector<PlacedTarget> targets;
    for (const std::string& image : images)
      targets.push_back({int(targets.size()) + 1, image, image, width, 0.75 * width,
                         *artargets::UnitNamed(unit)});
    const artargets::RatingCache cache(dir_.File("cache"));  // each picture is rated once
    return CheckImages(targets, dir_.path().string(), &cache, {}, rules);
  }
};

const artargets::Finding* FindingOf(const TargetImage& image, const std::string& code) {
  for (const auto& f : image.findings)
    if (f.code == code) return &f;
  return nullptr;
}

// A picture whose detail shrinks row by row needs more of the frame row by row, until detail too
// fine for the camera at any width leaves it with no range.
TEST_F(TrackingRangeTest, FinerDetailNeedsMoreOfTheFrameUntilItNeverTracks) {
  const std::vector<int> radii = {20, 10, 5, 1};  // the last: single pixels
  std::vector<std::string> names;
  for (std::size_t i = 0; i < radii.size(); ++i) {
    names.push_back("detail" + std::to_string(radii[i]) + ".png");
    Blobs(names.back(), radii[i], unsigned(31 + i));
  }
  const auto images = Check(names, 0.4, {});
  for (std::size_t i = 0; i + 1 < images.size(); ++i) {
    SCOPED_TRACE(names[i]);
    const double width = images[i].quality.smallestWidth;
    EXPECT_GE(width, artargets::kSurvivalWidths.front());
    EXPECT_LT(width, 640);
    EXPECT_TRUE(images[i].range.tracks);
    if (i > 0) {
      EXPECT_GT(width, 1.15 * images[i - 1].quality.smallestWidth) << "finer than " << names[i - 1];
      EXPECT_LT(images[i].range.farthest, images[i - 1].range.farthest);
    }
  }
  EXPECT_EQ(images.back().quality.smallestWidth, 0);
  EXPECT_FALSE(images.back().range.tracks);
  EXPECT_EQ(artargets::ScoreAndRange(images.back()).find("tracks from"), std::string::npos);
}

// Detail a few pixels across (gravel, small print) loses its finest keypoints when the target is
// seen small, but what is left becomes features of its own: such a picture gets a range that
// needs more of the frame than coarse detail, and is not rated poor (under 50), while a fine
// pattern that repeats stays poor: close up it is as ambiguous as from afar.
TEST_F(TrackingRangeTest, FineDetailThatTracksGetsARangeAndIsNotPoor) {
  Blobs("gravel.png", 3, 77);
  Blobs("finegravel.png", 2, 77);
  Print("print.png", 2, 62);
  Image("grid.png", 640, 480, [](int x, int y) { return x % 8 == 4 && y % 8 == 4 ? 0 : 255; });
  const std::vector<std::string> names = {"gravel.png", "finegravel.png", "print.png", "grid.png"};
  const auto images = Check(names, 0.4, {});
  for (std::size_t i = 0; i < images.size(); ++i) {
    SCOPED_TRACE(names[i]);
    const auto& q = images[i].quality;
    EXPECT_EQ(q.score < 50, names[i] == "grid.png") << q.score;
    if (names[i] == "grid.png") continue;
    EXPECT_TRUE(images[i].range.tracks);
    EXPECT_GT(q.smallestWidth, 1.5 * artargets::kSurvivalWidths.front());
    EXPECT_LE(q.smallestWidth, artargets::kSurvivalWidths.back());
    ASSERT_FALSE(q.reasons.empty());
    EXPECT_EQ(q.reasons[0].rfind("too few features that survive at a distance", 0), 0u)
        << "loses its detail at a distance: " << q.reasons[0];
  }
}

// The limits move with the print and the camera as a pinhole camera's image does.
TEST(TrackingRange, LimitsMoveWithThePrintAndTheCamera) {
  const Camera phone{};
  const TrackingRange base = RangeOf(128, 0.4, 0.3, phone);
  ASSERT_TRUE(base.tracks);
  struct Row {
    const char* change;
    double smallestWidth, width, height;
    Camera camera;
    double nearFactor, farFactor;  // against `base`; 0: no range
  };
  const double wider = std::tan(M_PI / 6) / std::tan(M_PI / 4);  // 90 degrees against 60
  const std::vector<Row> rows = {
      {"a print twice as large", 128, 0.8, 0.6, phone, 2, 2},
      {"a camera of twice the pixels", 128, 0.4, 0.3, {1280, 960, 60}, 1, 2},
      {"a picture that needs twice the width", 256, 0.4, 0.3, phone, 1, 0.5},
      {"a print as tall as wide: the height fits the frame first", 128, 0.4, 0.4, phone, 4.0 / 3,
       1},
      {"a wider field of view", 128, 0.4, 0.3, {640, 480, 90}, wider, wider},
      {"a picture that never tracks", 0, 0.4, 0.3, phone, 0, 0},
      {"a picture that needs more than the whole frame", 700, 0.4, 0.3, phone, 0, 0},
      {"no printed width", 128, 0, 0.3, phone, 0, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.change);
    const TrackingRange r = RangeOf(row.smallestWidth, row.width, row.height, row.camera);
    EXPECT_EQ(r.tracks, row.farFactor > 0);
    if (!r.tracks) continue;
    EXPECT_NEAR(r.nearest / base.nearest, row.nearFactor, 1e-9);
    EXPECT_NEAR(r.farthest / base.farthest, row.farFactor, 1e-9);
  }
  // Seen across 90 degrees, a 640-pixel frame's focal length is 320 pixels: a print 2 m wide that
  // needs 320 pixels tracks out to 2 m, and fills the frame's width at 1 m.
  const TrackingRange wide = RangeOf(320, 2, 1, {640, 480, 90});
  EXPECT_NEAR(wide.farthest, 2, 1e-9);
  EXPECT_NEAR(wide.nearest, 1, 1e-9);
}

// Short of the working distance, the finding names a print width; a target printed that wide
// reaches the distance, and one a little narrower does not, in any unit.
TEST_F(TrackingRangeTest, TheSuggestedWidthReachesTheWorkingDistance) {
  Blobs("detail.png", 10, 41);
  Blobs("pixels.png", 1, 42);
  struct Row {
    double distance, width;
    const char* unit;
    bool short_;
  };
  const std::vector<Row> rows = {
      {1, 0.4, "m", false}, {3, 0.4, "m", true},    {10, 0.4, "m", true},
      {3, 400, "mm", true}, {0.5, 40, "cm", false}, {2.5, 40, "cm", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.distance) + " m, " + std::to_string(row.width) + row.unit);
    ImageRules rules;
    rules.workingDistance = row.distance;
    const auto image = Check({"detail.png"}, row.width, rules, row.unit).front();
    const artargets::Finding* finding = FindingOf(image, "ART315");
    ASSERT_EQ(finding != nullptr, row.short_);
    if (!finding) {
      EXPECT_GE(image.range.farthest, row.distance * 0.99);
      continue;
    }
    EXPECT_LT(image.range.farthest, row.distance);
    const std::string& message = finding->message;
    const std::size_t at = message.find("print it at least ");
    ASSERT_NE(at, std::string::npos) << message;
    const double suggested = std::stod(message.substr(at + 18));
    EXPECT_NE(message.find(std::string(" ") + row.unit + " wide"), std::string::npos) << message;
    EXPECT_EQ(FindingOf(Check({"detail.png"}, suggested, rules, row.unit).front(), "ART315"),
              nullptr)
        << "printed " << suggested << " " << row.unit << " wide";
    EXPECT_NE(FindingOf(Check({"detail.png"}, suggested * 0.97, rules, row.unit).front(), "ART315"),
              nullptr)
        << "printed 3% narrower than " << suggested;
  }
  ImageRules far;
  far.workingDistance = 1;
  const auto never = Check({"pixels.png"}, 0.4, far).front();
  ASSERT_NE(FindingOf(never, "ART315"), nullptr);
  EXPECT_NE(FindingOf(never, "ART315")->message.find("tracks at no distance"), std::string::npos);
}

// A score under --fail-below is a finding of its own, naming the image and its score (SARIF and
// JUnit carry every finding: check_test.cpp); text prints every image's score and range.
TEST_F(TrackingRangeTest, FailBelowIsAFindingInEveryFormat) {
  Blobs("photo.png", 10, 51);
  Write("t.xml", TargetFile(Pictured("Photo", "photo.png", 0.4, 0.3)));
  const Json rated = Json::parse(Run("check t.xml --images --json").out)["images"][0];
  const int score = rated["score"];
  ASSERT_LT(score, 100);
  const std::string scored = "scores " + std::to_string(score) + " of 100";
  const std::string limit = " --fail-below " + std::to_string(score + 1);

  const artest::Result text = Run("check t.xml --images --working-distance 50" + limit);
  EXPECT_EQ(text.status, 1);
  EXPECT_NE(text.out.find("error ART316: target 1 \"Photo\": its image \"photo.png\" " + scored),
            std::string::npos)
      << text.out;
  EXPECT_NE(text.out.find("warning ART315"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("t.xml: target 1 \"Photo\" \"photo.png\" " + scored + ", tracks from "),
            std::string::npos)
      << text.out;

  const Json json = Json::parse(Run("check t.xml --images --json" + limit).out);
  ASSERT_FALSE(json["findings"].empty());
  EXPECT_EQ(json["findings"].back()["code"], "ART316");
  EXPECT_NE(json["findings"].back()["message"].get<std::string>().find(scored), std::string::npos);
  EXPECT_GT(json["images"][0]["range"]["farthest"].get<double>(),
            json["images"][0]["range"]["nearest"].get<double>());

  const Json sarif = Json::parse(Run("check t.xml --images --format sarif" + limit).out)["runs"][0];
  EXPECT_EQ(sarif["properties"]["images"][0]["score"], score);
  EXPECT_FALSE(sarif["properties"]["images"][0]["farthest"].is_null());
}

}  // namespace
