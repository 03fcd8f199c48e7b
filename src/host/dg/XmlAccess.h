// Inside the host only: the pugixml node behind a dg::XmlElem, for the host's converters, and
// children appended as printed text.
//
// A writer that appends many children (serializedContent::XmlWriter) gives them as the text
// dg::WriteXmlCloseTags would print for them, not as nodes: a million targets would otherwise
// take millions of pugixml nodes (gigabytes) that exist only to be printed. The tree keeps the
// text beside the element it belongs under, after the element's other children. Printing copies
// it in place; anything that reads the tree or adds to it (Node, FindChild, NewXmlElem) first
// has every such text parsed into nodes, so that the tree seen is always the whole one.
#pragma once

#include <cstddef>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "dg/XmlElem.h"

namespace dg {

// Children of an element as printed text, in pieces of any length: a large text is never copied
// to grow, and texts made apart are joined only where they are printed.
struct ChildText {
  std::vector<std::string> pieces;
  // How many spaces each line starts with at least: those of the children's own lines when the
  // tree is printed from its root at indentation level 0 (ChildIndent).
  std::size_t indent = 0;

  std::size_t Size() const;
};

struct XmlAccess {
  // The pugixml node behind `element`, with every child text of its tree parsed into nodes.
  static pugi::xml_node Node(const XmlElem* element);
  // The node as it stands, child texts left as they are: for the tree's own code.
  static pugi::xml_node RawNode(const XmlElem* element) {
    return pugi::xml_node(static_cast<pugi::xml_node_struct*>(element->node_));
  }
  static XmlDocument* Document(const XmlElem* element) { return element->document_; }
  // The spaces before a child of `element` when its tree is printed from the root at level 0.
  static std::size_t ChildIndent(const XmlElem* element);
  // Appends `text`, made for ChildIndent(element), after the children `element` has.
  static void AppendChildText(XmlElem* element, ChildText text);
};

}  // namespace dg
