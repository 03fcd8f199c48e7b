#include "commandline/TargetOptions.h"

#include <CLI/CLI.hpp>
#include <algorithm>

#include "targets/ValueText.h"

namespace artargets {

void TargetOptions::AddTo(CLI::App& command, bool withName) {
  for (const Field& field : kFields) {
    if (!withName && field.text == &TargetRecord::name) continue;
    auto same = std::find_if(options_.begin(), options_.end(),
                             [&](const Option& o) { return o.name == field.option; });
    if (same == options_.end())
      same = options_.insert(options_.end(), Option{.name = field.option});
    same->fields.push_back(&field);
  }
  for (Option& option : options_) {
    std::size_t count = 0;
    std::string placeholder;
    for (const Field* field : option.fields) {
      count += field->vector ? 3 : 1;
      placeholder += (placeholder.empty() ? "" : " ") + std::string(field->placeholder);
    }
    option.declared = command.add_option(option.name, option.values, option.fields[0]->help)
                          ->expected(static_cast<int>(count))
                          ->type_name(placeholder);
  }
}

PartialTarget TargetOptions::Given() const {
  PartialTarget given;
  TargetRecord& r = given.values;
  for (const Option& option : options_) {
    if (option.declared->count() == 0 || option.taken) continue;
    auto value = option.values.end() - static_cast<std::ptrdiff_t>(option.declared->get_expected());
    for (const Field* field : option.fields) {
      given.given.push_back(field);
      if (field->text) r.*field->text = *value++;
      if (field->number) r.*field->number = ParseNumber(option.name, *value++);
      if (field->whole) r.*field->whole = ParseWhole(option.name, *value++, field->range);
      if (field->vector)
        for (double& d : r.*field->vector) d = ParseNumber(option.name, *value++);
    }
  }
  return given;
}

std::optional<long long> TargetOptions::TakeId() {
  for (Option& option : options_) {
    if (option.fields.size() != 1 || option.fields[0]->whole != &TargetRecord::id) continue;
    if (option.declared->count() == 0) return std::nullopt;
    option.taken = true;
    return ParseWhole(option.name, option.values.back(), option.fields[0]->range);
  }
  return std::nullopt;
}

}  // namespace artargets
