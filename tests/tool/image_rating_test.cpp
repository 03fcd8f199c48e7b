// The image rating and `check --images`'s findings on pictures made here: the score does not
// depend on which way up an image is, and each kind of trouble (blur, transparency, a turned
// JPEG, the same picture re-encoded; plain areas and look-alikes: fix_commands_test.cpp) gives
// its own finding.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <functional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "ArtargetsTest.h"
#include "checks/ImageCheck.h"
#include "images/AppearanceHash.h"
#include "stb/stb_image_write.h"

namespace {

using artargets::CheckImages;
using artargets::PlacedTarget;
using artargets::RateImage;
using artargets::TargetImage;

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

}  // namespace
