#include "serializedContent/XmlWriter.h"

#include <string>
#include <vector>

#include "dg/XmlAccess.h"
#include "serializedContent/ValueText.h"
#include "serializedContent/XmlForm.h"

namespace serializedContent {

namespace {

// Sets `name` to `text`, or `name-hex` to its bytes when XML cannot carry the text.
void SetText(pugi::xml_node node, const char* name, std::string_view text) {
  if (IsXmlText(text)) {
    node.append_attribute(name).set_value(std::string(text).c_str());
  } else {
    const std::string hexName = std::string(name) + form::kHexSuffix;
    node.append_attribute(hexName.c_str()).set_value(ToHex(text).c_str());
  }
}

}  // namespace

struct XmlWriter::State {
  pugi::xml_node parent;
  std::vector<pugi::xml_node> open;  // the XML element of each entered element

  pugi::xml_node Property(const char* type, const du::Symbol& key) {
    pugi::xml_node node = open.back().append_child(type);
    SetText(node, form::kKey, key.view());
    return node;
  }
  void Value(const char* type, const du::Symbol& key, const std::string& text) {
    Property(type, key).append_attribute(form::kValue).set_value(text.c_str());
  }
  void Triple(const char* type, const du::Symbol& key, double x, double y, double z) {
    pugi::xml_node node = Property(type, key);
    node.append_attribute(form::kX).set_value(FormatDouble(x).c_str());
    node.append_attribute(form::kY).set_value(FormatDouble(y).c_str());
    node.append_attribute(form::kZ).set_value(FormatDouble(z).c_str());
  }
};

XmlWriter::XmlWriter(dg::XmlElem* parent) : state_(new State) {
  if (parent) state_->parent = dg::XmlAccess::Node(parent);
}

XmlWriter::~XmlWriter() = default;

bool XmlWriter::StartElement(const du::Symbol& name, const orl::SerializedContentElement*) {
  if (state_->open.empty()) {
    state_->open.push_back(state_->parent);  // the walk's first element is the given one
    return static_cast<bool>(state_->parent);
  }
  pugi::xml_node node = state_->open.back().append_child(form::kContent);
  SetText(node, form::kName, name.view());
  state_->open.push_back(node);
  return true;
}

bool XmlWriter::EndElement(const du::Symbol&) {
  state_->open.pop_back();
  return true;
}

void XmlWriter::Visit(const du::Symbol& key, const dg::DVec3& v) {
  state_->Triple(form::kVector, key, v.x, v.y, v.z);
}

void XmlWriter::Visit(const du::Symbol& key, const dg::DPoint3D& p) {
  state_->Triple(form::kPoint, key, p.x, p.y, p.z);
}

void XmlWriter::Visit(const du::Symbol& key, const du::Symbol& value) {
  SetText(state_->Property(form::kString, key), form::kValue, value.view());
}

void XmlWriter::Visit(const du::Symbol& key, int value) {
  state_->Value(form::kInt, key, std::to_string(value));
}

void XmlWriter::Visit(const du::Symbol& key, unsigned char value) {
  state_->Value(form::kUInt8, key, std::to_string(value));
}

void XmlWriter::Visit(const du::Symbol& key, double value) {
  state_->Value(form::kDouble, key, FormatDouble(value));
}

void XmlWriter::Visit(const du::Symbol& key, float value) {
  state_->Value(form::kFloat, key, FormatFloat(value));
}

void XmlWriter::Visit(const du::Symbol& key, bool value) {
  state_->Value(form::kBool, key, value ? "true" : "false");
}

}  // namespace serializedContent
