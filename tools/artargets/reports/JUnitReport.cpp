#include "reports/JUnitReport.h"

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

// One test case holding `findings`, with the line it stands on when known (as pytest writes
// it), so that a CI page can point at it.
void Case(pugi::xml_node suite, const CheckedFile& file,
          const std::vector<const Finding*>& findings, const std::string& name, int lineNumber,
          bool strict, Totals& totals) {
  pugi::xml_node c = suite.append_child("testcase");
  c.append_attribute("classname") = SafeText(InputName(file.path)).c_str();
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
    } else if (Fails(*f, strict)) {
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

std::string JUnitReport(const std::vector<CheckedFile>& files, bool strict) {
  pugi::xml_document doc;
  pugi::xml_node all = doc.append_child("testsuites");
  all.append_attribute("name") = "artargets check";
  Totals overall;
  for (const CheckedFile& file : files) {
    pugi::xml_node suite = all.append_child("testsuite");
    suite.append_attribute("name") = SafeText(InputName(file.path)).c_str();
    Totals totals;
    const auto findings = FindingsByTarget(file);
    const auto& own = findings.back();
    if (!own.empty()) Case(suite, file, own, "the file", FileLine(own), strict, totals);
    const std::vector<std::string> identities = TargetIdentities(file.targets);
    for (std::size_t i = 0; i < file.targets.size(); ++i)
      Case(suite, file, findings[i], "target " + identities[i], file.targets[i].line, strict,
           totals);
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
