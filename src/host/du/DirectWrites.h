// du::DirectWrites: writes the long middle of a large write past the page cache (O_DIRECT).
// A saved file is synced before it is put in place, so its bytes must reach the disk anyway;
// copying them into the page cache first costs the kernel a fresh page for every 4 KiB and
// pushes other files' pages out. On a virtual machine whose host takes freed memory back, that
// copy took 5 s of a 13 s save of 770 MB; a direct write of the same bytes takes a fraction.
//
// The device wants whole aligned blocks from aligned memory, so the bytes go through one block
// of 4 MiB aligned to 4 KiB, and only whole 4 KiB blocks at an aligned file offset are written
// this way; the caller writes the rest (the start up to the first aligned offset, the last part
// block) the ordinary way. A file system that refuses direct writes (the descriptor cannot be
// put in direct mode, or a direct write gives EINVAL) is remembered, and every later byte goes
// the ordinary way. The descriptor is back in ordinary mode whenever Write returns true.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>

namespace du {

class DirectWrites {
 public:
  static constexpr std::size_t kAlignment = 4096;
  static constexpr std::size_t kBlock = std::size_t{4} << 20;
  // Writes shorter than this are not worth a bypass of the page cache.
  static constexpr std::size_t kSmallest = std::size_t{16} << 20;

  DirectWrites();

  // Writes the whole 4 KiB blocks at the start of `bytes` to `fd`, whose offset must be a
  // multiple of kAlignment, and adds their number of bytes to `written` as they go. False, with
  // errno set, when the disk refuses them or the descriptor cannot leave direct mode; true when
  // they were written, or when the file system takes no direct writes (then fewer, maybe none,
  // were written).
  bool Write(int fd, const char* bytes, std::size_t length, std::size_t& written);

  bool Usable() const { return usable_; }

 private:
  bool SetDirect(int fd, bool on);
  bool WriteBlock(int fd, std::size_t length, std::size_t& written);

  struct FreeBlock {
    void operator()(char* block) const { std::free(block); }
  };
  std::unique_ptr<char, FreeBlock> block_;
  bool usable_;
};

}  // namespace du
