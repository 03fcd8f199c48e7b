// The options through which `add` and `set` give a target's fields (--name for `set`, --image,
// --size W H, --type, --id, --center X Y Z, --normal X Y Z, --xdir X Y Z, --ydir X Y Z,
// --shape, --rotation). Numbers are read exactly, "nan", "inf" and "-inf" included.
#pragma once

#include <CLI/CLI.hpp>
#include <stdexcept>
#include <string>
#include <vector>

#include "TargetRecord.h"
#include "UsageError.h"

namespace artargets {

class TargetOptions {
 public:
  // Declares the options on `command`; --name only when `withName`.
  void AddTo(CLI::App& command, bool withName);
  // Stores every option that was given into `record`; throws UsageError for a bad value.
  void ApplyTo(TargetRecord& record) const;

 private:
  std::string name_, image_, shape_, type_, id_, rotation_;
  std::vector<std::string> size_, center_, normal_, xdir_, ydir_;
  CLI::Option *nameOption_ = nullptr, *imageOption_ = nullptr, *shapeOption_ = nullptr;
  CLI::Option *typeOption_ = nullptr, *idOption_ = nullptr, *rotationOption_ = nullptr;
  CLI::Option *sizeOption_ = nullptr, *centerOption_ = nullptr, *normalOption_ = nullptr;
  CLI::Option *xdirOption_ = nullptr, *ydirOption_ = nullptr;
};

}  // namespace artargets
