#include "support/SafeText.h"

#include <algorithm>
#include <cstdint>

namespace artargets {

namespace {

void AppendEscape(std::string& out, std::uint32_t code) {
  constexpr char kHex[] = "0123456789abcdef";
  out += "\\u00";
  out += kHex[code >> 4];
  out += kHex[code & 15];
}

bool IsControl(std::uint32_t code) { return code < 0x20 || (code >= 0x7f && code < 0xa0); }

// The length of the well-formed UTF-8 sequence at the start of `text` and its code point, or
// 0 when the bytes there are not one (overlong forms and surrogates included).
std::size_t Decode(std::string_view text, std::uint32_t& code) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  if (lead < 0x80)
    length = 1, code = lead;
  else if (lead >= 0xc2 && lead < 0xe0)
    length = 2, code = lead & 0x1f;
  else if (lead >= 0xe0 && lead < 0xf0)
    length = 3, code = lead & 0x0f;
  else if (lead >= 0xf0 && lead < 0xf5)
    length = 4, code = lead & 0x07;
  if (length == 0 || length > text.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xc0) != 0x80) return 0;
    code = code << 6 | (byte(i) & 0x3f);
  }
  const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
  const bool surrogate = code >= 0xd800 && code < 0xe000;
  return overlong || surrogate || code > 0x10ffff ? 0 : length;
}

}  // namespace

std::string SafeText(std::string_view text, Newlines newlines) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    std::uint32_t code = 0;
    const std::size_t length = Decode(text.substr(at), code);
    if (length == 0) {
      out += "\xef\xbf\xbd";  // U+FFFD for one byte that is not UTF-8
      ++at;
      continue;
    }
    if (IsControl(code) && !(code == '\n' && newlines == Newlines::kKept))
      AppendEscape(out, code);
    else
      out.append(text.substr(at, length));
    at += length;
  }
  return out;
}

std::string SafeJson(std::string dumped) {
  // C1 controls are U+0080 to U+009F, two bytes that start with 0xc2.
  // One pass over the bytes: find_first_of would look each one up in the set with a call.
  const bool plain =
      std::none_of(dumped.begin(), dumped.end(), [](char c) { return c == '\x7f' || c == '\xc2'; });
  if (plain) return dumped;
  return SafeText(dumped, Newlines::kKept);
}

}  // namespace artargets
