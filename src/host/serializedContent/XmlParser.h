// serializedContent::XmlParser: fills a serialized-content tree from XML in the form of
// XmlForm.h. The given XML element stands for the given tree element: its property children
// become the tree element's properties and its <content> children become child elements,
// ended once filled. The given tree element is not ended.
//
// Parse does not stop at what it cannot read: an unknown element, or a property whose key or
// value is missing or unreadable, is skipped and described in GetProblems() ("in content
// 'artarget': double 'artargetwidth' has the unreadable value 'wide'"). Parse returns true
// when nothing was skipped. Any depth of nesting is safe.
#pragma once

#include <string>
#include <vector>

#include "ArHostExport.h"

namespace dg {
class XmlElem;
}

namespace orl {
class SerializedContentElement;
}

namespace serializedContent {

class ARHOST_API XmlParser {
 public:
  XmlParser() = default;

  bool Parse(const dg::XmlElem* xml, orl::SerializedContentElement* top);
  const std::vector<std::string>& GetProblems() const { return problems_; }

 private:
  std::vector<std::string> problems_;
};

}  // namespace serializedContent
