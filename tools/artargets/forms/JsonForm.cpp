#include "forms/JsonForm.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "serializedContent/ValueText.h"
#include "support/Json.h"
#include "support/NearestWord.h"
#include "support/SafeText.h"
#include "support/UsageError.h"
#include "targets/TargetFields.h"
#include "targets/ValueText.h"

namespace artargets {

namespace {

Json Number(double value) {
  if (std::isfinite(value)) return value;
  return serializedContent::FormatDouble(value);
}

Json Vector(const Vec3& v) { return Json::array({Number(v[0]), Number(v[1]), Number(v[2])}); }

// Reading: each failure throws UsageError naming the key; the caller adds the target. A value
// of the wrong kind or out of range is wrong usage of the data, as a bad option value is.
[[noreturn]] void WrongKind(const char* key, const char* kind) {
  throw UsageError(std::string("\"") + key + "\" must be " + kind);
}

double ReadNumber(const Json& value, const char* key) {
  if (value.is_number()) return value.get<double>();
  double number = 0;
  if (value.is_string() && serializedContent::ParseDouble(value.get<std::string>(), number) &&
      !std::isfinite(number))
    return number;
  WrongKind(key, "a number, \"nan\", \"inf\" or \"-inf\"");
}

Vec3 ReadVector(const Json& value, const char* key) {
  if (!value.is_array() || value.size() != 3) WrongKind(key, "an array of three numbers");
  return {ReadNumber(value[0], key), ReadNumber(value[1], key), ReadNumber(value[2], key)};
}

std::string ReadText(const Json& value, const char* key) {
  if (!value.is_string()) WrongKind(key, "a string");
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
  if (!value.is_number_integer()) WrongKind(key, "a whole number");
  const bool fits = value.is_number_unsigned() ? value.get<unsigned long long>() <=
                                                     static_cast<unsigned long long>(range.high)
                                               : range.Holds(value.get<long long>());
  if (!fits) throw UsageError(OutOfRangeText(key, value.dump(), range));
  return value.get<long long>();
}

// The keys `object` holds, each read into its field; the others are left out.
PartialTarget ReadPartial(const Json& object, const std::string& place) {
  if (!object.is_object()) throw UsageError("not an object");
  PartialTarget partial{.place = place, .values = {}, .given = {}};
  for (const auto& item : object.items()) {
    const auto field = std::find_if(kFields.begin(), kFields.end(),
                                    [&](const Field& f) { return item.key() == f.key; });
    if (field == kFields.end())
      throw UsageError("unknown key " + Quoted(item.key()) + DidYouMean(item.key(), FieldKeys()));
    const Json& value = item.value();
    TargetRecord& r = partial.values;
    if (field->text) r.*field->text = ReadText(value, field->key);
    if (field->number) r.*field->number = ReadNumber(value, field->key);
    if (field->whole) r.*field->whole = ReadWhole(value, field->key, field->range);
    if (field->vector) r.*field->vector = ReadVector(value, field->key);
    partial.given.push_back(&*field);
  }
  return partial;
}

// A key given twice in one object: JSON allows it, but only one of the values would be kept.
struct RepeatedKey : UsageError {
  using UsageError::UsageError;
};

// Reads the targets of a JSON array one at a time, as the parser finishes each, and lets the
// parser drop them: a million targets never stand in memory as one JSON tree. What is wrong with
// a target is said only once the whole text has parsed, so that text that is not JSON is named
// so first, wherever the fault lies; a key given twice is refused where it stands.
class TargetReader {
 public:
  explicit TargetReader(std::vector<PartialTarget>& partials) : partials_(partials) {}

  // Parses `text`; throws Json::exception for text that is not JSON, and UsageError for
  // anything else that is wrong with it.
  void Parse(const std::string& text) {
    const Json top = Json::parse(text, [this](int depth, Json::parse_event_t event, Json& parsed) {
      return Take(depth, event, parsed);
    });
    if (!top.is_array()) throw UsageError("expected an array of targets");
    if (!wrong_.empty()) throw UsageError(wrong_);
  }

 private:
  using ParseEvent = Json::parse_event_t;

  // False drops what was parsed: each element of the array once it is read.
  bool Take(int depth, ParseEvent event, Json& parsed) {
    if (depth == 0 && event == ParseEvent::array_start) inArray_ = true;
    if (event == ParseEvent::object_start) keysOfOpenObjects_.emplace_back();
    if (event == ParseEvent::object_end) keysOfOpenObjects_.pop_back();
    if (event == ParseEvent::key) Key(depth, parsed.get_ref<const std::string&>());
    const bool element = depth == 1 && inArray_ &&
                         (event == ParseEvent::object_end || event == ParseEvent::array_end ||
                          event == ParseEvent::value);
    if (!element) return true;
    Read(parsed);
    return false;
  }

  void Key(int depth, const std::string& key) {
    auto& keys = keysOfOpenObjects_.back();
    if (std::find(keys.begin(), keys.end(), key) != keys.end())
      // A key's depth counts its object too: the keys of a target are at depth 2.
      throw RepeatedKey((depth == 2 && inArray_ ? Place() + ": " : "") + "the key " + Quoted(key) +
                        " is given twice");
    keys.push_back(key);
  }

  // "target 3": the element being read, counted from 1.
  std::string Place() const { return "target " + std::to_string(elements_ + 1); }

  void Read(const Json& element) {
    const std::string place = Place();
    ++elements_;
    if (!wrong_.empty()) return;
    try {
      partials_.push_back(ReadPartial(element, place));
    } catch (const UsageError& e) {
      wrong_ = place + ": " + e.what();
    }
  }

  std::vector<PartialTarget>& partials_;
  std::vector<std::vector<std::string>> keysOfOpenObjects_;
  bool inArray_ = false;
  std::size_t elements_ = 0;
  std::string wrong_;  // the first target found wrong
};

// Room for the targets `text` may hold, without moving a million of them as the list grows: at
// most one per opening brace, and no more than one in 16 bytes, so that braces in strings cannot
// make it ask for much more than the text's targets would take.
std::size_t TargetsAtMost(const std::string& text) {
  return std::min<std::size_t>(std::count(text.begin(), text.end(), '{'), text.size() / 16);
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

bool WriteJsonTargets(const std::vector<TargetRecord>& records, const TextPieces& put) {
  if (records.empty()) return put(DumpJson(Json::array()));
  // The text DumpJson gives the whole array, one target at a time: each dumped on its own and
  // set one level in, so that no JSON tree of every target stands in memory.
  PiecesStream text(put);
  text << "[\n";
  for (std::size_t i = 0; i < records.size() && text; ++i) {
    const std::string object = DumpJson(RecordJson(records[i]));  // ends with its line feed
    for (std::size_t line = 0; line < object.size();) {
      const std::size_t end = object.find('\n', line) + 1;
      text << "  " << std::string_view(object).substr(line, end - line - 1)
           << (end == object.size() ? (i + 1 < records.size() ? ",\n" : "\n") : "\n");
      line = end;
    }
  }
  text << "]\n";
  return text.Finish();
}

std::string ToJsonText(const std::vector<TargetRecord>& records) {
  std::string text;
  WriteJsonTargets(records, [&](std::string_view piece) {
    text += piece;
    return true;
  });
  return text;
}

bool FromJsonText(const std::string& text, std::vector<PartialTarget>& partials,
                  std::string& error) {
  partials.clear();
  partials.reserve(TargetsAtMost(text));
  try {
    TargetReader(partials).Parse(text);
  } catch (const Json::exception& e) {  // a syntax error, or a number beyond a double
    partials.clear();
    error = "not JSON: " + ParseErrorText(e);
    return false;
  }
  return true;
}

bool FromJsonText(const std::string& text, std::vector<TargetRecord>& records, std::string& error) {
  std::vector<PartialTarget> partials;
  if (!FromJsonText(text, partials, error)) return false;
  records = WholeTargets(partials);
  return true;
}

}  // namespace artargets
