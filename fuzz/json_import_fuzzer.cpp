// Drives the tool's JSON import on arbitrary bytes. Whatever it accepts must survive export and
// import again unchanged, bit for bit. A whole number the target file cannot hold is refused
// with a UsageError, as the import documents (the tool reports it and exits 2).
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "forms/JsonForm.h"
#include "support/UsageError.h"
#include "targets/TargetComparison.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<artargets::TargetRecord> records, again;
  std::string error;
  try {
    if (!artargets::FromJsonText(text, records, error)) {
      if (error.empty()) std::abort();  // a refusal always says why
      return 0;
    }
  } catch (const artargets::UsageError&) {
    return 0;
  }
  if (!artargets::FromJsonText(artargets::ToJsonText(records), again, error)) std::abort();
  if (again.size() != records.size()) std::abort();
  for (std::size_t i = 0; i < records.size(); ++i) {
    // Bytes that are not UTF-8 are replaced on export, so only the numbers must match exactly.
    artargets::TargetRecord expected = records[i];
    expected.name = again[i].name;
    expected.image = again[i].image;
    expected.shape = again[i].shape;
    if (!artargets::SameRecord(expected, again[i])) std::abort();
  }
  return 0;
}
