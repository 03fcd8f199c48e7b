// A checked file's findings by the target they concern, for the outputs that show each target
// with its own (a JUnit case, a row of the report's page): each target's, by its index in the
// file's targets, and the file's own, which are those about the file as a whole and about
// targets the reader skips (they have a place but no entry, so nowhere else to be shown).
// Each group keeps the findings' order. One array sorted by group, not a list per target: a
// million targets with a finding each make no million small allocations.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "checks/FileCheck.h"

namespace artargets {

class FindingsByTarget {
 public:
  using Group = std::span<const Finding* const>;

  explicit FindingsByTarget(const CheckedFile& file);
  // The findings of file.targets[index].
  Group Of(std::size_t index) const;
  Group Own() const;

 private:
  std::vector<const Finding*> sorted_;
  std::vector<std::size_t> start_;  // where each group begins in sorted_ (the file's own last),
                                    // and the end
};

}  // namespace artargets
