// Unity's guids as the exports make and write them: 32 hexadecimal digits made from stable
// inputs, and the two 64-bit numbers AR Foundation serializes a guid as. Also Unity's YAML
// scalars, quoted where YAML needs it.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>

namespace artargets {

// 32 lower-case hexadecimal digits that depend only on `parts` (and their order).
std::string StableGuid(std::initializer_list<std::string> parts);

// The guid read as .NET reads it (System.Guid from its 32 digits; ToByteArray reverses the
// first group of 4 bytes and the next two groups of 2), its 16 bytes as two little-endian
// numbers: the first 8 bytes low, the last 8 high.
std::pair<std::uint64_t, std::uint64_t> SerializedGuid(const std::string& hex);

// `text` as a YAML scalar: plain when YAML reads it back as the same string, otherwise
// double-quoted with escapes; and back.
std::string YamlScalar(const std::string& text);
std::string FromYamlScalar(const std::string& scalar);

}  // namespace artargets
