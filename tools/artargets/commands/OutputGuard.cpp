#include "commands/OutputGuard.h"

#include <sys/stat.h>

#include <fstream>

#include "checks/FileCheck.h"
#include "commands/CommandSupport.h"
#include "support/InputFile.h"
#include "support/UsageError.h"

namespace artargets {

namespace {

const char* WhatIsWritten(Output kind) {
  switch (kind) {
    case Output::kTargetFile:
      return "a target file";
    case Output::kJson:
      return "JSON";
    case Output::kSvg:
      return "SVG";
    case Output::kReport:
      return "a report";
  }
  return "";
}

// What the file at `path` holds when it is not what `kind` writes (JSON starts with "[" or "{",
// SVG holds "<svg" near its start; an empty file is anything), or null when it is: an earlier
// export or picture is replaced, a note or a page is not.
const char* OtherKind(const std::string& path, Output kind) {
  std::ifstream in(path, std::ios::binary);
  std::string head(4096, '\0');
  in.read(head.data(), std::streamsize(head.size()));
  head.resize(std::size_t(in.gcount()));
  const std::size_t first = head.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return nullptr;
  if (kind == Output::kJson && head[first] != '[' && head[first] != '{') return "not JSON";
  if (kind == Output::kSvg && head.find("<svg") == std::string::npos) return "not SVG";
  return nullptr;
}

// The input among `inputs` that is the file `out` (status `there`), or null.
const std::string* SameFile(const struct stat& there, const std::vector<std::string>& inputs) {
  for (const std::string& input : inputs) {
    struct stat status {};
    if (IsStandardStream(input) || ::stat(input.c_str(), &status) != 0) continue;
    if (status.st_dev == there.st_dev && status.st_ino == there.st_ino) return &input;
  }
  return nullptr;
}

// A report goes into a folder (ReportFolder.h says which it takes); here only what is no folder.
bool ReportAllowed(const std::string& out, bool exists, const struct stat& there) {
  if (IsStandardStream(out))
    throw UsageError(
        "report writes a folder (index.html and what it lists): -o - names none; "
        "give -o a new or empty folder, or an earlier report's");
  if (!exists || S_ISDIR(there.st_mode)) return true;
  Fail("will not write a report to " + out + ": it is " +
       (LooksLikeTargetFile(out) ? "a target file" : "a file") +
       ", not a folder, and it is left as it is (give -o a new or empty folder, or an earlier "
       "report's)");
  return false;
}

}  // namespace

bool OutputAllowed(const std::string& out, Output kind, const std::vector<std::string>& inputs) {
  struct stat there {};
  const bool exists = !IsStandardStream(out) && ::stat(out.c_str(), &there) == 0;
  if (kind == Output::kReport) return ReportAllowed(out, exists, there);
  if (!exists) return true;
  const std::string writing = std::string("will not write ") + WhatIsWritten(kind) + " to " + out;
  if (const std::string* input = SameFile(there, inputs)) {
    Fail(writing + ": it is " + (*input == out ? "" : *input + ", ") +
         "a file the command reads, and it is left as it is (give -o another file, or - for "
         "standard output)");
    return false;
  }
  if (!S_ISREG(there.st_mode)) {
    Fail(writing + ": it is " + FileKind(there.st_mode) +
         ", and it is left as it is (give -o a file's path, or - for standard output)");
    return false;
  }
  if (kind == Output::kTargetFile) return true;  // ReplaceableTargetFile, under the lock
  const char* other = LooksLikeTargetFile(out) ? "a target file" : OtherKind(out, kind);
  if (!other) return true;
  Fail(writing + ": it is " + other + ", and it is left as it is (give -o another file, or " +
       "remove " + out + " first to replace it)");
  return false;
}

bool ReplaceableTargetFile(const std::string& out, std::vector<TargetRecord>* existing) {
  bool missing = false;
  std::string why = InputProblem(out, &missing);
  if (missing) return true;
  std::vector<TargetRecord> records;
  if (why.empty() &&
      LoadTargetFile(out, existing ? *existing : records, why, LetGoOfTargets::kAtOnce))
    return true;
  Fail(out + " is not a target file the plug-in loads (" + why +
       "); it is left as it is (remove it first to replace it)");
  return false;
}

}  // namespace artargets
