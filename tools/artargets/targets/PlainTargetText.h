// Whether a target file's text is laid out exactly as the plug-in writes it, holding nothing
// beyond its targets: then an edit has nothing to keep (KeptContent.h), and the file need not be
// parsed a second time to find that out. The answer comes from the lines alone, in one pass; any
// doubt (another layout, another spelling, anything the plug-in does not write) answers false,
// and the exact reading decides.
#pragma once

#include <string_view>

namespace artargets {

// True only when `text` holds nothing that an edit would have to keep.
bool HoldsOnlyTargets(std::string_view text);

// Whether the plug-in reads `value` as written for a property element `element` ("double",
// "int", "uint8", "string"); false for any element it does not write that way.
bool ReadableAsWritten(std::string_view element, std::string_view value);

}  // namespace artargets
