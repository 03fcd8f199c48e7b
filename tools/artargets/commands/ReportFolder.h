// The folder `report -o DIR` writes, which holds only what the report owns: its pages and a
// marker, .artargets-report, whose first line is fixed and whose other lines list the files the
// report wrote. DIR may be absent, an empty folder or an earlier report (the marker, and nothing
// the marker does not list); anything else in it is someone else's, and the report refuses to go
// there rather than delete it. A report is built whole in a scratch folder beside DIR and then
// swapped with DIR in one step, so that a failure leaves an earlier report as it was; the
// earlier report's own files are then removed, one by one, and anything found among them that
// it did not write is kept.
#pragma once

#include <map>
#include <string>

namespace artargets {

inline constexpr const char* kReportMarker = ".artargets-report";
inline constexpr const char* kReportMarkerLine =
    "artargets report: this folder is replaced whole by the next report; it wrote these files:";

// Why no report may be written at `dir`, naming the first thing in the way and what to do; empty
// when it may.
std::string ReportFolderProblem(const std::string& dir);

// Writes `files` (a path inside the report, as "index.html", and its bytes) as the report at
// `dir`. False, with why in `error`, when it could not; `dir` is then as it was.
bool WriteReportFolder(const std::string& dir, const std::map<std::string, std::string>& files,
                       std::string& error);

}  // namespace artargets
