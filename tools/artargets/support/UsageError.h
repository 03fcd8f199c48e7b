// artargets::UsageError: what a person gave the tool is not what it takes (an unknown option, a
// value that is not a number, a number the target file cannot hold). The tool says why in one
// line and exits 2, writing nothing.
#pragma once

#include <stdexcept>

namespace artargets {

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace artargets
