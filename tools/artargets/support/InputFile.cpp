#include "support/InputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>

#include "support/ScratchFolder.h"

namespace artargets {

const char* FileKind(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISSOCK(mode)) return "a socket";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  return "not a regular file";
}

namespace {

// Why what `status` describes is no input, or empty when it is a regular file of a sane size.
std::string StatusProblem(const struct stat& status) {
  if (!S_ISREG(status.st_mode)) {
    const std::string kind = FileKind(status.st_mode);
    return kind == "not a regular file" ? "it is not a regular file"
                                        : "it is " + kind + ", not a regular file";
  }
  if (static_cast<std::uint64_t>(status.st_size) > kMaxInputBytes)
    return "it holds " + std::to_string(status.st_size) + " bytes, more than the " +
           std::to_string(kMaxInputBytes) + " the tool reads";
  return {};
}

// Closes a descriptor on every way out.
struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
};

// All of the stream open on `fd` into `bytes`, up to kMaxInputBytes; false, with why, when it
// cannot be read or holds more.
bool ReadStream(int fd, std::string& bytes, std::string& why) {
  bytes.clear();
  char piece[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd, piece, sizeof piece);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      why = std::strerror(errno);
      return false;
    }
    if (n == 0) return true;
    if (bytes.size() + static_cast<std::size_t>(n) > kMaxInputBytes) {
      why = "it holds more than the " + std::to_string(kMaxInputBytes) + " bytes the tool reads";
      return false;
    }
    bytes.append(piece, static_cast<std::size_t>(n));
  }
}

// A stream (standard input, a pipe), read once and copied to a private file that lasts as long
// as the run.
struct StreamCopy {
  ScratchFolder folder{"input"};
  std::string path, why;
  explicit StreamCopy(int fd, int openError = 0) {
    std::string bytes;
    if (fd < 0) {
      why = std::strerror(openError);
      return;
    }
    if (!ReadStream(fd, bytes, why)) return;
    if (folder.Path().empty()) {
      why = "cannot make a temporary folder for it";
      return;
    }
    std::ofstream copy(folder.File("input"), std::ios::binary);
    if (!copy.write(bytes.data(), static_cast<std::streamsize>(bytes.size())).flush()) {
      why = "cannot copy it to a temporary file";
      return;
    }
    path = folder.File("input");
  }
};

// The copy of the pipe at `path`, made by the first reader: a command that reads the path again
// (diff p p) sees the same bytes, as it does for "-". Opening waits for a writer, as cat does.
const StreamCopy& PipeCopy(const std::string& path) {
  static std::mutex mutex;
  static std::map<std::string, std::unique_ptr<StreamCopy>> copies;
  const std::lock_guard lock(mutex);
  std::unique_ptr<StreamCopy>& copy = copies[path];
  if (copy) return *copy;
  const Descriptor pipe{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  copy = std::make_unique<StreamCopy>(pipe.fd, errno);
  return *copy;
}

// The copy of standard input: the first reader reads it; later ones reuse it.
const StreamCopy& StandardInputCopy() {
  static const StreamCopy copy(STDIN_FILENO);
  return copy;
}

}  // namespace

bool IsStandardStream(const std::string& path) { return path == "-"; }

bool IsPipe(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && S_ISFIFO(status.st_mode);
}

std::string InputName(const std::string& path) {
  return IsStandardStream(path) ? "standard input" : path;
}

std::string ReadablePath(const std::string& path, std::string& why) {
  if (!IsStandardStream(path) && !IsPipe(path)) return path;
  const StreamCopy& copy = IsStandardStream(path) ? StandardInputCopy() : PipeCopy(path);
  why = copy.why;
  return copy.path;
}

bool ReadInput(const std::string& path, std::string& bytes, std::string& why) {
  const std::string readable = ReadablePath(path, why);
  return !readable.empty() && ReadInputFile(readable, bytes, why);
}

std::string InputProblem(const std::string& path, bool* missing) {
  struct stat status {};
  const bool found = ::stat(path.c_str(), &status) == 0;
  if (missing) *missing = !found && errno == ENOENT;
  return found ? StatusProblem(status) : std::strerror(errno);
}

bool ReadInputFile(const std::string& path, std::string& bytes, std::string& why) {
  // Opened without waiting: opening a FIFO for reading would block until a writer comes.
  const Descriptor file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
  struct stat status {};
  if (file.fd < 0 || ::fstat(file.fd, &status) != 0) {
    why = std::strerror(errno);
    return false;
  }
  why = StatusProblem(status);
  if (!why.empty()) return false;
  bytes.resize(static_cast<std::size_t>(status.st_size));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::read(file.fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      why = std::strerror(errno);
      return false;
    }
    if (n == 0) break;  // it shrank while being read: what is there is the file
    done += static_cast<std::size_t>(n);
  }
  bytes.resize(done);
  return true;
}

}  // namespace artargets
