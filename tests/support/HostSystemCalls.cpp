#include "HostSystemCalls.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdarg>
#include <cstring>

namespace artest {
namespace {

template <typename Function>
Function Next(const char* name) {
  return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

// True when the code at `address` belongs to the host runtime's library.
bool InHostRuntime(const void* address) {
  Dl_info info{};
  return ::dladdr(address, &info) != 0 && info.dli_fname != nullptr &&
         std::strstr(info.dli_fname, "libarhost.so") != nullptr;
}

}  // namespace

const SystemCalls& RealSystemCalls() {
  static const SystemCalls real{
      Next<decltype(SystemCalls::openat)>("openat"), Next<decltype(SystemCalls::write)>("write"),
      Next<decltype(SystemCalls::fsync)>("fsync"), Next<decltype(SystemCalls::linkat)>("linkat"),
      Next<decltype(SystemCalls::renameat)>("renameat")};
  return real;
}

SystemCalls& HostSystemCalls() {
  static SystemCalls calls = RealSystemCalls();
  return calls;
}

}  // namespace artest

namespace {

// The functions a call from `caller` reaches.
const artest::SystemCalls& CalleesFor(const void* caller) {
  return artest::InHostRuntime(caller) ? artest::HostSystemCalls() : artest::RealSystemCalls();
}

}  // namespace

// The five functions as the C library declares them, visible to the dynamic linker although
// the project builds with hidden symbols; each hands on by its caller.
extern "C" {

[[gnu::visibility("default")]] int openat(int folder, const char* name, int flags, ...) {
  mode_t mode = 0;
  if ((flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE) {
    va_list rest;
    va_start(rest, flags);
    mode = static_cast<mode_t>(va_arg(rest, int));
    va_end(rest);
  }
  return CalleesFor(__builtin_return_address(0)).openat(folder, name, flags, mode);
}

[[gnu::visibility("default")]] ssize_t write(int fd, const void* bytes, size_t length) {
  return CalleesFor(__builtin_return_address(0)).write(fd, bytes, length);
}

[[gnu::visibility("default")]] int fsync(int fd) {
  return CalleesFor(__builtin_return_address(0)).fsync(fd);
}

[[gnu::visibility("default")]] int linkat(int fromFolder, const char* from, int toFolder,
                                          const char* to, int flags) {
  return CalleesFor(__builtin_return_address(0)).linkat(fromFolder, from, toFolder, to, flags);
}

[[gnu::visibility("default")]] int renameat(int fromFolder, const char* from, int toFolder,
                                            const char* to) {
  return CalleesFor(__builtin_return_address(0)).renameat(fromFolder, from, toFolder, to);
}

}  // extern "C"
