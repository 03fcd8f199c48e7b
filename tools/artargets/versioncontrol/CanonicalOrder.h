// The canonical form of the target files the tool writes: targets ordered by name (bytewise),
// then id, then type, then by the rest of their text, property by property in the order the
// file gives them. Two files that hold the same targets in any order are then the same text,
// byte for byte, so that version control sees only what changed. The plug-in writes targets in
// the order it keeps them; the tool, as the host, has the host's XML form writer put them in
// this order (serializedContent::XmlWriter::SetContentOrder).
#pragma once

#include <string>

namespace orl {
class SerializedContentElement;
}

namespace artargets {

// The sort key of a saved target: its name, id and type, encoded so that bytewise order of
// keys is the order above. Empty for any other content.
std::string CanonicalKey(const orl::SerializedContentElement& content);

// From now on every target file this process writes is in canonical form.
void WriteCanonicalFiles();

}  // namespace artargets
