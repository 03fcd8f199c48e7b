// A folder the tool writes whole and owns (report -o DIR, export --to PLATFORM -o DIR), which
// holds only what the tool wrote there: its files and a marker (.artargets-report,
// .artargets-export) whose first line is fixed and whose other lines list the files it wrote.
// DIR may be absent, an empty folder or an earlier one of the same kind (the marker, and
// nothing the marker does not list); anything else in it is someone else's, and the tool refuses
// to go there rather than delete it. The folder is built whole in a scratch folder beside DIR
// and then swapped with DIR in one step, so that a failure leaves an earlier one as it was; the
// earlier one's own files are then removed, one by one, and anything found among them that it
// did not write is kept.
#pragma once

#include <map>
#include <string>

#include "support/TextPieces.h"

namespace artargets {

// Which kind of folder: what messages call it, its marker's name and first line.
struct FolderOwner {
  const char* what;
  const char* marker;
  const char* markerLine;
};
inline constexpr FolderOwner kReportFolder{
    "report", ".artargets-report",
    "artargets report: this folder is replaced whole by the next report; it wrote these files:"};
inline constexpr FolderOwner kExportFolder{
    "export", ".artargets-export",
    "artargets export: this folder is replaced whole by the next export; it wrote these files:"};

// Why no folder of that kind may be written at `dir`, naming the first thing in the way and what
// to do; empty when it may.
std::string OwnedFolderProblem(const std::string& dir, const FolderOwner& owner);

// Writes `files` (a path inside the folder, as "index.html", and what writes its bytes a piece
// at a time) as the folder at `dir`. False, with why in `error`, when it could not; `dir` is then
// as it was.
bool WriteOwnedFolder(const std::string& dir, const FolderOwner& owner,
                      const std::map<std::string, PiecesWriter>& files, std::string& error);
// The same for files whose bytes stand whole.
bool WriteOwnedFolder(const std::string& dir, const FolderOwner& owner,
                      const std::map<std::string, std::string>& files, std::string& error);

}  // namespace artargets
