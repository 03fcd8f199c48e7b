// A baseline: the findings a team has accepted for now, so that check reports only new ones.
// It is a file check --write-baseline writes, or an earlier check --format json output. A
// finding is matched by its code, its file and its target's identity, the target's name and id
// (never its place, which an inserted target changes); a file's own findings by code and file.
// Each finding of the baseline answers for one finding: what is found more often than the
// baseline holds is reported, the later ones.
//
// Files are compared as absolute, normalised paths. A written baseline holds them relative to
// its own folder, so that it can be committed and read from anywhere; check's JSON holds them
// as check was given them, which are taken from the current folder, as check took them.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "checks/FileCheck.h"

namespace artargets {

class Baseline {
 public:
  // Reads the baseline at `path`; throws UsageError when it is neither form.
  static Baseline Read(const std::string& path);
  // The baseline of `files`' findings, as --write-baseline writes it to `path`.
  static std::string Write(const std::vector<CheckedFile>& files, const std::string& path);

  // Removes the findings of `file` that the baseline holds; gives how many it removed.
  std::size_t Filter(CheckedFile& file);

 private:
  // code, normalised file, target name, target id ("" for a file's own findings)
  using Key = std::tuple<std::string, std::string, std::string, std::string>;

  std::map<Key, int> left_;  // how many findings of each key the baseline still answers for
};

// The absolute, normalised form of `path` (taken from `folder` when relative).
std::string NormalPath(const std::string& path, const std::string& folder = "");

}  // namespace artargets
