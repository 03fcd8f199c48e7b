// The one rule for text from outside (file names, option text, JSON keys, messages of the
// libraries the tool uses) on its way to a terminal: nothing in it may move the cursor, change
// colours or talk to the terminal. C0 controls (NUL among them), DEL and C1 controls become
// "\u00XX" escapes, bytes that are not UTF-8 become U+FFFD, and everything else stays as it
// is. Text that is safe already comes out unchanged, so a piece may go through twice.
#pragma once

#include <string>
#include <string_view>

namespace artargets {

enum class Newlines { kEscaped, kKept };

// `newlines` kKept leaves line feeds alone: for the tool's own multi-line text (pretty-printed
// JSON) around pieces from outside that are escaped already.
std::string SafeText(std::string_view text, Newlines newlines = Newlines::kEscaped);
// JSON as the JSON library dumps it, which escapes C0 controls and replaces bytes that are not
// UTF-8 but leaves DEL and C1 controls raw: with those escaped too.
std::string SafeJson(std::string dumped);

}  // namespace artargets
