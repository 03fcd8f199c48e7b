// serializedContent::XmlWriter: a serialized-content visitor that writes the tree it walks as
// XML under a given element, in the form of XmlForm.h. The element the walk starts on stands
// for the given XML element itself: its properties become children of it, and every element
// below it becomes a <content> child.
// Use: XmlWriter writer(xmlElement); top->Visit(writer, true);
#pragma once

#include <memory>

#include "ArHostExport.h"
#include "orl/SerializedContent.h"

namespace dg {
class XmlElem;
}

namespace serializedContent {

class ARHOST_API XmlWriter : public orl::SerializedContentVisitor {
 public:
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
