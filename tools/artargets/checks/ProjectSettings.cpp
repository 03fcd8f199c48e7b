#include "checks/ProjectSettings.h"

#include <algorithm>

#include "checks/FindingCodes.h"

namespace artargets {

std::string CodeProblem(std::string_view code) {
  if (code == "ART101")
    return "ART101 stays on as an error: a file that does not load is never checked";
  if (FindCode(code)) return {};
  // Near it: the codes of its hundred (ART3xx), or every code when it names no known hundred.
  const auto hundred = [&](std::string_view c) {
    return c.substr(0, std::min<std::size_t>(4, c.size()));
  };
  std::string near, all;
  for (const FindingCode& c : FindingCodes()) {
    all += (all.empty() ? "" : ", ") + std::string(c.code);
    if (code.size() >= 4 && hundred(c.code) == hundred(code))
      near += (near.empty() ? "" : ", ") + std::string(c.code);
  }
  return "no such code: \"" + std::string(code) +
         "\" (known codes: " + (near.empty() ? all : near) + ")";
}

void ApplyCodes(const std::map<std::string, std::optional<Severity>>& codes,
                std::vector<Finding>& findings) {
  if (codes.empty()) return;
  std::erase_if(findings, [&](Finding& f) {
    const auto set = codes.find(f.code);
    if (set == codes.end()) return false;
    if (!set->second) return true;
    f.severity = *set->second;
    return false;
  });
}

}  // namespace artargets
