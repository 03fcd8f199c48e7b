#include "targets/Units.h"

#include <array>

namespace artargets {

namespace {

const std::array<LengthUnit, 5>& Units() {
  static const std::array<LengthUnit, 5> units = {
      LengthUnit{"m", 1}, {"cm", 0.01}, {"mm", 0.001}, {"in", 0.0254}, {"ft", 0.3048}};
  return units;
}

}  // namespace

std::optional<LengthUnit> UnitNamed(const std::string& name) {
  for (const LengthUnit& unit : Units())
    if (unit.name == name) return unit;
  return std::nullopt;
}

std::string UnitNames() {
  std::string names;
  for (const LengthUnit& unit : Units()) names += (names.empty() ? "" : ", ") + unit.name;
  return names;
}

}  // namespace artargets
