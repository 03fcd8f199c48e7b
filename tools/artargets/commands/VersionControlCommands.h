// The commands that fit target files into version control: diff, fmt, merge and git-setup.
// Diff answers as diff(1) does: 0 the same, 1 different, 2 a file could not be read. Results go
// to stdout; errors to stderr, each starting with "artargets: ".
#pragma once

#include <string>
#include <vector>

namespace artargets {

inline constexpr int kDiffTrouble = 2;

enum class DiffForm { kText, kJson, kStat };
int Diff(const std::string& before, const std::string& after, DiffForm form);
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
