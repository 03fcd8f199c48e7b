#include "orl/SerializedContent.h"

#include <stdexcept>
#include <string>
#include <utility>

namespace orl {

bool SerializedContentVisitor::StartElement(const du::Symbol&, const SerializedContentElement*) {
  return true;
}
bool SerializedContentVisitor::EndElement(const du::Symbol&) { return true; }
void SerializedContentVisitor::Visit(const du::Symbol&, const dg::DVec3&) {}
void SerializedContentVisitor::Visit(const du::Symbol&, const dg::DPoint3D&) {}
void SerializedContentVisitor::Visit(const du::Symbol&, const du::Symbol&) {}
void SerializedContentVisitor::Visit(const du::Symbol&, int) {}
void SerializedContentVisitor::Visit(const du::Symbol&, unsigned char) {}
void SerializedContentVisitor::Visit(const du::Symbol&, double) {}
void SerializedContentVisitor::Visit(const du::Symbol&, float) {}
void SerializedContentVisitor::Visit(const du::Symbol&, bool) {}
void SerializedContentVisitor::EndAttributes() {}

du::SmartPtr<SerializedContentElement> SerializedContentElement::CreateTopElement(
    const du::Symbol& name) {
  return du::SmartPtr<SerializedContentElement>(new SerializedContentElement(name));
}

SerializedContentElement::~SerializedContentElement() {
  // Take apart the subtree with a list instead of recursion, so depth cannot exhaust the stack:
  // a child we hold alone gives up its own children before it goes.
  std::vector<du::SmartPtr<SerializedContentElement>> pending = std::move(children_);
  while (!pending.empty()) {
    du::SmartPtr<SerializedContentElement> element = std::move(pending.back());
    pending.pop_back();
    if (element->GetReferenceCount() == 1) {
      for (auto& child : element->children_) pending.push_back(std::move(child));
      element->children_.clear();
    }
  }
}

void SerializedContentElement::CheckOpen(const char* operation) const {
  if (ended_)
    throw std::logic_error(std::string(operation) + " on the ended element \"" + name_.str() +
                           "\"");
}

SerializedContentElement* SerializedContentElement::StartContent(const du::Symbol& name) {
  CheckOpen("StartContent");
  du::SmartPtr<SerializedContentElement> child = new SerializedContentElement(name);
  // Siblings are usually of one kind (the targets of a content): room for as many properties
  // as the one before has spares the new one growing its list step by step.
  if (!children_.empty()) child->properties_.ReserveLike(children_.back()->properties_);
  children_.push_back(std::move(child));
  return children_.back().get();
}

void SerializedContentElement::EndContent() {
  CheckOpen("EndContent");
  ended_ = true;
}

template <class Stored>
void SerializedContentElement::Add(const du::Symbol& key, const Stored& value) {
  CheckOpen("AddProperty");
  properties_.Add(key, value);
}

void SerializedContentElement::AddProperty(const du::Symbol& key, unsigned char value) {
  Add(key, value);
}
void SerializedContentElement::AddProperty(const du::Symbol& key, int value) { Add(key, value); }
void SerializedContentElement::AddProperty(const du::Symbol& key, double value) { Add(key, value); }
void SerializedContentElement::AddProperty(const du::Symbol& key, float value) { Add(key, value); }
void SerializedContentElement::AddProperty(const du::Symbol& key, bool value) { Add(key, value); }
void SerializedContentElement::AddProperty(const du::Symbol& key, const du::Symbol& value) {
  Add(key, value);
}
void SerializedContentElement::AddProperty(const du::Symbol& key, const dg::DPoint3D& value) {
  Add(key, value);
}
void SerializedContentElement::AddProperty(const du::Symbol& key, const dg::DVec3& value) {
  Add(key, value);
}

std::vector<SerializedContentElement::Property> SerializedContentElement::GetProperties() const {
  std::vector<Property> properties;
  properties.reserve(properties_.size());
  properties_.ForEach([&](const du::Symbol& key, const auto& value) {
    properties.push_back(Property{key, Value(value)});
  });
  return properties;
}

const SerializedContentElement* SerializedContentElement::GetChild(std::size_t index) const {
  return index < children_.size() ? children_[index].get() : nullptr;
}

void SerializedContentElement::VisitProperties(const SerializedContentElement& element,
                                               SerializedContentVisitor& visitor) {
  element.properties_.ForEach(
      [&](const du::Symbol& key, const auto& value) { visitor.Visit(key, value); });
  visitor.EndAttributes();
}

bool SerializedContentElement::Visit(SerializedContentVisitor& visitor, bool descend) const {
  if (!visitor.StartElement(name_, this)) return false;
  VisitProperties(*this, visitor);
  if (!descend || children_.empty()) return visitor.EndElement(name_);

  struct Frame {
    const SerializedContentElement* element;
    std::size_t nextChild;
  };
  std::vector<Frame> stack{{this, 0}};
  for (;;) {
    Frame& top = stack.back();
    if (top.nextChild < top.element->children_.size()) {
      const SerializedContentElement* child = top.element->children_[top.nextChild++].get();
      if (visitor.StartElement(child->name_, child)) {
        VisitProperties(*child, visitor);
        stack.push_back(Frame{child, 0});
      }
      continue;
    }
    const bool verdict = visitor.EndElement(top.element->name_);
    stack.pop_back();
    if (stack.empty()) return verdict;
  }
}

}  // namespace orl
