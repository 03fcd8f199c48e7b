// The report's page: one self-contained HTML document (styles, script and images inside it, no
// network) with, per target file, its three views (Render.h) and a table of its targets,
// sortable by score, each with its image as a thumbnail, the features that counted drawn on it
// and the coverage grid shaded, its score, what lowered it and its findings with their codes.
// The file's own findings, and those of targets the reader skips (which have no row), stand
// above the views (FindingsByTarget.h). Every name, path and message from a file is HTML-escaped.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "checks/FileCheck.h"
#include "reports/Thumbnail.h"
#include "support/TextPieces.h"

namespace artargets {

struct ReportedFile {
  CheckedFile checked;
  std::string svg;                                   // its three views
  std::vector<std::optional<Thumbnail>> thumbnails;  // as checked.images
  // With report --platform: each platform's name, and for each target (as checked.targets) the
  // codes of the platform's findings on it, none when it passes.
  std::vector<std::string> platforms;
  std::vector<std::vector<std::vector<std::string>>> platformCodes;  // [platform][target]
};

// The page, handed to `put` a piece at a time (a million targets make some 290 MB of it); false
// when `put` refused a piece.
bool WriteHtmlReport(const std::vector<ReportedFile>& files, const std::string& unit,
                     const TextPieces& put);
// `text` with &, <, >, " and ' as character references.
std::string HtmlEscaped(const std::string& text);

}  // namespace artargets
