// Git's conflict markers in a target file. A merge that git could not settle leaves "<<<<<<< ",
// "=======" and ">>>>>>> " lines in the file, which then is no XML at all; the parser's own
// complaint ("not well-formed XML ... Could not determine tag type") says nothing of why, so a
// file that does not load is searched for them and the message says what happened and what to
// do, on the line of the first marker.
#pragma once

#include <string>
#include <string_view>

namespace artargets {

// The line (from 1) of the first conflict marker in `text`, a line that starts "<<<<<<<",
// "|||||||", "=======" or ">>>>>>>" followed by a space or the line's end; 0 when there is none.
int ConflictMarkerLine(std::string_view text);

// The same for the input `path` names (a file, "-", a pipe); 0 when it cannot be read.
int ConflictMarkerLineOf(const std::string& path);

// Why a file whose first marker is on `line` does not load, as the end of a sentence, with what
// to do about it (`path` is the file as the user named it).
std::string ConflictProblem(const std::string& path, int line);

}  // namespace artargets
