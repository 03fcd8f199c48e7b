// serializedContent::XmlWriter: a serialized-content visitor that writes the tree it walks as
// XML under a given element, in the form of XmlForm.h. The element the walk starts on stands
// for the given XML element itself: its properties become children of it, and every element
// below it becomes a <content> child.
// Use: XmlWriter writer(xmlElement); top->Visit(writer, true);
//
// The writer prints the walk as it goes, in the text dg::WriteXmlCloseTags gives the same
// elements, and the element keeps that text once the walk has left it: printing the tree copies
// it, while reading the tree or adding to the element (FindChild, NewXmlElem, a parser) first
// makes it nodes. A save of a million targets so never builds millions of nodes only to print
// them.
//
// A host application may have every writer put the content children of each element in an
// order of its own, so that a file's text does not depend on the order its objects came in
// (a tool that keeps files in version control wants that; the plug-ins that write do not need
// to know): SetContentOrder gives a function that makes a sort key of a content element. The
// contents of one element are then written in order of their keys, bytewise, and contents with
// equal keys in order of their XML text, so that any order of the same contents gives the same
// text. The contents of an element stay together, after its properties. Without a function
// (the default) the writer keeps the order of the walk. The order is process-wide; a writer
// takes the one in force when it is made, so it may be set while other threads write.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "ArHostExport.h"
#include "orl/SerializedContent.h"

namespace dg {
class XmlElem;
}

namespace serializedContent {

class ARHOST_API XmlWriter : public orl::SerializedContentVisitor {
 public:
  using ContentKey = std::function<std::string(const orl::SerializedContentElement& content)>;
  static void SetContentOrder(ContentKey key);

  explicit XmlWriter(dg::XmlElem* parent);
  ~XmlWriter() override;

  bool StartElement(const du::Symbol& name, const orl::SerializedContentElement* element) override;
  bool EndElement(const du::Symbol& name) override;
  void Visit(const du::Symbol& key, const dg::DVec3& value) override;
  void Visit(const du::Symbol& key, const dg::DPoint3D& value) override;
  void Visit(const du::Symbol& key, const du::Symbol& value) override;
  void Visit(const du::Symbol& key, int value) override;
  void Visit(const du::Symbol& key, unsigned char value) override;
  void Visit(const du::Symbol& key, double value) override;
  void Visit(const du::Symbol& key, float value) override;
  void Visit(const du::Symbol& key, bool value) override;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace serializedContent
