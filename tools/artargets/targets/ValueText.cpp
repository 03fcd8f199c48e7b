#include "targets/ValueText.h"

#include <algorithm>
#include <charconv>
#include <nlohmann/json.hpp>

#include "serializedContent/ValueText.h"
#include "support/SafeText.h"
#include "support/UsageError.h"

namespace artargets {

void AppendQuoted(std::string& out, const std::string& text) {
  // Printable ASCII other than the quote and the backslash comes out as it is: the usual name
  // or path is quoted without building a JSON value, and everything else goes to the library.
  const bool plain = std::all_of(text.begin(), text.end(), [](char c) {
    return c >= ' ' && c <= '~' && c != '"' && c != '\\';
  });
  if (plain) {
    out += '"';
    out += text;
    out += '"';
  } else {
    out += SafeJson(
        nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
  }
}

std::string Quoted(const std::string& text) {
  std::string quoted;
  AppendQuoted(quoted, text);
  return quoted;
}

std::string Escaped(const std::string& text) {
  const std::string quoted = Quoted(text);
  return quoted.substr(1, quoted.size() - 2);
}

std::string NumberText(double value) { return serializedContent::FormatDouble(value); }

void AppendNumber(std::string& out, double value) {
  char buffer[serializedContent::kNumberTextSize];
  out.append(buffer, serializedContent::FormatDouble(value, buffer));
}

void AppendVector(std::string& out, const Vec3& v) {
  out += '[';
  for (std::size_t i = 0; i < v.size(); ++i) {
    if (i > 0) out += ", ";
    AppendNumber(out, v[i]);
  }
  out += ']';
}

std::string VectorText(const Vec3& v) {
  std::string text;
  AppendVector(text, v);
  return text;
}

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

}  // namespace artargets
