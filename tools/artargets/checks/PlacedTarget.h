// A target as its file gives it, with its place there: what the checks of its values and of its
// image look at, and what the outputs name it by.
#pragma once

#include <string>

#include "targets/TargetRecord.h"
#include "targets/Units.h"

namespace artargets {

struct PlacedTarget {
  int place = 0;  // from 1, in file order
  std::string name, image;
  double width = 0, height = 0;  // in the file's units (see `unit`)
  LengthUnit unit{};
  int type = 0;
  long long id = 0;
  Vec3 center{}, normal{}, xdir{}, ydir{};
  int line = 0;  // of its element in the file, from 1; 0 when not known
  double rotation = 0;
};

}  // namespace artargets
