// The tool's commands. Wherever one reads a target file or JSON, "-" names standard input;
// wherever it writes one (-o), "-" names standard output. Each returns the exit status: 0 success,
// 1 the operation failed (a file that does not load or cannot be written, a name that matches
// nothing). Diff answers as diff(1) does: 0 the same, 1 different, 2 a file could not be read.
// Results go to stdout; errors to stderr, each starting with "artargets: ".
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "TargetOptions.h"
#include "Units.h"

namespace artargets {

inline constexpr int kDiffTrouble = 2;

// `everything`: every field on each line (list --long), so that any change shows.
int List(const std::string& path, bool json, bool everything);
int Add(const std::string& path, const std::string& name, const TargetOptions& options);
// Which targets `set` and `remove` change: those of a name; or the type-1 targets of an id, as
// a host finds targets by id; or the one at a place (from 1) of `list`'s order.
struct Selector {
  std::string name;
  std::optional<long long> id;
  std::optional<std::size_t> index;
};
int Set(const std::string& path, const Selector& selector, const TargetOptions& options, bool all);
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
  std::string from;  // an AR platform whose library IN is (Platforms.h); empty: JSON or CSV
  LengthUnit unit{};  // of the target file's lengths, with `from`
};
int Import(const std::string& in, const std::string& path, const ImportOptions& options);
enum class DiffForm { kText, kJson, kStat };
int Diff(const std::string& before, const std::string& after, DiffForm form);
int Demo();
// Rewrites each file in canonical form (CanonicalOrder.h) where its bytes differ; with `check`
// changes nothing and exits 1 naming each file that is not canonical. "-" reads a target file
// on standard input and writes its canonical text on standard output. A file that does not
// load exits 2.
int Format(const std::vector<std::string>& paths, bool check);
// The three-way merge of ThreeWay.h, written canonical to `out` (OURS when empty). 0 without
// conflicts; 1 with conflicts (listed on standard error, and with `json` as JSON on standard
// output), `out` then holding our side of each; 2 when a file does not load. A missing or
// empty BASE means both sides added the file.
// `shown`: the path git merges (its %P), which messages name instead of git's temporary files.
// -o - with `json` is wrong usage: both would go to standard output.
int Merge(const std::string& base, const std::string& ours, const std::string& theirs,
          const std::string& out, bool json, const std::string& shown = "");
// Has git use fmt as the clean filter, `list --long` as the diff text and merge as the merge
// driver of target files: in the current repository, or with `global` for the user. Marks
// `patterns` as target files in ./.gitattributes.
int GitSetup(bool global, const std::vector<std::string>& patterns);

}  // namespace artargets
