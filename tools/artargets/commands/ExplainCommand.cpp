#include "commands/ExplainCommand.h"

#include <iostream>
#include <vector>

#include "checks/FindingCodes.h"
#include "support/NearestWord.h"
#include "support/SafeText.h"

namespace artargets {

namespace {

constexpr int kUnknownCode = 2;  // wrong usage, as for an unknown command

// "ART201  error    two type-1 targets share one id", a line per code.
std::string CodeList() {
  std::string list;
  for (const FindingCode& c : FindingCodes()) {
    std::string severity(SeverityName(c.severity));
    severity.resize(9, ' ');
    list += std::string(c.code) + "  " + severity + std::string(c.title) + "\n";
  }
  return list;
}

void Section(const char* heading, std::string_view text) {
  std::cout << "\n" << heading << "\n  " << text << "\n";
}

}  // namespace

int Explain(const std::string& code) {
  if (code.empty()) {
    std::cout << CodeList();
    return 0;
  }
  const FindingCode* row = FindCode(code);
  if (!row) {
    std::vector<std::string> codes;
    for (const FindingCode& c : FindingCodes()) codes.emplace_back(c.code);
    std::cerr << "artargets: explain: unknown code \"" << SafeText(code) << "\""
              << DidYouMean(code, codes) << "; the codes are:\n"
              << CodeList();
    return kUnknownCode;
  }
  std::cout << row->code << " (" << SeverityName(row->severity) << "): " << row->title << "\n";
  Section("Why it matters:", row->why);
  Section("How to fix it:", row->fix);
  Section("Example:", row->example);
  return 0;
}

}  // namespace artargets
