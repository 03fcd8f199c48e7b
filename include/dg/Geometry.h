// dg::DPoint3D and dg::DVec3: a point and a vector of model space, three doubles each. Both
// start at zero. Values are stored as given: nothing is normalised.
#pragma once

namespace dg {

struct DPoint3D {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
  friend bool operator==(const DPoint3D&, const DPoint3D&) = default;
};

struct DVec3 {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
  friend bool operator==(const DVec3&, const DVec3&) = default;
};

}  // namespace dg
