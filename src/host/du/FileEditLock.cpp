#include "du/FileEditLock.h"

#include <fcntl.h>
#include <sys/file.h>
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

std::string FileEditLock::ResolvedPath(const std::string& path) {
  std::error_code error;
  const std::filesystem::path resolved = std::filesystem::weakly_canonical(path, error);
  return error || resolved.empty() ? path : resolved.string();
}

FileEditLock::FileEditLock(const std::string& path) {
  const std::string folder = FolderOf(ResolvedPath(path));
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
