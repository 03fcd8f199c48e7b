#include "targets/ConflictMarkers.h"

#include "support/InputFile.h"

namespace artargets {

namespace {

// Whether the line that starts at `at` is a marker: seven of one character, then a space or the
// line's end (a Windows line ends "\r\n").
bool IsMarker(std::string_view text, std::size_t at) {
  static constexpr std::string_view kMarkers[] = {"<<<<<<<", "|||||||", "=======", ">>>>>>>"};
  for (const std::string_view marker : kMarkers) {
    if (text.substr(at, marker.size()) != marker) continue;
    const std::size_t after = at + marker.size();
    if (after == text.size() || text[after] == ' ' || text[after] == '\n' || text[after] == '\r')
      return true;
  }
  return false;
}

}  // namespace

int ConflictMarkerLine(std::string_view text) {
  int line = 1;
  for (std::size_t at = 0; at < text.size(); ++line) {
    if (IsMarker(text, at)) return line;
    const std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) break;
    at = end + 1;
  }
  return 0;
}

int ConflictMarkerLineOf(const std::string& path) {
  std::string text, why;
  return ReadInput(path, text, why) ? ConflictMarkerLine(text) : 0;
}

std::string ConflictProblem(const std::string& path, int line) {
  const std::string name = IsStandardStream(path) ? "the file" : path;
  return "it holds git conflict markers (the first at line " + std::to_string(line) +
         "): a merge left it unfinished. Resolve the conflict and remove the markers, or take "
         "one side whole with 'git checkout --ours " +
         name + "' or 'git checkout --theirs " + name +
         "', or have git merge target files with artargets (artargets git-setup)";
}

}  // namespace artargets
