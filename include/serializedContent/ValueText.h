// How the XML form of serialized content writes each value as text, and reads it back.
// Every value survives a write and a read bit for bit:
// - doubles and floats in the shortest form that reads back exactly ("0.1", "-0", "1e+308",
//   "5e-324"), "inf" and "-inf", "nan" and "-nan" for the default NaN, and "nan(0xHEX)" (sign
//   first when set) for a NaN with any other payload, HEX being the payload bits;
// - integers in decimal, booleans as "true" and "false";
// - text as itself when XML can carry it, otherwise (control characters, invalid UTF-8) as
//   hexadecimal bytes in an attribute of its own (see XmlWriter).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "ArHostExport.h"

namespace serializedContent {

ARHOST_API std::string FormatDouble(double value);
ARHOST_API std::string FormatFloat(float value);
// The same text written into `buffer`, for writers that make no string per number; gives its
// length. Every double, float and whole number's text fits.
inline constexpr std::size_t kNumberTextSize = 48;
ARHOST_API std::size_t FormatDouble(double value, char (&buffer)[kNumberTextSize]);
ARHOST_API std::size_t FormatFloat(float value, char (&buffer)[kNumberTextSize]);
ARHOST_API bool ParseDouble(std::string_view text, double& value);
ARHOST_API bool ParseFloat(std::string_view text, float& value);
ARHOST_API bool ParseInt(std::string_view text, int& value);
ARHOST_API bool ParseUInt8(std::string_view text, unsigned char& value);
ARHOST_API bool ParseBool(std::string_view text, bool& value);

// True when `text` is valid UTF-8 made only of characters XML 1.0 can carry.
ARHOST_API bool IsXmlText(std::string_view text);
ARHOST_API std::string ToHex(std::string_view bytes);
ARHOST_API bool FromHex(std::string_view hex, std::string& bytes);

}  // namespace serializedContent
