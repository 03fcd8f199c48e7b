// How the tool prints values for people: numbers in the shortest form that reads back exactly
// ("0.1", "-0", "inf", "nan"), vectors as "[x, y, z]".
#pragma once

#include <string>

#include "TargetRecord.h"

namespace artargets {

std::string NumberText(double value);
std::string VectorText(const Vec3& v);
// The value of the field named by its JSON key, as text ("name" gives the name in quotes).
std::string FieldText(const TargetRecord& record, const std::string& key);

}  // namespace artargets
