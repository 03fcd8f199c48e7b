// Whether a target file's text is laid out exactly as the plug-in writes it, holding nothing
// beyond its targets: then an edit has nothing to keep (KeptContent.h), and the file need not be
// parsed a second time to find that out. The answer comes from the lines alone, in one pass; any
// doubt (another layout, another spelling, anything the plug-in does not write) answers false,
// and the exact reading decides. A file in that layout can also be read into records in the same
// pass, without the plug-in, by a command that reads several files (merge reads three).
#pragma once

#include <functional>
#include <future>
#include <string_view>
#include <vector>

#include "targets/TargetRecord.h"

namespace artargets {

// True only when `text` holds nothing that an edit would have to keep.
bool HoldsOnlyTargets(std::string_view text);

// The records the plug-in would load from `text`, read straight from it, in the file's order,
// when `text` holds only targets (as above) and each target has all its properties, with no
// escaped character or control character in a text value. False, with `records` empty, for
// any other text: the plug-in must read that one.
bool ReadPlainTargets(std::string_view text, std::vector<TargetRecord>& records);

// The lines (from 1) of the targets' elements of a text that holds only targets (as above), in
// one pass; empty for any other text, whose lines a parse must find.
std::vector<int> PlainTargetLines(std::string_view text);

// Runs `read`, which reads target text with the functions above, on a thread of its own: a
// large file is read there while the host's thread loads another (or the same) file. The table
// of property forms these readings consult is made first, on the calling thread: it comes from
// a target the plug-in writes, which is the host's thread's to do.
std::future<bool> ReadAside(std::function<bool()> read);

// Whether the plug-in reads `value` as written for a property element `element` ("double",
// "int", "uint8", "string"); false for any element it does not write that way.
bool ReadableAsWritten(std::string_view element, std::string_view value);

}  // namespace artargets
