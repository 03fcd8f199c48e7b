#include "targets/PictureFrame.h"

#include <cmath>

namespace artargets {

namespace {

double FrameDot(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
Vec3 FrameCross(const Vec3& a, const Vec3& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
Vec3 Scaled(const Vec3& v, double s) { return {v[0] * s, v[1] * s, v[2] * s}; }
Vec3 Sum(const Vec3& a, const Vec3& b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }

// `v` made unit length; nothing when it has no direction.
std::optional<Vec3> Unit(const Vec3& v) {
  const double length = std::sqrt(FrameDot(v, v));
  if (!std::isfinite(length) || length < 1e-12) return std::nullopt;
  return Scaled(v, 1 / length);
}

}  // namespace

std::optional<PictureFrame> FrameOf(const TargetRecord& target) {
  const auto out = Unit(target.normal);
  if (!out) return std::nullopt;
  const auto right = Unit(Sum(target.xdir, Scaled(*out, -FrameDot(target.xdir, *out))));
  if (!right || std::abs(FrameDot(*Unit(target.xdir), *out)) > 1 - 1e-9) return std::nullopt;
  const Vec3 up = FrameCross(*out, *right);
  const double c = std::cos(target.rotation), s = std::sin(target.rotation);
  if (!std::isfinite(c) || !std::isfinite(s)) return std::nullopt;
  return PictureFrame{target.center, Sum(Scaled(*right, c), Scaled(up, s)),
                      Sum(Scaled(*right, -s), Scaled(up, c)), *out};
}

Matrix4 ModelFromPicture(const PictureFrame& frame, double metresPerUnit) {
  Matrix4 m{};
  for (int row = 0; row < 3; ++row) {
    m[row][0] = frame.right[row];
    m[row][1] = frame.up[row];
    m[row][2] = frame.out[row];
    m[row][3] = frame.origin[row] * metresPerUnit;
  }
  m[3][3] = 1;
  return m;
}

Matrix4 PictureFromAnchor(AnchorAxes axes) {
  // Columns: the anchor's x, y, z in the picture's (right, up, out).
  const double zTowardUp = axes == AnchorAxes::kUnity ? 1 : -1;
  if (axes == AnchorAxes::kVuforia)
    return {{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
  return {{{1, 0, 0, 0}, {0, 0, zTowardUp, 0}, {0, 1, 0, 0}, {0, 0, 0, 1}}};
}

Matrix4 Multiply(const Matrix4& a, const Matrix4& b) {
  Matrix4 m{};
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      for (int k = 0; k < 4; ++k) m[i][j] += a[i][k] * b[k][j];
  return m;
}

Vec3 Transformed(const Matrix4& m, const Vec3& p) {
  Vec3 q{};
  for (int row = 0; row < 3; ++row)
    q[row] = m[row][0] * p[0] + m[row][1] * p[1] + m[row][2] * p[2] + m[row][3];
  return q;
}

}  // namespace artargets
