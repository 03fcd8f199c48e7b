// The files the scaling benchmark hands the tool, written once per size into a folder of their
// own: `count` targets in the canonical form the tool writes (so that `fmt` and the edits
// start from what the tool itself would have saved), variants of them for `diff` and `merge`,
// the JSON and CSV that `import` reads, and 5 small images that every target shares.
#pragma once

#include <string>

namespace arbench {

struct ScalingInputs {
  int count = 0;
  std::string dir;
  std::string targets;     // the canonical file every command reads
  std::string reversed;    // the same targets, last first: work for `fmt`
  std::string oneChange;   // one target's width changed
  std::string allChanged;  // every target's width changed
  std::string ours;        // the even targets' widths changed
  std::string theirs;      // the odd targets' heights changed
  std::string newJson;     // every target, as `export` writes them
  std::string newCsv;
  std::string updateJson;  // a new width for every target, by name
  std::string updateCsv;
  std::string emptyFolder;  // a --root where no image is found
  std::string middleName;   // the name of the target in the middle
};

// Writes the inputs for `count` targets under `parent` the first time, unless an earlier run
// wrote them there whole, and gives their paths.
const ScalingInputs& InputsFor(int count, const std::string& parent);

}  // namespace arbench
