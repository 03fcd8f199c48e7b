// A large JSON document written a piece at a time, exactly as Json::dump(2) writes it whole, so
// that an output of a million findings never stands in memory as one tree beside its text.
// Each piece is made safe as SafeJson makes a whole document.
#pragma once

#include <cstddef>
#include <ostream>

#include "support/Json.h"

namespace artargets {

// `value` as it stands `depth` levels deep in a document: its lines after the first indented.
void WriteJson(std::ostream& out, const Json& value, int depth);
// The start of an object's member at `depth`: the separator from the member before (none for
// the first), a new line, the indent and the key.
void WriteJsonKey(std::ostream& out, const char* key, int depth, bool first = false);

}  // namespace artargets
