// What the commands share: their one-line messages, loading and saving with a message on
// failure, and writing a text file durably.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "support/TextPieces.h"
#include "targets/TargetFiles.h"
#include "targets/TargetRecord.h"

namespace artargets {

// Prints "artargets: MESSAGE", escaped, on standard error; gives 1.
int Fail(const std::string& message);
// "cannot load PATH: WHY" ("standard input" for "-"); gives 1.
int CannotLoad(const std::string& path, const std::string& why);
// Loads `path`; on failure says why and gives false. With `kept`, also what the file holds
// beyond its targets (see LoadTargetFile).
bool Load(const std::string& path, std::vector<TargetRecord>& records,
          LetGoOfTargets letGo = LetGoOfTargets::kInBackground, KeptFrame* kept = nullptr);
// Saves `records` to `path`, with what `kept` and the records keep put back where it stood; gives
// 0, or says why it could not and gives 1.
int Save(const std::string& path, const std::vector<TargetRecord>& records,
         const KeptFrame* kept = nullptr);
// Writes `text` to `path` through the host's file writer, so that a failed write leaves a
// previous file as it was; false with the reason in `error`. "-" writes to standard output.
bool WriteText(const std::string& path, std::string_view text, std::string& error);
// The same for a text `write` makes a piece at a time, handing each to the function it is given,
// which refuses a piece (gives false) once the file cannot take it. Nothing is put in place
// unless `write` gives true.
bool WriteTextInPieces(const std::string& path, const PiecesWriter& write, std::string& error);

}  // namespace artargets
