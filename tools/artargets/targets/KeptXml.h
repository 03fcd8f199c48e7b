// What the reading and the writing of kept content share: how a kept node becomes text, and the
// quick sieve that finds a target's record before records are compared whole.
#pragma once

#include <pugixml.hpp>
#include <sstream>
#include <string>

#include "targets/TargetRecord.h"

namespace artargets::keptxml {

// Every kind of node a file can hold, but for white space between elements.
constexpr unsigned kParseEverything =
    pugi::parse_default | pugi::parse_comments | pugi::parse_pi | pugi::parse_doctype;

inline std::string XmlOf(pugi::xml_node node) {
  std::ostringstream out;
  node.print(out, "", pugi::format_raw);
  return out.str();
}

// A record's name, id and type as text.
inline std::string SieveKey(const TargetRecord& r) {
  return r.name + '\0' + std::to_string(r.id) + '\0' + std::to_string(r.type);
}

}  // namespace artargets::keptxml
