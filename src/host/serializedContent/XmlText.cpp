#include "serializedContent/XmlText.h"

#include <string>

#include "serializedContent/ValueText.h"
#include "serializedContent/XmlForm.h"

namespace serializedContent {

void SetText(pugi::xml_node node, const char* name, std::string_view text, bool carried) {
  if (carried || IsXmlText(text)) {
    node.append_attribute(name).set_value(text.data(), text.size());
  } else {
    const std::string hexName = std::string(name) + form::kHexSuffix;
    const std::string hex = ToHex(text);
    node.append_attribute(hexName.c_str()).set_value(hex.data(), hex.size());
  }
}

}  // namespace serializedContent
