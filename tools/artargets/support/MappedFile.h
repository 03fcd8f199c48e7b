// A regular file's bytes mapped into memory, read-only, for as long as the object lives: a look
// through a large file without copying it into memory of the process's own first. A path that
// is no regular file, or that cannot be mapped, maps nothing, and the caller reads it otherwise.
#pragma once

#include <string>
#include <string_view>

namespace artargets {

class MappedFile {
 public:
  explicit MappedFile(const std::string& path);
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  bool IsMapped() const { return bytes_ != nullptr; }
  // The file's bytes; empty when nothing is mapped.
  std::string_view Text() const { return {static_cast<const char*>(bytes_), size_}; }

 private:
  void* bytes_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace artargets
