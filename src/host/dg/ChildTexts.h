// dg::ChildTexts: the children a tree holds as printed text (see XmlAccess.h), by the element
// each belongs under, and the two ways they leave that form: printed in place, or parsed into
// nodes.
#pragma once

#include <pugixml.hpp>
#include <string>
#include <utility>
#include <vector>

#include "dg/XmlAccess.h"

namespace dg {

class ChildTexts {
 public:
  bool Empty() const { return texts_.empty(); }
  std::size_t Size() const;  // of all texts
  // `text` goes after the children `parent` has, its own text included.
  void Append(pugi::xml_node parent, ChildText text);
  // Parses every text into nodes under its element, and forgets it.
  void Realize();
  // Appends `node` to `out` as pugixml prints it with two spaces per level from `level`, with
  // the texts in their places. False, with `out` as it was, when a text's place cannot be told
  // for sure (mixed content puts children on a line shared with text); the caller then
  // realizes them and prints the nodes.
  bool Print(pugi::xml_node node, unsigned level, std::string& out);

 private:
  std::vector<std::pair<pugi::xml_node, ChildText>> texts_;
};

}  // namespace dg
