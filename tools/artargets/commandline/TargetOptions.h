// The options through which `add` and `set` give a target's fields, one per option of the field
// table (TargetFields.h): --name (for `set`), --image, --size W H, --type, --id,
// --center X Y Z, --normal X Y Z, --xdir X Y Z, --ydir X Y Z, --shape, --rotation. Numbers are
// read exactly, "nan", "inf" and "-inf" included.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "support/UsageError.h"
#include "targets/PartialTarget.h"
#include "targets/TargetFields.h"

// Declared only: the argument parser's header costs every file that includes it seconds to
// compile, and the commands that share these parsers of numbers never touch the parser.
namespace CLI {
class App;
class Option;
}  // namespace CLI

namespace artargets {

class TargetOptions {
 public:
  // Declares the options on `command`; --name only when `withName`.
  void AddTo(CLI::App& command, bool withName);
  // The fields of every option that was given, read; throws UsageError for a bad value.
  PartialTarget Given() const;
  // The value of --id, when it was given, which ApplyTo then leaves out: `set` without a name
  // selects the target by it. Throws UsageError for a bad value.
  std::optional<long long> TakeId();

 private:
  struct Option {
    std::string name;
    std::vector<const Field*> fields{};  // the fields it gives, in the order of its values
    std::vector<std::string> values{};
    CLI::Option* declared = nullptr;
    bool taken = false;
  };
  std::deque<Option> options_;  // a deque: the parser keeps pointers to `values`
};

}  // namespace artargets
