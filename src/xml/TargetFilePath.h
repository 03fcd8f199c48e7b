// Where the reader looks for an annotation set's target file: the entry's own file name when it
// has one; otherwise the table's directory, a "/" unless the directory already ends in "/" or
// a backslash, the entry's name with its last "<!" and last "!>" removed (only when both occur),
// and ".xml" appended to a path longer than four characters that does not end in ".xml".
#pragma once

#include "du/Symbol.h"

namespace ar {

du::Symbol TargetFilePath(const du::Symbol& directory, const du::Symbol& entryName,
                          const du::Symbol& entryFileName);

}  // namespace ar
