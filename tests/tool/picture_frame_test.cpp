// The transforms the exports' manifest gives put a picture's four corners where the target's
// corners stand in the model, in the picture's own frame and in every platform's anchor axes.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "targets/PictureFrame.h"

namespace {

using artargets::AnchorAxes;
using artargets::Vec3;

Vec3 Plus(const Vec3& a, const Vec3& b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }
Vec3 Times(const Vec3& v, double s) { return {v[0] * s, v[1] * s, v[2] * s}; }
double Dot3(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
Vec3 Cross3(const Vec3& a, const Vec3& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
Vec3 Unit3(const Vec3& v) { return Times(v, 1 / std::sqrt(Dot3(v, v))); }

// `v` turned by `angle` about the unit axis `k` (Rodrigues): the rotation said another way.
Vec3 Turned(const Vec3& v, const Vec3& k, double angle) {
  return Plus(Plus(Times(v, std::cos(angle)), Times(Cross3(k, v), std::sin(angle))),
              Times(k, Dot3(k, v) * (1 - std::cos(angle))));
}

// Where a picture point (x right, y up, in metres) is on each platform's anchor.
Vec3 OnAnchor(AnchorAxes axes, double x, double y) {
  switch (axes) {
    case AnchorAxes::kArkitArcore:
      return {x, 0, -y};
    case AnchorAxes::kUnity:
      return {x, 0, y};
    case AnchorAxes::kVuforia:
      return {x, y, 0};
  }
  return {};
}

TEST(PictureFrameTest, EveryPlatformsTransformPutsTheCornersWhereTheTargetsCornersStand) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> any(-5, 5), size(0.05, 3), angle(-7, 7);
  const double metresPerUnit[] = {1, 0.001, 0.0254};
  for (int trial = 0; trial < 200; ++trial) {
    artargets::TargetRecord target;
    target.center = {any(random), any(random), any(random)};
    target.normal = {any(random), any(random), any(random)};
    target.xdir = {any(random), any(random), any(random)};
    target.width = size(random);
    target.height = size(random);
    target.rotation = angle(random);
    const double unit = metresPerUnit[trial % 3];
    const auto frame = artargets::FrameOf(target);
    ASSERT_TRUE(frame) << trial;
    // The oracle: xdir made perpendicular to the normal, turned about it by the rotation.
    const Vec3 out = Unit3(target.normal);
    const Vec3 right0 = Unit3(Plus(target.xdir, Times(out, -Dot3(target.xdir, out))));
    const Vec3 right = Turned(right0, out, target.rotation);
    const Vec3 up = Cross3(out, right);
    const artargets::Matrix4 model = artargets::ModelFromPicture(*frame, unit);
    for (AnchorAxes axes : {AnchorAxes::kArkitArcore, AnchorAxes::kUnity, AnchorAxes::kVuforia}) {
      const auto fromAnchor = artargets::Multiply(model, artargets::PictureFromAnchor(axes));
      for (const auto& [sx, sy] : {std::pair{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}) {
        const double x = sx * target.width * unit / 2, y = sy * target.height * unit / 2;
        const Vec3 wanted = Plus(Times(target.center, unit), Plus(Times(right, x), Times(up, y)));
        const Vec3 got = artargets::Transformed(fromAnchor, OnAnchor(axes, x, y));
        for (int i = 0; i < 3; ++i)
          EXPECT_NEAR(got[i], wanted[i], 1e-9) << "trial " << trial << " axes " << int(axes);
      }
    }
  }
}

TEST(PictureFrameTest, NoFrameWithoutANormalOrAnXdirOffIt) {
  const Vec3 none{0, 0, 0}, z{0, 0, 1}, x{1, 0, 0};
  struct Row {
    Vec3 normal, xdir;
    bool framed;
  };
  for (const Row& row : {Row{z, x, true}, Row{none, x, false}, Row{z, none, false},
                         Row{z, Times(z, -2), false}, Row{z, {NAN, 0, 0}, false}}) {
    artargets::TargetRecord target;
    target.normal = row.normal;
    target.xdir = row.xdir;
    EXPECT_EQ(artargets::FrameOf(target).has_value(), row.framed);
  }
}

}  // namespace
