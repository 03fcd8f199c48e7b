#include "reports/JUnitReport.h"

#include <functional>
#include <pugixml.hpp>
#include <sstream>

#include "checks/FindingCodes.h"
#include "checks/FindingsByTarget.h"
#include "reports/TargetIdentity.h"
#include "support/InputFile.h"
#include "support/SafeText.h"

namespace artargets {

namespace {

struct Totals {
  int tests = 0, failures = 0, skipped = 0;
  Totals& operator+=(const Totals& more) {
    tests += more.tests;
    failures += more.failures;
    skipped += more.skipped;
    return *this;
  }
};

bool Fails(const Finding& f, bool strict) {
  return f.severity == Severity::kError || (strict && f.severity == Severity::kWarning);
}

using CaseFindings = FindingsByTarget::Group;

// What one case adds to its suite's totals.
Totals CaseTotals(CaseFindings findings, bool skipped, bool strict) {
  Totals totals{.tests = 1};
  if (skipped) {
    totals.skipped = int(findings.size());
  } else {
    for (const Finding* f : findings) totals.failures |= Fails(*f, strict);
  }
  return totals;
}

// One file's suite: the file's name as shown is made once for all its cases. (No const members:
// a suite is moved into the report's list, findings and all, not copied.)
struct Suite {
  const CheckedFile& file;
  std::string shown;
  FindingsByTarget findings;
  bool strict;
  Totals totals;
};

Suite SuiteOf(const CheckedFile& file, bool strict) {
  Suite suite{.file = file,
              .shown = SafeText(InputName(file.path)),
              .findings = FindingsByTarget(file),
              .strict = strict,
              .totals = {}};
  const FindingsByTarget& findings = suite.findings;
  if (!findings.Own().empty()) suite.totals += CaseTotals(findings.Own(), file.skipped, strict);
  for (std::size_t i = 0; i < file.targets.size(); ++i)
    suite.totals += CaseTotals(findings.Of(i), file.skipped, strict);
  return suite;
}

// One test case holding `findings`, with the line it stands on when known (as pytest writes
// it), so that a CI page can point at it; printed at once, two levels in.
void WriteCase(std::ostream& out, const Suite& suite, CaseFindings findings,
               const std::string& name, int lineNumber) {
  pugi::xml_document doc;
  pugi::xml_node c = doc.append_child("testcase");
  c.append_attribute("classname") = suite.shown.c_str();
  c.append_attribute("name") = name.c_str();
  if (lineNumber > 0) c.append_attribute("line") = lineNumber;
  std::string output;
  for (const Finding* f : findings) {
    const std::string line =
        std::string(SeverityName(f->severity)) + " " + f->code + ": " + f->message;
    if (suite.file.skipped) {
      c.append_child("skipped").append_attribute("message") = line.c_str();
    } else if (Fails(*f, suite.strict)) {
      pugi::xml_node failure = c.append_child("failure");
      failure.append_attribute("message") = line.c_str();
      failure.append_attribute("type") = f->code.c_str();
    } else {
      output += line + "\n";
    }
  }
  if (!output.empty()) c.append_child("system-out").text() = output.c_str();
  c.print(out, "  ", pugi::format_default, pugi::encoding_utf8, 2);
}

// An element's start tag as pugixml prints it, `depth` levels in: `fill` gives its attributes.
// With `empty`, the element as it stands when it has no children.
std::string StartTag(const char* name, int depth, bool empty,
                     const std::function<void(pugi::xml_node)>& fill) {
  pugi::xml_document doc;
  pugi::xml_node element = doc.append_child(name);
  fill(element);
  std::ostringstream printed;
  element.print(printed, "  ", pugi::format_default, pugi::encoding_utf8, unsigned(depth));
  std::string tag = printed.str();
  if (!empty) tag.replace(tag.rfind(" />"), 3, ">");
  return tag;
}

// The line the file's own findings point at (a conflict marker's), or 0.
int FileLine(CaseFindings own) {
  for (const Finding* f : own)
    if (f->line > 0) return f->line;
  return 0;
}

void WriteSuite(std::ostream& out, const Suite& suite) {
  const Totals& totals = suite.totals;
  out << StartTag("testsuite", 1, totals.tests == 0, [&](pugi::xml_node element) {
    element.append_attribute("name") = suite.shown.c_str();
    element.append_attribute("tests") = totals.tests;
    element.append_attribute("failures") = totals.failures;
    element.append_attribute("errors") = 0;
    element.append_attribute("skipped") = totals.skipped;
  });
  if (totals.tests == 0) return;
  const CheckedFile& file = suite.file;
  const CaseFindings own = suite.findings.Own();
  if (!own.empty()) WriteCase(out, suite, own, "the file", FileLine(own));
  const std::vector<std::string> identities = TargetIdentities(file.targets);
  for (std::size_t i = 0; i < file.targets.size(); ++i)
    WriteCase(out, suite, suite.findings.Of(i), "target " + identities[i], file.targets[i].line);
  out << "  </testsuite>\n";
}

}  // namespace

// Each suite's start tag carries its totals, so they are counted first (from the findings alone)
// and the cases then printed one at a time as they are made: a million targets make neither a
// tree of a million cases nor their text.
void WriteJUnitReport(std::ostream& out, const std::vector<CheckedFile>& files, bool strict) {
  std::vector<Suite> suites;
  suites.reserve(files.size());
  Totals overall;
  for (const CheckedFile& file : files) {
    suites.push_back(SuiteOf(file, strict));
    overall += suites.back().totals;
  }
  out << "<?xml version=\"1.0\"?>\n";
  out << StartTag("testsuites", 0, files.empty(), [&](pugi::xml_node all) {
    all.append_attribute("name") = "artargets check";
    all.append_attribute("tests") = overall.tests;
    all.append_attribute("failures") = overall.failures;
  });
  if (files.empty()) return;
  for (const Suite& suite : suites) WriteSuite(out, suite);
  out << "</testsuites>\n";
}

std::string JUnitReport(const std::vector<CheckedFile>& files, bool strict) {
  std::ostringstream out;
  WriteJUnitReport(out, files, strict);
  return std::move(out).str();
}

}  // namespace artargets
