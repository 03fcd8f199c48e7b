#include "TargetOptions.h"

#include <charconv>

#include "ValueText.h"
#include "serializedContent/ValueText.h"

namespace artargets {

namespace {

double ParseNumber(const std::string& option, const std::string& text) {
  double value = 0;
  if (!serializedContent::ParseDouble(text, value))
    throw UsageError(option + ": " + Quoted(text) + " is not a number");
  return value;
}

long long ParseWhole(const std::string& option, const std::string& text, WholeRange range) {
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  const bool whole = !text.empty() && end == text.data() + text.size() &&
                     (error == std::errc() || error == std::errc::result_out_of_range);
  if (!whole) throw UsageError(option + ": " + Quoted(text) + " is not a whole number");
  if (error != std::errc() || !range.Holds(value))
    throw UsageError(OutOfRangeText(option, text, range));
  return value;
}

Vec3 ParseVec(const std::string& option, const std::vector<std::string>& texts) {
  return {ParseNumber(option, texts.at(0)), ParseNumber(option, texts.at(1)),
          ParseNumber(option, texts.at(2))};
}

bool Given(const CLI::Option* option) { return option && option->count() > 0; }

}  // namespace

void TargetOptions::AddTo(CLI::App& command, bool withName) {
  if (withName) nameOption_ = command.add_option("--name", name_, "the target's name");
  imageOption_ = command.add_option("--image", image_, "the image it shows");
  sizeOption_ = command.add_option("--size", size_, "width and height")->expected(2);
  typeOption_ = command.add_option("--type", type_, "its type (1: found by its id)");
  idOption_ = command.add_option("--id", id_, "its numeric id");
  centerOption_ = command.add_option("--center", center_, "its centre X Y Z")->expected(3);
  normalOption_ = command.add_option("--normal", normal_, "its normal X Y Z")->expected(3);
  xdirOption_ = command.add_option("--xdir", xdir_, "its x direction X Y Z")->expected(3);
  ydirOption_ = command.add_option("--ydir", ydir_, "its y direction X Y Z")->expected(3);
  shapeOption_ = command.add_option("--shape", shape_, "the id path of its shape");
  rotationOption_ = command.add_option("--rotation", rotation_, "its rotation");
}

void TargetOptions::ApplyTo(TargetRecord& r) const {
  if (Given(nameOption_)) r.name = name_;
  if (Given(imageOption_)) r.image = image_;
  if (Given(sizeOption_)) {
    r.width = ParseNumber("--size", size_.at(0));
    r.height = ParseNumber("--size", size_.at(1));
  }
  if (Given(typeOption_))
    r.type = static_cast<std::uint32_t>(ParseWhole("--type", type_, kTypeRange));
  if (Given(idOption_)) r.id = static_cast<int>(ParseWhole("--id", id_, kIdRange));
  if (Given(centerOption_)) r.center = ParseVec("--center", center_);
  if (Given(normalOption_)) r.normal = ParseVec("--normal", normal_);
  if (Given(xdirOption_)) r.xdir = ParseVec("--xdir", xdir_);
  if (Given(ydirOption_)) r.ydir = ParseVec("--ydir", ydir_);
  if (Given(shapeOption_)) r.shape = shape_;
  if (Given(rotationOption_)) r.rotation = ParseNumber("--rotation", rotation_);
}

}  // namespace artargets
