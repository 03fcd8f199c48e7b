#include "platforms/UnityGuid.h"

#include <cstdio>

namespace artargets {

namespace {

std::uint64_t Fnv1a(const std::string& text, std::uint64_t hash) {
  for (unsigned char c : text) hash = (hash ^ c) * 0x100000001b3ULL;
  return hash;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 0;
}

bool IsPlainYaml(const std::string& text) {
  if (text.empty() || text.front() == ' ' || text.back() == ' ') return false;
  for (unsigned char c : text)
    if (!(std::isalnum(c) || c == ' ' || c == '_' || c == '-' || c == '.' || c == '(' || c == ')'))
      return false;
  // Words YAML reads as something other than a string.
  for (const char* word : {"true", "false", "yes", "no", "on", "off", "null", "~"})
    if (text == word) return false;
  return !(std::isdigit(static_cast<unsigned char>(text.front())) || text.front() == '-' ||
           text.front() == '.');
}

}  // namespace

std::string StableGuid(std::initializer_list<std::string> parts) {
  std::string joined;
  for (const std::string& part : parts) joined += part + '\0';
  char hex[33];
  std::snprintf(hex, sizeof hex, "%016llx%016llx",
                static_cast<unsigned long long>(Fnv1a(joined, 0xcbf29ce484222325ULL)),
                static_cast<unsigned long long>(Fnv1a(joined, 0x84222325cbf29ce4ULL)));
  return hex;
}

std::pair<std::uint64_t, std::uint64_t> SerializedGuid(const std::string& hex) {
  unsigned char bytes[16] = {};
  for (std::size_t i = 0; i < 16 && 2 * i + 1 < hex.size(); ++i)
    bytes[i] = static_cast<unsigned char>(HexDigit(hex[2 * i]) << 4 | HexDigit(hex[2 * i + 1]));
  // .NET's byte order: the first three groups little-endian.
  const int order[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
  std::uint64_t low = 0, high = 0;
  for (int i = 7; i >= 0; --i) low = low << 8 | bytes[order[i]];
  for (int i = 15; i >= 8; --i) high = high << 8 | bytes[order[i]];
  return {low, high};
}

std::string YamlScalar(const std::string& text) {
  if (IsPlainYaml(text)) return text;
  std::string quoted = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += char(c);
    } else if (c < 0x20 || c == 0x7f) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02x", c);
      quoted += escape;
    } else {
      quoted += char(c);
    }
  }
  return quoted + "\"";
}

std::string FromYamlScalar(const std::string& scalar) {
  if (scalar.size() < 2 || scalar.front() != '"' || scalar.back() != '"') return scalar;
  std::string text;
  for (std::size_t i = 1; i + 1 < scalar.size(); ++i) {
    if (scalar[i] != '\\' || i + 2 >= scalar.size()) {
      text += scalar[i];
      continue;
    }
    const char next = scalar[++i];
    if (next == 'x' && i + 2 < scalar.size()) {
      text += char(HexDigit(scalar[i + 1]) << 4 | HexDigit(scalar[i + 2]));
      i += 2;
    } else {
      text += next;
    }
  }
  return text;
}

}  // namespace artargets
