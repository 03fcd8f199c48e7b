#include "targets/PartialTarget.h"

#include <algorithm>
#include <string_view>

#include "support/UsageError.h"

namespace artargets {

bool PartialTarget::Gives(const char* key) const {
  return std::any_of(given.begin(), given.end(),
                     [&](const Field* field) { return std::string_view(field->key) == key; });
}

void PartialTarget::ApplyTo(TargetRecord& record) const {
  for (const Field* field : given) {
    if (field->text) record.*field->text = values.*field->text;
    if (field->number) record.*field->number = values.*field->number;
    if (field->whole) record.*field->whole = values.*field->whole;
    if (field->vector) record.*field->vector = values.*field->vector;
  }
}

bool PartialTarget::Changes(const TargetRecord& record) const {
  return std::any_of(given.begin(), given.end(),
                     [&](const Field* field) { return !SameField(record, values, *field); });
}

std::vector<TargetRecord> WholeTargets(const std::vector<PartialTarget>& partials) {
  std::vector<TargetRecord> records(partials.size());
  for (std::size_t i = 0; i < partials.size(); ++i) {
    if (!partials[i].Gives("name"))
      throw UsageError(partials[i].place + ": missing key \"name\" (every target needs one)");
    partials[i].ApplyTo(records[i]);
  }
  return records;
}

}  // namespace artargets
