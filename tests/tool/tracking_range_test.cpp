// How far a printed target tracks: the least on-screen width read from pictures made here (finer
// detail needs more of the frame; detail too fine for any camera gives no range), the range's
// limits for a print and a camera, the working-distance finding (ART315) whose suggested width
// reaches the distance, and the fail-below finding (ART316) in every format.
#include <gtest/gtest.h>

#include <cmath>
#include <nlohmann/json.hpp>
#include <random>
#include <string>
#include <vector>

#include "ArtargetsTest.h"
#include "checks/ImageCheck.h"
#include "images/SurvivingFeatures.h"
#include "images/TrackingRange.h"

namespace {

using artargets::Camera;
using artargets::CheckImages;
using artargets::ImageRules;
using artargets::PlacedTarget;
using artargets::RangeOf;
using artargets::TargetImage;
using artargets::TrackingRange;
using Json = nlohmann::json;

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
