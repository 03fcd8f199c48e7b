#include "du/DirectWrites.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace du {

DirectWrites::DirectWrites()
    : block_(static_cast<char*>(std::aligned_alloc(kAlignment, kBlock))),
      usable_(block_ != nullptr) {}  // without the block the bytes go the ordinary way

bool DirectWrites::Write(int fd, const char* bytes, std::size_t length, std::size_t& written) {
  const std::size_t whole = length / kAlignment * kAlignment;
  if (!usable_ || whole == 0 || !SetDirect(fd, true)) return true;
  bool ok = true;
  for (std::size_t done = 0; ok && usable_ && done < whole;) {
    const std::size_t size = std::min(kBlock, whole - done);
    std::memcpy(block_.get(), bytes + done, size);
    std::size_t put = 0;
    ok = WriteBlock(fd, size, put);
    done += put;
    written += put;
    if (put < size) break;
  }
  // Ordinary writes in direct mode would all be refused: a descriptor that stays in it fails.
  const int error = errno;
  if (!SetDirect(fd, false)) return false;
  errno = error;
  return ok;
}

bool DirectWrites::SetDirect(int fd, bool on) {
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0 && ::fcntl(fd, F_SETFL, on ? flags | O_DIRECT : flags & ~O_DIRECT) == 0)
    return true;
  if (on) usable_ = false;
  return false;
}

bool DirectWrites::WriteBlock(int fd, std::size_t length, std::size_t& put) {
  while (put < length) {
    const ssize_t n = ::write(fd, block_.get() + put, length - put);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EINVAL) {
      usable_ = false;  // this file system takes no direct writes
      return true;
    }
    if (n < 0) return false;
    put += static_cast<std::size_t>(n);
    // A part block (or nothing) written: the rest goes the ordinary way, which says why.
    if (n == 0 || put % kAlignment != 0) return true;
  }
  return true;
}

}  // namespace du
