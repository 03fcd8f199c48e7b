// One target's XML element as the plug-in reads it, asked of the plug-in and the host's XML form
// reader themselves rather than told again here: the record an element gives, whether a property
// counts, and the element each property is written as.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "targets/TargetRecord.h"

namespace artargets {

// The record the plug-in reads from a target's element, given as XML text; nothing when the
// element is of another format version (the plug-in then reads it as BlankTarget()).
std::optional<TargetRecord> ReadTargetElement(const std::string& xml);

// The values of a target the plug-in makes without reading one.
const TargetRecord& BlankTarget();

// The key of the property `xml` stands for, when the reader takes it: its element is the type
// the plug-in writes that key with, and its value is readable. Nothing for any other element.
std::optional<std::string> CountedKey(const std::string& xml);

// Each key of a saved target and the element name it is written with ("artargetwidth" ->
// "double"), from the plug-in's own save of a target. Looked up by any text, without a copy.
using PropertyFormTable = std::map<std::string, std::string, std::less<>>;
const PropertyFormTable& PropertyForms();

}  // namespace artargets
