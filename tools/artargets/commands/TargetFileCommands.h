// The commands that read and edit a target file's targets: list, add, set, remove, export and
// import. Wherever one reads a target file or JSON, "-" names standard input; wherever it writes
// one (-o), "-" names standard output. Each returns the exit status: 0 success, 1 the operation
// failed (a file that does not load or cannot be written, a name that matches nothing).
// Results go to stdout; errors to stderr, each starting with "artargets: ".
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "targets/PartialTarget.h"
#include "targets/Units.h"

namespace artargets {

// How `list` prints: a line per target, every field on each line (--long, so that any change
// shows), one JSON array (--json), or the names alone, one a line (--names, for completion).
enum class ListForm { kLines, kLong, kJson, kNames };
int List(const std::string& path, ListForm form);
// The fields `add` and `set` store, read from the command line (throwing UsageError for a bad
// value) only once the file has loaded and the targets are picked: a missing file or target is
// named before a bad value.
using GivenFields = std::function<PartialTarget()>;
// `name` first, then the fields given.
int Add(const std::string& path, const std::string& name, const GivenFields& given);
// Which targets `set` and `remove` change: those of a name; or the type-1 targets of an id, as
// a host finds targets by id; or the one at a place (from 1) of `list`'s order.
struct Selector {
  std::string name;
  std::optional<long long> id;
  std::optional<std::size_t> index;
};
int Set(const std::string& path, const Selector& selector, const GivenFields& given, bool all);
int Remove(const std::string& path, const Selector& selector, bool all);
int Export(const std::string& path, const std::string& out);
// Writes the target file `path` from the JSON array (CSV with `csv`) in `in`; a missing key
// takes add's default. With `update`, changes the existing file instead (BulkEdit.h), each
// element naming its target by name, or with `byId` by the id of type-1 targets.
// Without `update`, an existing file's targets that the import does not hold by name are kept
// from loss: the import is refused unless `replace` asks for it.
struct ImportOptions {
  bool update = false;
  bool replace = false;
  bool byId = false;
  bool csv = false;
  std::string from;   // an AR platform whose library IN is (Platforms.h); empty: JSON or CSV
  LengthUnit unit{};  // of the target file's lengths, with `from`
};
int Import(const std::string& in, const std::string& path, const ImportOptions& options);

}  // namespace artargets
