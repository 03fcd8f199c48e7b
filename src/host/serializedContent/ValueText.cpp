#include "serializedContent/ValueText.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace serializedContent {

namespace {

// Shared by double and float: Bits is the unsigned integer of the same width.
template <class Real, class Bits>
std::size_t FormatReal(Real value, char (&buffer)[kNumberTextSize]) {
  char* const end = buffer + kNumberTextSize;
  if (!std::isnan(value)) return std::to_chars(buffer, end, value).ptr - buffer;
  const Bits bits = std::bit_cast<Bits>(value);
  const Bits sign = Bits{1} << (sizeof(Bits) * 8 - 1);
  const Bits quiet = std::bit_cast<Bits>(std::numeric_limits<Real>::quiet_NaN());
  const std::string_view name = (bits & sign) ? "-nan" : "nan";
  char* at = std::copy(name.begin(), name.end(), buffer);
  if ((bits & ~sign) == quiet) return at - buffer;
  at = std::copy_n("(0x", 3, at);
  at = std::to_chars(at, end, bits & ~sign, 16).ptr;
  *at++ = ')';
  return at - buffer;
}

template <class Real, class Bits>
std::string FormatReal(Real value) {
  char buffer[kNumberTextSize];
  return std::string(buffer, FormatReal<Real, Bits>(value, buffer));
}

template <class Real, class Bits>
bool ParseReal(std::string_view text, Real& value) {
  const bool negative = !text.empty() && text.front() == '-';
  const std::string_view unsigned_text = negative ? text.substr(1) : text;
  if (unsigned_text.starts_with("nan(0x") && unsigned_text.ends_with(")")) {
    const std::string_view hex = unsigned_text.substr(6, unsigned_text.size() - 7);
    Bits bits = 0;
    auto [end, error] = std::from_chars(hex.data(), hex.data() + hex.size(), bits, 16);
    if (hex.empty() || error != std::errc() || end != hex.data() + hex.size()) return false;
    if (negative) bits |= Bits{1} << (sizeof(Bits) * 8 - 1);
    const Real parsed = std::bit_cast<Real>(bits);
    if (!std::isnan(parsed)) return false;  // the payload must name a NaN
    value = parsed;
    return true;
  }
  Real parsed{};
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return false;
  value = parsed;
  return true;
}

template <class Int>
bool ParseWhole(std::string_view text, Int& value) {
  Int parsed{};
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return false;
  value = parsed;
  return true;
}

bool IsXmlChar(std::uint32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
         (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

}  // namespace

std::string FormatDouble(double value) { return FormatReal<double, std::uint64_t>(value); }
std::string FormatFloat(float value) { return FormatReal<float, std::uint32_t>(value); }
std::size_t FormatDouble(double value, char (&buffer)[kNumberTextSize]) {
  return FormatReal<double, std::uint64_t>(value, buffer);
}
std::size_t FormatFloat(float value, char (&buffer)[kNumberTextSize]) {
  return FormatReal<float, std::uint32_t>(value, buffer);
}
bool ParseDouble(std::string_view text, double& value) {
  return ParseReal<double, std::uint64_t>(text, value);
}
bool ParseFloat(std::string_view text, float& value) {
  return ParseReal<float, std::uint32_t>(text, value);
}
bool ParseInt(std::string_view text, int& value) { return ParseWhole(text, value); }
bool ParseUInt8(std::string_view text, unsigned char& value) { return ParseWhole(text, value); }

bool ParseBool(std::string_view text, bool& value) {
  if (text == "true" || text == "false") {
    value = text == "true";
    return true;
  }
  return false;
}

bool IsXmlText(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const int length = lead < 0x80           ? 1
                       : (lead >> 5) == 0x6  ? 2
                       : (lead >> 4) == 0xE  ? 3
                       : (lead >> 3) == 0x1E ? 4
                                             : 0;
    if (length == 0 || i + length > text.size()) return false;
    std::uint32_t c = length == 1 ? lead : lead & (0xFF >> (length + 1));
    for (int k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      c = (c << 6) | (next & 0x3F);
    }
    // Refuse overlong forms and surrogates, which are not UTF-8.
    static const std::uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kSmallest[length] || (c >= 0xD800 && c <= 0xDFFF) || !IsXmlChar(c)) return false;
    i += length;
  }
  return true;
}

std::string ToHex(std::string_view bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(bytes.size() * 2);
  for (char b : bytes) {
    hex += kDigits[static_cast<unsigned char>(b) >> 4];
    hex += kDigits[static_cast<unsigned char>(b) & 0xF];
  }
  return hex;
}

bool FromHex(std::string_view hex, std::string& bytes) {
  if (hex.size() % 2 != 0) return false;
  std::string out;
  out.reserve(hex.size() / 2);
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    unsigned value = 0;
    auto [end, error] = std::from_chars(hex.data() + i, hex.data() + i + 2, value, 16);
    if (error != std::errc() || end != hex.data() + i + 2) return false;
    out += static_cast<char>(value);
  }
  bytes = std::move(out);
  return true;
}

}  // namespace serializedContent
