#include "ValueText.h"

#include <nlohmann/json.hpp>

#include "serializedContent/ValueText.h"

namespace artargets {

std::string Quoted(const std::string& text) {
  return nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string Escaped(const std::string& text) {
  const std::string quoted = Quoted(text);
  return quoted.substr(1, quoted.size() - 2);
}

std::string NumberText(double value) { return serializedContent::FormatDouble(value); }

std::string VectorText(const Vec3& v) {
  return "[" + NumberText(v[0]) + ", " + NumberText(v[1]) + ", " + NumberText(v[2]) + "]";
}

}  // namespace artargets
