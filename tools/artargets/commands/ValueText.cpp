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

std::string FieldText(const TargetRecord& r, const std::string& key) {
  if (key == "name") return Quoted(r.name);
  if (key == "image") return Quoted(r.image);
  if (key == "width") return NumberText(r.width);
  if (key == "height") return NumberText(r.height);
  if (key == "type") return std::to_string(r.type);
  if (key == "id") return std::to_string(r.id);
  if (key == "center") return VectorText(r.center);
  if (key == "normal") return VectorText(r.normal);
  if (key == "xdir") return VectorText(r.xdir);
  if (key == "ydir") return VectorText(r.ydir);
  if (key == "shape") return Quoted(r.shape);
  return NumberText(r.rotation);
}

}  // namespace artargets
