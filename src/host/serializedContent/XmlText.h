// Inside the host's XML form converters: a text attribute as the writer sets it.
#pragma once

#include <pugixml.hpp>
#include <string_view>

namespace serializedContent {

// Appends the attribute `name` holding `text`, or `name-hex` holding its bytes in hexadecimal
// when XML cannot carry the text (`carried` tells when the caller knows it can).
void SetText(pugi::xml_node node, const char* name, std::string_view text, bool carried = false);

}  // namespace serializedContent
