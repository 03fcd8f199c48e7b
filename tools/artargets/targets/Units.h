// The unit a target file's lengths are in. The file holds bare numbers in the model's units;
// a model drawn in millimetres gives a 600 mm poster a width of 600, so every size and every
// pixels-per-metre figure the tool reports is worked out in the unit its user names.
#pragma once

#include <optional>
#include <string>

namespace artargets {

struct LengthUnit {
  std::string name = "m";  // as the user writes it: m, cm, mm, in, ft
  double metres = 1;       // one unit, in metres
};

// The unit of that name; nothing when the name is none of m, cm, mm, in and ft.
std::optional<LengthUnit> UnitNamed(const std::string& name);
// The names UnitNamed knows, for help and messages: "m, cm, mm, in, ft".
std::string UnitNames();

}  // namespace artargets
