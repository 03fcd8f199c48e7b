#include "serializedContent/XmlText.h"

#include <pugixml.hpp>
#include <sstream>

#include "serializedContent/ValueText.h"
#include "serializedContent/XmlForm.h"

namespace serializedContent {

namespace {

// Whether pugixml might print `value` otherwise than as its bytes: it escapes some of these
// characters in an attribute (which ones is its business), and none other.
bool MayBeEscaped(std::string_view value) {
  for (const char c : value)
    if (static_cast<unsigned char>(c) < 0x20 || c == '&' || c == '<' || c == '>' || c == '"' ||
        c == '\'')
      return true;
  return false;
}

// The value as pugixml prints it in an attribute: printed by pugixml itself.
std::string EscapedByPugixml(std::string_view value) {
  pugi::xml_document scratch;
  scratch.append_child("a").append_attribute("v").set_value(value.data(), value.size());
  std::ostringstream printed;
  scratch.document_element().print(printed, "", pugi::format_raw);
  const std::string text = printed.str();
  constexpr std::string_view kBefore = "<a v=\"", kAfter = "\"/>";
  return text.substr(kBefore.size(), text.size() - kBefore.size() - kAfter.size());
}

}  // namespace

void AppendAttribute(std::string& out, std::string_view name, std::string_view value) {
  out += ' ';
  out += name;
  out += "=\"";
  if (MayBeEscaped(value))
    out += EscapedByPugixml(value);
  else
    out += value;
  out += '"';
}

void AppendTextAttribute(std::string& out, std::string_view name, std::string_view text,
                         bool carried) {
  if (carried || IsXmlText(text)) return AppendAttribute(out, name, text);
  AppendAttribute(out, std::string(name) + form::kHexSuffix, ToHex(text));
}

}  // namespace serializedContent
