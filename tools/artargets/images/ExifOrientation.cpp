#include "images/ExifOrientation.h"

#include <cstdint>

namespace artargets {

namespace {

// Reads from `bytes` without ever going past its end: a missing byte reads as 0.
struct Reader {
  std::string_view bytes;
  bool bigEndian = true;
  unsigned Byte(std::size_t at) const { return at < bytes.size() ? std::uint8_t(bytes[at]) : 0u; }
  unsigned U16(std::size_t at) const {
    return bigEndian ? Byte(at) << 8 | Byte(at + 1) : Byte(at + 1) << 8 | Byte(at);
  }
  std::uint32_t U32(std::size_t at) const {
    return bigEndian ? std::uint32_t(U16(at)) << 16 | U16(at + 2)
                     : std::uint32_t(U16(at + 2)) << 16 | U16(at);
  }
};

// The orientation in TIFF data (what Exif is): the first directory's tag 0x0112.
int FromTiff(std::string_view tiff) {
  Reader r{tiff};
  if (tiff.starts_with("II*"))
    r.bigEndian = false;
  else if (!tiff.starts_with("MM\0*"))
    return 1;
  const std::uint32_t directory = r.U32(4);
  if (directory >= tiff.size()) return 1;
  const unsigned entries = r.U16(directory);
  for (unsigned e = 0; e < entries; ++e) {
    const std::size_t entry = directory + 2 + std::size_t(e) * 12;
    if (entry + 12 > tiff.size()) break;
    if (r.U16(entry) != 0x0112) continue;
    const unsigned value = r.U16(entry + 8);  // a SHORT sits at the start of the value field
    return value >= 1 && value <= 8 ? int(value) : 1;
  }
  return 1;
}

// A JPEG's segments up to the image data: the first APP1 that starts "Exif\0\0".
int FromJpeg(std::string_view bytes) {
  Reader r{bytes};
  for (std::size_t i = 2; i + 4 <= bytes.size();) {
    if (r.Byte(i) != 0xff) return 1;
    const unsigned marker = r.Byte(i + 1);
    if (marker == 0xff) {  // fill byte
      ++i;
      continue;
    }
    if (marker == 0xda || marker == 0xd9) return 1;  // the image data starts: no tag before it
    const std::size_t length = r.U16(i + 2);
    if (length < 2) return 1;
    const std::string_view body = bytes.substr(i + 4, length - 2);
    if (marker == 0xe1 && body.starts_with(std::string_view("Exif\0\0", 6)))
      return FromTiff(body.substr(6));
    i += 2 + length;
  }
  return 1;
}

// A PNG's chunks: the eXIf chunk holds TIFF data as it is.
int FromPng(std::string_view bytes) {
  Reader r{bytes};
  for (std::size_t i = 8; i + 8 <= bytes.size();) {
    const std::size_t length = r.U32(i);
    const std::string_view type = bytes.substr(i + 4, 4);
    if (type == "IEND" || length > bytes.size()) return 1;
    if (type == "eXIf") return FromTiff(bytes.substr(i + 8, length));
    i += 12 + length;
  }
  return 1;
}

}  // namespace

int ExifOrientation(std::string_view bytes) {
  if (bytes.starts_with("\xff\xd8")) return FromJpeg(bytes);
  if (bytes.starts_with("\x89PNG\r\n\x1a\n")) return FromPng(bytes);
  return 1;
}

}  // namespace artargets
