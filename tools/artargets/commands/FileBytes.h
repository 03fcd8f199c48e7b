// Reading a whole file as bytes, for the files the tool reads itself (JSON to import, images
// to rate); target files go through the plug-in instead (TargetFiles.h).
#pragma once

#include <fstream>
#include <iterator>
#include <string>

namespace artargets {

// False when the file cannot be opened or read; `bytes` is then unspecified.
inline bool ReadFileBytes(const std::string& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), {});
  return !in.bad();
}

}  // namespace artargets
