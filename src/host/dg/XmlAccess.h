// Inside the host only: the pugixml node behind a dg::XmlElem, for the host's converters.
#pragma once

#include <pugixml.hpp>

#include "dg/XmlElem.h"

namespace dg {

struct XmlAccess {
  static pugi::xml_node Node(const XmlElem* element) {
    return pugi::xml_node(static_cast<pugi::xml_node_struct*>(element->node_));
  }
  static XmlDocument* Document(const XmlElem* element) { return element->document_; }
};

}  // namespace dg
