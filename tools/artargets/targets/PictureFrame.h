// Where a target's picture stands in the model: the picture's own frame, and the transforms the
// exports, render and the report share. The frame, said once:
// - origin: the target's centre;
// - out (the picture's outward normal, toward whoever looks at it): `normal`, made unit length;
// - right: `xdir`, without its part along the normal, made unit length;
// - up: out x right (so that right, up, out is right-handed, as check's ART206 wants `ydir`);
// - `rotation` turns the picture in its plane about its normal, counter-clockwise as seen from
//   the front, in radians: right' = cos(r) right + sin(r) up, up' = -sin(r) right + cos(r) up.
// The width runs along right', the height along up'. `ydir` only decides nothing: a file whose
// `ydir` is not out x xdir is mirrored, and check says so.
#pragma once

#include <array>
#include <optional>

#include "targets/TargetRecord.h"

namespace artargets {

using Matrix4 = std::array<std::array<double, 4>, 4>;  // row-major: m[row][column]

struct PictureFrame {
  Vec3 origin{}, right{}, up{}, out{};  // origin in the file's units
};

// The frame of `target`; nothing when its normal or xdir is zero, not finite, or they are
// parallel (then no picture can be placed).
std::optional<PictureFrame> FrameOf(const TargetRecord& target);

// Model from picture, in metres: a point given in the picture's frame (x right, y up, z out, in
// metres) to the model's coordinates in metres (the file's units times `metresPerUnit`).
Matrix4 ModelFromPicture(const PictureFrame& frame, double metresPerUnit);

// The axes of each platform's image anchor, in the picture's frame (inferred from the platforms'
// documentation: see docs/platforms.md):
// - ARKit and ARCore: x right, y out of the picture, z toward its bottom edge;
// - Unity AR Foundation: x right, y out, z toward its top edge (Unity's axes are left-handed);
// - Vuforia: x right, y up, z out (the picture's own frame).
enum class AnchorAxes { kArkitArcore, kUnity, kVuforia };
// Picture from anchor: the anchor's x, y and z axes as the columns.
Matrix4 PictureFromAnchor(AnchorAxes axes);

Matrix4 Multiply(const Matrix4& a, const Matrix4& b);
// `m` applied to the point `p`.
Vec3 Transformed(const Matrix4& m, const Vec3& p);

}  // namespace artargets
