// orl::SerializedContentElement and orl::SerializedContentVisitor: the host's neutral tree for
// saving objects. An element has a name, typed properties in the order they were added, and
// child elements. Objects write themselves into a tree; converters turn trees into a file
// format and back (serializedContent::XmlWriter / XmlParser); a visitor walks a tree.
//
// Writing: CreateTopElement, then on any element StartContent(name) (returns the new child),
// AddProperty(key, value), and EndContent() once the element is complete. Adding to an ended
// element, or ending it twice, throws std::logic_error.
//
// Walking: element.Visit(visitor, descend).
//   - StartElement(name, element) decides whether the walk enters the element: true visits
//     its properties (one typed Visit each, in order), then EndAttributes, then, when
//     `descend` is true, its children; false skips the element and everything below it, and
//     EndElement is not called for it.
//   - EndElement(name) closes an entered element and gives the visitor's verdict on it. Inner
//     verdicts do not change the walk: every entered element's siblings are walked. Visit
//     returns the verdict on the element it was called on (false when that was skipped).
//   - The base visitor enters every element, ignores every property and agrees with every
//     element, so a visitor overrides only what it reads.
// The walk keeps its own stack: any depth of nesting is safe, and so is destroying a deep tree.
// Thread rules: a tree is built by one thread; any number may walk a finished tree at once.
#pragma once

#include <cstddef>
#include <variant>
#include <vector>

#include "ArHostExport.h"
#include "dg/Geometry.h"
#include "du/RefCounted.h"
#include "du/SmartPtr.h"
#include "du/Symbol.h"
#include "orl/PackedProperties.h"

namespace orl {

class SerializedContentElement;

class ARHOST_API SerializedContentVisitor {
 public:
  virtual ~SerializedContentVisitor() = default;

  virtual bool StartElement(const du::Symbol& name, const SerializedContentElement* element);
  virtual bool EndElement(const du::Symbol& name);
  virtual void Visit(const du::Symbol& key, const dg::DVec3& value);
  virtual void Visit(const du::Symbol& key, const dg::DPoint3D& value);
  virtual void Visit(const du::Symbol& key, const du::Symbol& value);
  virtual void Visit(const du::Symbol& key, int value);
  virtual void Visit(const du::Symbol& key, unsigned char value);
  virtual void Visit(const du::Symbol& key, double value);
  virtual void Visit(const du::Symbol& key, float value);
  virtual void Visit(const du::Symbol& key, bool value);
  // After an entered element's properties, before its children.
  virtual void EndAttributes();
};

class ARHOST_API SerializedContentElement : public virtual du::RefCounted {
 public:
  using Value =
      std::variant<unsigned char, int, double, float, bool, du::Symbol, dg::DPoint3D, dg::DVec3>;
  struct Property {
    du::Symbol key;
    Value value;
    friend bool operator==(const Property&, const Property&) = default;
  };

  static du::SmartPtr<SerializedContentElement> CreateTopElement(const du::Symbol& name);

  // The new child, owned by this element.
  SerializedContentElement* StartContent(const du::Symbol& name);
  void EndContent();

  void AddProperty(const du::Symbol& key, unsigned char value);
  void AddProperty(const du::Symbol& key, int value);
  void AddProperty(const du::Symbol& key, double value);
  void AddProperty(const du::Symbol& key, float value);
  void AddProperty(const du::Symbol& key, bool value);
  void AddProperty(const du::Symbol& key, const du::Symbol& value);
  void AddProperty(const du::Symbol& key, const char* value) {
    AddProperty(key, du::Symbol(value));
  }
  void AddProperty(const du::Symbol& key, const dg::DPoint3D& value);
  void AddProperty(const du::Symbol& key, const dg::DVec3& value);

  bool Visit(SerializedContentVisitor& visitor, bool descend) const;

  const du::Symbol& GetName() const { return name_; }
  // A copy of the properties in order: for tests and tools; a walk reads them without one.
  std::vector<Property> GetProperties() const;
  std::size_t GetChildCount() const { return children_.size(); }
  const SerializedContentElement* GetChild(std::size_t index) const;
  bool IsEnded() const { return ended_; }

 protected:
  explicit SerializedContentElement(const du::Symbol& name) : name_(name) {}
  ~SerializedContentElement() override;

 private:
  template <class Stored>
  void Add(const du::Symbol& key, const Stored& value);
  void CheckOpen(const char* operation) const;
  static void VisitProperties(const SerializedContentElement& element,
                              SerializedContentVisitor& visitor);

  du::Symbol name_;
  PackedProperties properties_;
  std::vector<du::SmartPtr<SerializedContentElement>> children_;
  bool ended_ = false;
};

}  // namespace orl
