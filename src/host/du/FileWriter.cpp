#include "du/FileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

namespace du {

namespace {

std::string DirectoryOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

SmartPtr<FileWriter> FileWriter::Construct() {
  return SmartPtr<FileWriter>(new (std::nothrow) FileWriter());
}

FileWriter::~FileWriter() { Discard(); }

bool FileWriter::Fail(const std::string& what) {
  lastError_ = what + ": " + std::strerror(errno);
  failed_ = true;
  return false;
}

bool FileWriter::Open(const std::string& path, int mode, unsigned bufferSize,
                      bool replaceExisting) {
  if (IsOpen()) {
    lastError_ = "the writer is already open on " + path_;
    return false;
  }
  struct stat existing {};
  const bool exists = ::stat(path.c_str(), &existing) == 0;
  if (exists && !replaceExisting) {
    lastError_ = path + " already exists";
    return false;
  }
  // A hidden temporary name in the target's own folder, so the final rename stays on one
  // file system and is atomic.
  std::string temp = DirectoryOf(path) + "/." + BaseNameOf(path) + ".tmpXXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return Fail("cannot create a temporary file in " + DirectoryOf(path));

  const mode_t bits = mode != 0 ? static_cast<mode_t>(mode)
                      : exists  ? (existing.st_mode & 07777)
                                : NewFileMode();
  ::fchmod(fd, bits);
  fd_ = fd;
  failed_ = false;
  path_ = path;
  tempPath_ = temp;
  bufferLimit_ = bufferSize;
  buffer_.clear();
  buffer_.reserve(bufferSize);
  lastError_.clear();
  return true;
}

bool FileWriter::Write1ByteArray(const void* bytes, std::uint32_t length) {
  if (!IsOpen() || failed_) {
    if (!IsOpen()) lastError_ = "the writer is not open";
    return false;
  }
  const char* begin = static_cast<const char*>(bytes);
  if (length >= bufferLimit_) {
    // Too large to gather: write what is gathered, then this, without copying it.
    return Flush() && WriteAll(begin, length);
  }
  buffer_.insert(buffer_.end(), begin, begin + length);
  return buffer_.size() < bufferLimit_ || Flush();
}

bool FileWriter::WriteAll(const char* bytes, std::size_t length) {
  std::size_t done = 0;
  while (done < length) {
    const ssize_t n = ::write(fd_, bytes + done, length - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Fail("cannot write " + tempPath_);
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool FileWriter::Flush() {
  const bool written = WriteAll(buffer_.data(), buffer_.size());
  buffer_.clear();
  return written;
}

bool FileWriter::Close() {
  if (!IsOpen()) {
    lastError_ = "the writer is not open";
    return false;
  }
  bool ok = !failed_ && Flush();
  if (ok && ::fsync(fd_) != 0) ok = Fail("cannot sync " + tempPath_);
  if (::close(fd_) != 0 && ok) ok = Fail("cannot close " + tempPath_);
  fd_ = -1;
  if (ok && ::rename(tempPath_.c_str(), path_.c_str()) != 0) ok = Fail("cannot replace " + path_);
  if (!ok) {
    ::unlink(tempPath_.c_str());
  } else {
    // Make the rename itself durable.
    const int dir = ::open(DirectoryOf(path_).c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
      ::fsync(dir);
      ::close(dir);
    }
  }
  tempPath_.clear();
  return ok;
}

void FileWriter::Discard() {
  if (!IsOpen()) return;
  ::close(fd_);
  fd_ = -1;
  ::unlink(tempPath_.c_str());
  tempPath_.clear();
}

}  // namespace du
