#include "du/FileEditLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>

namespace du {

namespace {

struct FolderHold {
  int fd = -1;
  int count = 0;
};

std::mutex g_mutex;
std::map<std::string, FolderHold>& Holds() {
  static std::map<std::string, FolderHold> holds;
  return holds;
}

std::string FolderOf(const std::string& path) {
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  return parent.empty() ? "." : parent.string();
}

}  // namespace

bool FileEditLock::Resolve(const std::string& path, std::string& resolved, std::string& error) {
  constexpr int kMostLinks = 40;  // as many as the kernel follows in one path
  std::filesystem::path at = path;
  for (int links = 0;; ++links) {
    struct stat status {};
    if (::lstat(at.c_str(), &status) != 0) {
      if (errno == ENOENT) break;  // a new file: a save creates it
      error = std::strerror(errno);
      return false;
    }
    if (!S_ISLNK(status.st_mode)) break;
    std::error_code failure;
    const std::filesystem::path target = std::filesystem::read_symlink(at, failure);
    if (links == kMostLinks || failure) {
      error = failure ? failure.message() : std::strerror(ELOOP);
      return false;
    }
    at = target.is_absolute() ? target : at.parent_path() / target;
  }
  std::error_code failure;
  const std::filesystem::path folder =
      std::filesystem::weakly_canonical(at.has_parent_path() ? at.parent_path() : ".", failure);
  if (failure) {
    error = failure.message();
    return false;
  }
  resolved = (folder / at.filename()).string();
  return true;
}

FileEditLock::FileEditLock(const std::string& path) {
  std::string resolved;
  if (!Resolve(path, resolved, lastError_)) {
    lastError_ = "cannot lock " + path + ": " + lastError_;
    return;
  }
  const std::string folder = FolderOf(resolved);
  std::lock_guard lock(g_mutex);
  FolderHold& hold = Holds()[folder];
  if (hold.count == 0) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    int locked = -1;
    if (fd >= 0)
      while ((locked = ::flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
      }
    if (locked != 0) {
      lastError_ = "cannot lock " + folder + ": " + std::strerror(errno);
      if (fd >= 0) ::close(fd);
      Holds().erase(folder);
      return;
    }
    hold.fd = fd;
  }
  ++hold.count;
  folder_ = folder;
}

FileEditLock::~FileEditLock() {
  if (!IsHeld()) return;
  std::lock_guard lock(g_mutex);
  const auto hold = Holds().find(folder_);
  if (--hold->second.count > 0) return;
  ::close(hold->second.fd);  // lets go of the flock
  Holds().erase(hold);
}

}  // namespace du
