#include "reports/JUnitReport.h"

#include <functional>
#include <pugixml.hpp>
#include <sstream>

#include "checks/FindingCodes.h"
#include "reports/TargetIdentity.h"
#include "support/InputFile.h"
#include "support/SafeText.h"

namespace artargets {

namespace {

struct Totals {
  int tests = 0, failures = 0, skipped = 0;
};

bool Fails(const Finding& f, bool strict) {
  return f.severity == Severity::kError || (strict && f.severity == Severity::kWarning);
}

// One file's suite as its cases are printed: the file's name as shown is made once for all.
struct Suite {
  const CheckedFile& file;
  const std::string shown;
  const bool strict;
  std::ostringstream cases;
  Totals totals;
};

// One test case holding `findings`, with the line it stands on when known (as pytest writes
// it), so that a CI page can point at it; printed at once, two levels in.
void Case(Suite& suite, const std::vector<const Finding*>& findings, const std::string& name,
          int lineNumber) {
  const CheckedFile& file = suite.file;
  Totals& totals = suite.totals;
  pugi::xml_document doc;
  pugi::xml_node c = doc.append_child("testcase");
  c.append_attribute("classname") = suite.shown.c_str();
  c.append_attribute("name") = name.c_str();
  if (lineNumber > 0) c.append_attribute("line") = lineNumber;
  ++totals.tests;
  std::string output;
  bool failed = false;
  for (const Finding* f : findings) {
    const std::string line =
        std::string(SeverityName(f->severity)) + " " + f->code + ": " + f->message;
    if (file.skipped) {
      c.append_child("skipped").append_attribute("message") = line.c_str();
      ++totals.skipped;
    } else if (Fails(*f, suite.strict)) {
      pugi::xml_node failure = c.append_child("failure");
      failure.append_attribute("message") = line.c_str();
      failure.append_attribute("type") = f->code.c_str();
      failed = true;
    } else {
      output += line + "\n";
    }
  }
  totals.failures += failed;
  if (!output.empty()) c.append_child("system-out").text() = output.c_str();
  c.print(suite.cases, "  ", pugi::format_default, pugi::encoding_utf8, 2);
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

// The findings of each target, by its index in the file's targets, and last the file's own:
// those about the file as a whole and about targets the reader skips (which have no case).
std::vector<std::vector<const Finding*>> FindingsByTarget(const CheckedFile& file) {
  std::vector<std::vector<const Finding*>> by(file.targets.size() + 1);
  for (const Finding& f : file.findings) {
    const PlacedTarget* t = TargetAt(file.targets, f.place);
    by[t ? std::size_t(t - file.targets.data()) : file.targets.size()].push_back(&f);
  }
  return by;
}

// The line the file's own findings point at (a conflict marker's), or 0.
int FileLine(const std::vector<const Finding*>& own) {
  for (const Finding* f : own)
    if (f->line > 0) return f->line;
  return 0;
}

}  // namespace

// The cases are printed one at a time as they are made (a million targets make no tree of a
// million cases), and each suite's start tag, which carries its totals, once they are known.
std::string JUnitReport(const std::vector<CheckedFile>& files, bool strict) {
  std::ostringstream suites;
  Totals overall;
  for (const CheckedFile& file : files) {
    Suite suite{.file = file,
                .shown = SafeText(InputName(file.path)),
                .strict = strict,
                .cases = {},
                .totals = {}};
    const Totals& totals = suite.totals;
    const auto findings = FindingsByTarget(file);
    const auto& own = findings.back();
    if (!own.empty()) Case(suite, own, "the file", FileLine(own));
    const std::vector<std::string> identities = TargetIdentities(file.targets);
    for (std::size_t i = 0; i < file.targets.size(); ++i)
      Case(suite, findings[i], "target " + identities[i], file.targets[i].line);
    suites << StartTag("testsuite", 1, totals.tests == 0, [&](pugi::xml_node element) {
      element.append_attribute("name") = suite.shown.c_str();
      element.append_attribute("tests") = totals.tests;
      element.append_attribute("failures") = totals.failures;
      element.append_attribute("errors") = 0;
      element.append_attribute("skipped") = totals.skipped;
    });
    if (totals.tests > 0) suites << suite.cases.view() << "  </testsuite>\n";
    overall.tests += totals.tests;
    overall.failures += totals.failures;
  }
  std::string report = "<?xml version=\"1.0\"?>\n";
  report += StartTag("testsuites", 0, files.empty(), [&](pugi::xml_node all) {
    all.append_attribute("name") = "artargets check";
    all.append_attribute("tests") = overall.tests;
    all.append_attribute("failures") = overall.failures;
  });
  if (files.empty()) return report;
  report += suites.view();
  report += "</testsuites>\n";
  return report;
}

}  // namespace artargets
