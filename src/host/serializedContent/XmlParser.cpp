#include "serializedContent/XmlParser.h"

#include <cstring>
#include <optional>
#include <vector>

#include "dg/XmlAccess.h"
#include "orl/SerializedContent.h"
#include "serializedContent/ValueText.h"
#include "serializedContent/XmlForm.h"

namespace serializedContent {

namespace {

// The text of attribute `name`, or of `name-hex` decoded; empty when neither is readable.
std::optional<std::string> ReadText(pugi::xml_node node, const char* name) {
  if (pugi::xml_attribute a = node.attribute(name)) return std::string(a.value());
  const std::string hexName = std::string(name) + form::kHexSuffix;
  std::string bytes;
  if (pugi::xml_attribute a = node.attribute(hexName.c_str()); a && FromHex(a.value(), bytes))
    return bytes;
  return std::nullopt;
}

class Reader {
 public:
  explicit Reader(std::vector<std::string>& problems) : problems_(problems) {}

  // Adds the property `node` stands for to `element`; false when it is not one or unreadable.
  bool AddProperty(pugi::xml_node node, orl::SerializedContentElement* element) {
    const char* type = node.name();
    const std::optional<std::string> key = ReadText(node, form::kKey);
    if (!key) return Problem(element, std::string(type) + " without a key");
    const du::Symbol k(*key);
    if (!std::strcmp(type, form::kString)) {
      const std::optional<std::string> text = ReadText(node, form::kValue);
      if (!text) return Problem(element, "string '" + *key + "' without a value");
      element->AddProperty(k, du::Symbol(*text));
      return true;
    }
    if (!std::strcmp(type, form::kPoint) || !std::strcmp(type, form::kVector)) {
      double x = 0, y = 0, z = 0;
      if (!ParseDouble(node.attribute(form::kX).value(), x) ||
          !ParseDouble(node.attribute(form::kY).value(), y) ||
          !ParseDouble(node.attribute(form::kZ).value(), z))
        return Problem(element, std::string(type) + " '" + *key + "' has an unreadable x, y or z");
      if (type[0] == 'p')
        element->AddProperty(k, dg::DPoint3D{x, y, z});
      else
        element->AddProperty(k, dg::DVec3{x, y, z});
      return true;
    }
    return AddScalar(node, type, *key, k, element);
  }

  bool Problem(const orl::SerializedContentElement* element, const std::string& what) {
    problems_.push_back("in content '" + element->GetName().str() + "': " + what);
    return false;
  }

 private:
  bool AddScalar(pugi::xml_node node, const char* type, const std::string& key,
                 const du::Symbol& k, orl::SerializedContentElement* element) {
    const std::string_view text = node.attribute(form::kValue).value();
    bool read = false;
    if (!std::strcmp(type, form::kUInt8)) {
      unsigned char v = 0;
      if ((read = ParseUInt8(text, v))) element->AddProperty(k, v);
    } else if (!std::strcmp(type, form::kInt)) {
      int v = 0;
      if ((read = ParseInt(text, v))) element->AddProperty(k, v);
    } else if (!std::strcmp(type, form::kDouble)) {
      double v = 0;
      if ((read = ParseDouble(text, v))) element->AddProperty(k, v);
    } else if (!std::strcmp(type, form::kFloat)) {
      float v = 0;
      if ((read = ParseFloat(text, v))) element->AddProperty(k, v);
    } else if (!std::strcmp(type, form::kBool)) {
      bool v = false;
      if ((read = ParseBool(text, v))) element->AddProperty(k, v);
    } else {
      return Problem(element, "unknown element '" + std::string(type) + "'");
    }
    if (!read)
      return Problem(element, std::string(type) + " '" + key + "' has the unreadable value '" +
                                  std::string(text) + "'");
    return true;
  }

  std::vector<std::string>& problems_;
};

}  // namespace

bool XmlParser::Parse(const dg::XmlElem* xml, orl::SerializedContentElement* top) {
  problems_.clear();
  if (!xml || !top) return false;
  Reader reader(problems_);

  struct Frame {
    pugi::xml_node next;  // the next XML child to read
    orl::SerializedContentElement* element;
    bool endWhenDone;
  };
  std::vector<Frame> stack{{dg::XmlAccess::Node(xml).first_child(), top, false}};
  while (!stack.empty()) {
    Frame& frame = stack.back();
    if (!frame.next) {
      if (frame.endWhenDone) frame.element->EndContent();
      stack.pop_back();
      continue;
    }
    const pugi::xml_node node = frame.next;
    frame.next = node.next_sibling();
    if (node.type() != pugi::node_element) continue;
    if (std::strcmp(node.name(), form::kContent) != 0) {
      reader.AddProperty(node, frame.element);
      continue;
    }
    const std::optional<std::string> name = ReadText(node, form::kName);
    if (!name) {
      reader.Problem(frame.element, "content without a name");
      continue;
    }
    orl::SerializedContentElement* child = frame.element->StartContent(du::Symbol(*name));
    stack.push_back(Frame{node.first_child(), child, true});
  }
  return problems_.empty();
}

}  // namespace serializedContent
