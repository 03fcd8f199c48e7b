// Makes the disk refuse writes beyond `bytes` for this process while it lives (RLIMIT_FSIZE,
// with SIGXFSZ ignored so that the write fails instead of killing the process). A real write
// failure, for testing what a failed save leaves behind.
#pragma once

#include <signal.h>
#include <sys/resource.h>

namespace artest {

class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    oldHandler_ = ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = saved_;
    limited.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    ::signal(SIGXFSZ, oldHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  struct rlimit saved_ {};
  void (*oldHandler_)(int) = nullptr;
};

}  // namespace artest
