#include "checks/ElementLines.h"

#include <algorithm>
#include <pugixml.hpp>

#include "support/InputFile.h"
#include "support/MappedFile.h"
#include "targets/PlainTargetText.h"

namespace artargets {

namespace {

bool IsTargetElement(const pugi::xml_node& node) {
  return std::string_view(node.name()) == "content" &&
         std::string_view(node.attribute("name").value()) == "artarget";
}

// Collects the offsets of target elements below `node`, in document order.
void Offsets(const pugi::xml_node& node, std::vector<std::ptrdiff_t>& out) {
  for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
    if (child.type() != pugi::node_element) continue;
    if (IsTargetElement(child))
      out.push_back(child.offset_debug());
    else
      Offsets(child, out);
  }
}

}  // namespace

std::vector<int> TargetLines(const std::string& path) {
  if (!IsStandardStream(path) && !IsPipe(path)) {
    // A file laid out as the plug-in writes it shows its targets' lines without a parse.
    const MappedFile mapped(path);
    if (std::vector<int> lines = PlainTargetLines(mapped.Text()); !lines.empty()) return lines;
  }
  std::string text, why;
  if (!ReadInput(path, text, why)) return {};
  pugi::xml_document doc;
  if (!doc.load_buffer(text.data(), text.size(), pugi::parse_default)) return {};
  std::vector<std::ptrdiff_t> offsets;
  Offsets(doc.document_element().child("targets"), offsets);
  std::vector<int> lines;
  int line = 1;
  std::ptrdiff_t counted = 0;
  for (const std::ptrdiff_t offset : offsets) {  // increasing: count each stretch once
    line += int(std::count(text.begin() + counted, text.begin() + offset, '\n'));
    counted = offset;
    lines.push_back(line);
  }
  return lines;
}

}  // namespace artargets
