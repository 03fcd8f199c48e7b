// Inside the host's XML form converters: attributes as the writer prints them, in the bytes
// pugixml prints for the same attribute (dg::WriteXmlCloseTags).
#pragma once

#include <string>
#include <string_view>

namespace serializedContent {

// Appends ` name="value"`, the value escaped as pugixml escapes it.
void AppendAttribute(std::string& out, std::string_view name, std::string_view value);

// Appends the attribute `name` holding `text`, or `name-hex` holding its bytes in hexadecimal
// when XML cannot carry the text (`carried` tells when the caller knows it can).
void AppendTextAttribute(std::string& out, std::string_view name, std::string_view text,
                         bool carried = false);

}  // namespace serializedContent
