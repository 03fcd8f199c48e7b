#include "reports/JUnitReport.h"

#include <algorithm>
#include <pugixml.hpp>
#include <sstream>

#include "checks/FindingCodes.h"
#include "support/InputFile.h"
#include "support/SafeText.h"
#include "targets/ValueText.h"

namespace artargets {

namespace {

struct Totals {
  int tests = 0, failures = 0, skipped = 0;
};

bool Fails(const Finding& f, bool strict) {
  return f.severity == Severity::kError || (strict && f.severity == Severity::kWarning);
}

// One test case holding the findings of `place` (0: the file's own), with the line it stands on
// when known (as pytest writes it), so that a CI page can point at it.
void Case(pugi::xml_node suite, const CheckedFile& file, int place, const std::string& name,
          int lineNumber, bool strict, Totals& totals) {
  pugi::xml_node c = suite.append_child("testcase");
  c.append_attribute("classname") = SafeText(InputName(file.path)).c_str();
  c.append_attribute("name") = name.c_str();
  if (lineNumber > 0) c.append_attribute("line") = lineNumber;
  ++totals.tests;
  std::string output;
  bool failed = false;
  for (const Finding& f : file.findings) {
    if (f.place != place) continue;
    const std::string line =
        std::string(SeverityName(f.severity)) + " " + f.code + ": " + f.message;
    if (file.skipped) {
      c.append_child("skipped").append_attribute("message") = line.c_str();
      ++totals.skipped;
    } else if (Fails(f, strict)) {
      pugi::xml_node failure = c.append_child("failure");
      failure.append_attribute("message") = line.c_str();
      failure.append_attribute("type") = f.code.c_str();
      failed = true;
    } else {
      output += line + "\n";
    }
  }
  totals.failures += failed;
  if (!output.empty()) c.append_child("system-out").text() = output.c_str();
}

// The line the file's own findings point at (a conflict marker's), or 0.
int FileLine(const CheckedFile& file) {
  for (const Finding& f : file.findings)
    if (f.place == 0 && f.line > 0) return f.line;
  return 0;
}

}  // namespace

std::string JUnitReport(const std::vector<CheckedFile>& files, bool strict) {
  pugi::xml_document doc;
  pugi::xml_node all = doc.append_child("testsuites");
  all.append_attribute("name") = "artargets check";
  Totals overall;
  for (const CheckedFile& file : files) {
    pugi::xml_node suite = all.append_child("testsuite");
    suite.append_attribute("name") = SafeText(InputName(file.path)).c_str();
    Totals totals;
    const bool ownFindings = std::any_of(file.findings.begin(), file.findings.end(),
                                         [](const Finding& f) { return f.place == 0; });
    if (ownFindings) Case(suite, file, 0, "the file", FileLine(file), strict, totals);
    for (const PlacedTarget& t : file.targets)
      Case(suite, file, t.place,
           "target " + std::to_string(t.place) + (t.name.empty() ? "" : " " + Quoted(t.name)),
           t.line, strict, totals);
    suite.append_attribute("tests") = totals.tests;
    suite.append_attribute("failures") = totals.failures;
    suite.append_attribute("errors") = 0;
    suite.append_attribute("skipped") = totals.skipped;
    overall.tests += totals.tests;
    overall.failures += totals.failures;
  }
  all.append_attribute("tests") = overall.tests;
  all.append_attribute("failures") = overall.failures;
  std::ostringstream out;
  doc.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
  return out.str();
}

}  // namespace artargets
