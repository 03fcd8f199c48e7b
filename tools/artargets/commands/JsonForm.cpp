#include "JsonForm.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>
#include <stdexcept>

#include "SafeText.h"
#include "TargetFields.h"
#include "UsageError.h"
#include "ValueText.h"
#include "serializedContent/ValueText.h"

namespace artargets {

namespace {

using Json = nlohmann::ordered_json;

Json Number(double value) {
  if (std::isfinite(value)) return value;
  return serializedContent::FormatDouble(value);
}

Json Vector(const Vec3& v) { return Json::array({Number(v[0]), Number(v[1]), Number(v[2])}); }

// Reading: each failure throws std::runtime_error naming the key; FromJsonText adds the target.
double ReadNumber(const Json& value, const char* key) {
  if (value.is_number()) return value.get<double>();
  double number = 0;
  if (value.is_string() && serializedContent::ParseDouble(value.get<std::string>(), number) &&
      !std::isfinite(number))
    return number;
  throw std::runtime_error(std::string("\"") + key +
                           "\" must be a number, \"nan\", \"inf\" or \"-inf\"");
}

Vec3 ReadVector(const Json& value, const char* key) {
  if (!value.is_array() || value.size() != 3)
    throw std::runtime_error(std::string("\"") + key + "\" must be an array of three numbers");
  return {ReadNumber(value[0], key), ReadNumber(value[1], key), ReadNumber(value[2], key)};
}

std::string ReadText(const Json& value, const char* key) {
  if (!value.is_string()) throw std::runtime_error(std::string("\"") + key + "\" must be a string");
  return value.get<std::string>();
}

// True for a number written without a fraction that is too large for a 64-bit integer, which
// the JSON library reads as a floating-point number: it is whole, but no target can hold it.
bool IsHugeWhole(const Json& value) {
  if (!value.is_number_float()) return false;
  const double number = value.get<double>();
  return std::isfinite(number) && std::trunc(number) == number && std::fabs(number) >= 0x1p63;
}

long long ReadWhole(const Json& value, const char* key, WholeRange range) {
  if (IsHugeWhole(value)) throw UsageError(OutOfRangeText(key, value.dump(), range));
  if (!value.is_number_integer())
    throw std::runtime_error(std::string("\"") + key + "\" must be a whole number");
  const bool fits = value.is_number_unsigned() ? value.get<unsigned long long>() <=
                                                     static_cast<unsigned long long>(range.high)
                                               : range.Holds(value.get<long long>());
  if (!fits) throw UsageError(OutOfRangeText(key, value.dump(), range));
  return value.get<long long>();
}

TargetRecord ReadRecord(const Json& object) {
  if (!object.is_object()) throw std::runtime_error("not an object");
  for (const auto& item : object.items()) {
    const bool known = std::any_of(kFields.begin(), kFields.end(),
                                   [&](const Field& f) { return item.key() == f.key; });
    if (!known) throw std::runtime_error("unknown key " + Quoted(item.key()));
  }
  TargetRecord r;
  for (const Field& field : kFields) {
    if (!object.contains(field.key))
      throw std::runtime_error(std::string("missing key \"") + field.key + "\"");
    const Json& value = object[field.key];
    if (field.text) r.*field.text = ReadText(value, field.key);
    if (field.number) r.*field.number = ReadNumber(value, field.key);
    if (field.whole) r.*field.whole = ReadWhole(value, field.key, field.range);
    if (field.vector) r.*field.vector = ReadVector(value, field.key);
  }
  return r;
}

// A key given twice in one object: JSON allows it, but only one of the values would be kept.
struct RepeatedKey : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Parses `text`, refusing a key that repeats within an object; throws Json::exception for
// text that is not JSON and RepeatedKey.
Json ParseWithoutRepeats(const std::string& text) {
  std::vector<std::vector<std::string>> keysOfOpenObjects;
  std::size_t targets = 0;
  return Json::parse(text, [&](int depth, Json::parse_event_t event, Json& parsed) {
    if (event == Json::parse_event_t::object_start) {
      keysOfOpenObjects.emplace_back();
      if (depth == 1) ++targets;
    } else if (event == Json::parse_event_t::object_end) {
      keysOfOpenObjects.pop_back();
    } else if (event == Json::parse_event_t::key) {
      auto& keys = keysOfOpenObjects.back();
      const std::string& key = parsed.get_ref<const std::string&>();
      if (std::find(keys.begin(), keys.end(), key) != keys.end())
        // A key's depth counts its object too: the keys of a target are at depth 2.
        throw RepeatedKey((depth == 2 ? "target " + std::to_string(targets) + ": " : "") +
                          "the key " + Quoted(key) + " is given twice");
      keys.push_back(key);
    }
    return true;
  });
}

// The JSON library's message without its "[json.exception.parse_error.101] " prefix.
std::string ParseErrorText(const Json::exception& e) {
  const std::string what = e.what();
  const std::size_t end = what.rfind("] ", what.find(' '));
  return end == std::string::npos ? what : what.substr(end + 2);
}

}  // namespace

nlohmann::ordered_json FieldJson(const TargetRecord& r, const Field& field) {
  if (field.text) return r.*field.text;
  if (field.number) return Number(r.*field.number);
  if (field.whole) return r.*field.whole;
  return Vector(r.*field.vector);
}

nlohmann::ordered_json RecordJson(const TargetRecord& r) {
  Json object = Json::object();
  for (const Field& field : kFields) object[field.key] = FieldJson(r, field);
  return object;
}

std::string DumpJson(const nlohmann::ordered_json& value) {
  // JSON carries Unicode only: bytes that are not UTF-8 become U+FFFD.
  return SafeJson(value.dump(2, ' ', false, Json::error_handler_t::replace)) + "\n";
}

std::string ToJsonText(const std::vector<TargetRecord>& records) {
  Json array = Json::array();
  for (const auto& r : records) array.push_back(RecordJson(r));
  return DumpJson(array);
}

bool FromJsonText(const std::string& text, std::vector<TargetRecord>& records, std::string& error) {
  Json array;
  try {
    array = ParseWithoutRepeats(text);
  } catch (const Json::exception& e) {  // a syntax error, or a number beyond a double
    error = "not JSON: " + ParseErrorText(e);
    return false;
  } catch (const RepeatedKey& e) {
    error = e.what();
    return false;
  }
  if (!array.is_array()) {
    error = "expected an array of targets";
    return false;
  }
  records.clear();
  for (std::size_t i = 0; i < array.size(); ++i) {
    try {
      records.push_back(ReadRecord(array[i]));
    } catch (const UsageError& e) {
      throw UsageError("target " + std::to_string(i + 1) + ": " + e.what());
    } catch (const std::exception& e) {
      error = "target " + std::to_string(i + 1) + ": " + e.what();
      return false;
    }
  }
  return true;
}

}  // namespace artargets
