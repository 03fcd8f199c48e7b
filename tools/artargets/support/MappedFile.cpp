#include "support/MappedFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace artargets {

MappedFile::MappedFile(const std::string& path) {
  // Opened without waiting, as every input is: a FIFO would block here until a writer came.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return;
  struct stat status {};
  if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0) {
    const auto size = static_cast<std::size_t>(status.st_size);
    // Populated at once: one call maps every page instead of a fault for each.
    void* bytes = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
    if (bytes != MAP_FAILED) bytes_ = bytes, size_ = size;
  }
  ::close(fd);
}

MappedFile::~MappedFile() {
  if (bytes_) ::munmap(bytes_, size_);
}

}  // namespace artargets
