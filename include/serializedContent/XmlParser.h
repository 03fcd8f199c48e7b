// serializedContent::XmlParser: fills a serialized-content tree from XML in the form of
// XmlForm.h. The given XML element stands for the given tree element: its property children
// become the tree element's properties and its <content> children become child elements,
// ended once filled. The given tree element is not ended.
//
// Parse does not stop at what it cannot read: an unknown element, or a property whose key or
// value is missing or unreadable, is skipped and described in GetProblems() ("in content
// 'artarget': double 'artargetwidth' has the unreadable value 'wide'"). Parse returns true
// when nothing was skipped. Any depth of nesting is safe.
//
// Parse reads the XML once: it takes each child of the given XML element out of its tree as
// soon as it has read it, and the given element is left empty. A large document's memory thus
// goes back while the tree it fills grows, and the tree is built in it instead of on top of it
// (a million targets load in 3.1 GB instead of 3.7). Elements below the given one must not be
// used once Parse has begun; the given element and those above it stay.
//
// A host application may watch what is read: a watcher set with Watch is called at the end of
// every Parse, on the parsing thread, with the filled tree element and the problems found. A
// tool that reports on a file its plug-in loads examines the plug-in's own tree so, instead of
// reading the file a second time. One watcher at a time; an empty one stops the watching. The
// watcher must not start a Parse itself.
#pragma once

#include <functional>
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

  bool Parse(dg::XmlElem* xml, orl::SerializedContentElement* top);
  const std::vector<std::string>& GetProblems() const { return problems_; }

  using Watcher = std::function<void(const orl::SerializedContentElement& top,
                                     const std::vector<std::string>& problems)>;
  static void Watch(Watcher watcher);

 private:
  std::vector<std::string> problems_;
};

}  // namespace serializedContent
