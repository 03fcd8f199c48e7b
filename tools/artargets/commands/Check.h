// What `check` says about a target file that loads: what the plug-in accepts silently but its
// author probably did not mean, one finding per line, each naming the target (its place in the
// file and its name).
#pragma once

#include <string>
#include <vector>

namespace orl {
class SerializedContentElement;
}

namespace artargets {

// A target as the file gives it: its place in the file (from 1), name, image and size.
struct PlacedTarget {
  int place = 0;
  std::string name, image;
  double width = 0, height = 0;
};

struct Examination {
  std::vector<std::string> findings;
  std::vector<PlacedTarget> targets;  // the ones the reader fills, in file order
};

// Reads the file at `path` the way the plug-in's reader does and examines what it gives.
Examination Examine(const std::string& path);
// Examines a tree the host's XML form reader filled from a file's "targets", with the
// problems it met.
Examination ExamineTree(const orl::SerializedContentElement& top,
                        const std::vector<std::string>& problems);

}  // namespace artargets
