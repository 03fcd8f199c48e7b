#include "du/FileWriter.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <new>
#include <random>

#include "du/DirectWrites.h"
#include "du/FileEditLock.h"

namespace du {

namespace {

constexpr const char* kTempMark = ".tmp";
constexpr std::size_t kTempSuffixLength = 6;

// ".NAME.tmpXXXXXX" with a random suffix.
std::string TemporaryName(const std::string& baseName) {
  static constexpr char kLetters[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  thread_local std::mt19937 random{std::random_device{}()};
  std::string name = "." + baseName + kTempMark;
  for (std::size_t i = 0; i < kTempSuffixLength; ++i)
    name += kLetters[random() % (sizeof(kLetters) - 1)];
  return name;
}

bool IsTemporaryOf(const std::string& name, const std::string& baseName) {
  const std::string prefix = "." + baseName + kTempMark;
  return name.size() == prefix.size() + kTempSuffixLength &&
         name.compare(0, prefix.size(), prefix) == 0;
}

// Holds back every signal that can be held while it lives; they arrive when it goes.
class SignalsHeld {
 public:
  SignalsHeld() {
    sigset_t all;
    ::sigfillset(&all);
    ::pthread_sigmask(SIG_BLOCK, &all, &previous_);
  }
  ~SignalsHeld() { ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
  SignalsHeld(const SignalsHeld&) = delete;
  SignalsHeld& operator=(const SignalsHeld&) = delete;

 private:
  sigset_t previous_;
};

bool UnnamedFilesUnsupported(int error) {
  return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

}  // namespace

SmartPtr<FileWriter> FileWriter::Construct() {
  return SmartPtr<FileWriter>(new (std::nothrow) FileWriter());
}

FileWriter::FileWriter() = default;

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
  std::string resolved;
  if (!FileEditLock::Resolve(path, resolved, lastError_)) {
    lastError_ = "cannot write " + path + ": " + lastError_;
    return false;
  }
  const std::filesystem::path target = resolved;
  struct stat existing {};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  if (exists && !replaceExisting) {
    lastError_ = path + " already exists";
    return false;
  }
  if (exists && !S_ISREG(existing.st_mode)) {
    lastError_ = "cannot write " + path + ": it is not a regular file, and it is left as it is";
    return false;
  }
  failed_ = false;
  written_ = writtenBack_ = 0;
  lastError_.clear();
  path_ = target.string();
  baseName_ = target.filename().string();
  const std::string folder = target.has_parent_path() ? target.parent_path().string() : ".";
  folderFd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderFd_ < 0) return Fail("cannot open the folder " + folder);
  const mode_t keepMode = mode != 0 ? static_cast<mode_t>(mode)
                          : exists  ? existing.st_mode & 07777
                                    : 0;
  {
    // Under the edit lock, so that no other process takes a temporary being born for debris.
    FileEditLock lock(path_);
    RemoveAbandonedTemporaries();
    if (!CreateFile(keepMode)) {
      Discard();
      return false;
    }
  }
  bufferLimit_ = bufferSize;
  buffer_.clear();
  buffer_.reserve(bufferSize);
  return true;
}

bool FileWriter::CreateFile(mode_t keepMode) {
  // The kernel applies the umask to 0666; only a kept mode is set by hand.
  fd_ = ::openat(folderFd_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (fd_ < 0 && UnnamedFilesUnsupported(errno) && !CreateNamedFile()) return false;
  if (fd_ < 0) return Fail("cannot create a file in the folder of " + path_);
  // The lock tells later saves that this file's writer is alive.
  ::flock(fd_, LOCK_EX);
  if (keepMode != 0 && ::fchmod(fd_, keepMode) != 0)
    return Fail("cannot set the mode of the new " + path_);
  return true;
}

bool FileWriter::CreateNamedFile() {
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string name = TemporaryName(baseName_);
    fd_ = ::openat(folderFd_, name.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
    if (fd_ >= 0) {
      tempName_ = name;
      return true;
    }
    if (errno != EEXIST) break;
  }
  return Fail("cannot create a temporary file in the folder of " + path_);
}

void FileWriter::RemoveAbandonedTemporaries() const {
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::path(path_).parent_path();
  for (const auto& entry :
       std::filesystem::directory_iterator(folder.empty() ? "." : folder, error)) {
    const std::string name = entry.path().filename().string();
    if (!IsTemporaryOf(name, baseName_)) continue;
    const int fd = ::openat(folderFd_, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) continue;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) ::unlinkat(folderFd_, name.c_str(), 0);
    ::close(fd);
  }
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
  if (length < DirectWrites::kSmallest) return WriteThroughCache(bytes, length);
  if (!direct_) direct_.reset(new (std::nothrow) DirectWrites());
  if (!direct_ || !direct_->Usable()) return WriteThroughCache(bytes, length);
  // The start up to an aligned offset through the page cache, whole blocks past it, the rest
  // through it again.
  constexpr std::size_t kAlignment = DirectWrites::kAlignment;
  const std::size_t head = (kAlignment - written_ % kAlignment) % kAlignment;
  if (!WriteThroughCache(bytes, head)) return false;
  StartWriteBackOfAll();  // what the cache holds goes to the disk beside the direct blocks
  std::size_t direct = 0;
  const bool ok = direct_->Write(fd_, bytes + head, length - head, direct);
  written_ += direct;
  writtenBack_ += direct;  // on the disk already
  if (!ok) return Fail("cannot write the new " + path_);
  return WriteThroughCache(bytes + head + direct, length - head - direct);
}

bool FileWriter::WriteThroughCache(const char* bytes, std::size_t length) {
  std::size_t done = 0;
  while (done < length) {
    const ssize_t n = ::write(fd_, bytes + done, std::min(length - done, kWriteBackStep));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Fail("cannot write the new " + path_);
    done += static_cast<std::size_t>(n);
    StartWriteBack(static_cast<std::size_t>(n));
  }
  return true;
}

void FileWriter::StartWriteBack(std::size_t written) {
  // The disk starts on what is written while the rest is still being copied, so that the sync
  // at Close waits for the last part only. A hint: a failure shows at the sync.
  written_ += written;
  if (written_ - writtenBack_ >= kWriteBackStep) StartWriteBackOfAll();
}

void FileWriter::StartWriteBackOfAll() {
  if (written_ == writtenBack_) return;
  ::sync_file_range(fd_, static_cast<off_t>(writtenBack_),
                    static_cast<off_t>(written_ - writtenBack_), SYNC_FILE_RANGE_WRITE);
  writtenBack_ = written_;
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
  if (ok && ::fsync(fd_) != 0) ok = Fail("cannot sync the new " + path_);
  if (ok) {
    FileEditLock lock(path_);
    ok = PutInPlace();
  }
  if (ok) tempName_.clear();  // it is the target now
  Discard();
  return ok;
}

bool FileWriter::PutInPlace() {
  // An unnamed file gets a temporary name first: rename is what replaces a file atomically, and
  // nothing links a file over another. A signal that would end the process waits until the
  // rename is done, so that only SIGKILL (or a crash) can leave the named file behind.
  const SignalsHeld held;
  const std::string procPath = "/proc/self/fd/" + std::to_string(fd_);
  for (int attempt = 0; tempName_.empty() && attempt < 100; ++attempt) {
    const std::string name = TemporaryName(baseName_);
    if (::linkat(AT_FDCWD, procPath.c_str(), folderFd_, name.c_str(), AT_SYMLINK_FOLLOW) == 0 ||
        ::linkat(fd_, "", folderFd_, name.c_str(), AT_EMPTY_PATH) == 0)
      tempName_ = name;
    else if (errno != EEXIST)
      return Fail("cannot name the new " + path_);
  }
  if (tempName_.empty()) return Fail("cannot name the new " + path_);
  if (::renameat(folderFd_, tempName_.c_str(), folderFd_, baseName_.c_str()) != 0)
    return Fail("cannot replace " + path_);
  // Makes the rename itself durable: until it has, a crash may bring back the previous file.
  if (::fsync(folderFd_) != 0)
    return Fail("cannot sync the folder of " + path_ + " (the new file is in place, but a crash " +
                "may still bring back the previous one)");
  return true;
}

void FileWriter::Discard() {
  direct_.reset();
  if (IsOpen()) ::close(fd_);
  if (!tempName_.empty()) ::unlinkat(folderFd_, tempName_.c_str(), 0);
  if (folderFd_ >= 0) ::close(folderFd_);
  fd_ = folderFd_ = -1;
  tempName_.clear();
}

}  // namespace du
