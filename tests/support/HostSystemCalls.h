// Stands between the host runtime and five system calls (openat, write, fsync, linkat,
// renameat), so that a test can watch the order in which the runtime's file writer makes them,
// or make one fail as a full disk or a file system without unnamed files would, with no hook
// in the runtime itself.
//
// It works by the dynamic linker's lookup order: a test program that links HostSystemCalls.cpp
// defines the five functions, so every call libarhost makes to them reaches these first. They
// hand calls from libarhost to the stand-ins in HostSystemCalls(), and every other call (the
// test's own, the test framework's, the C++ library's) straight to the C library.
// Thread rules: change the stand-ins only while no other thread is in the runtime.
#pragma once

#include <sys/types.h>

#include <cstddef>

namespace artest {

struct SystemCalls {
  int (*openat)(int folder, const char* name, int flags, mode_t mode);
  ssize_t (*write)(int fd, const void* bytes, std::size_t length);
  int (*fsync)(int fd);
  int (*linkat)(int fromFolder, const char* from, int toFolder, const char* to, int flags);
  int (*renameat)(int fromFolder, const char* from, int toFolder, const char* to);
};

// The C library's own functions.
const SystemCalls& RealSystemCalls();

// What the host runtime's calls reach; the real functions until a test changes them.
SystemCalls& HostSystemCalls();

// Puts the real functions back when it goes, whatever a test changed.
struct HostSystemCallsRestored {
  HostSystemCallsRestored() = default;
  HostSystemCallsRestored(const HostSystemCallsRestored&) = delete;
  HostSystemCallsRestored& operator=(const HostSystemCallsRestored&) = delete;
  ~HostSystemCallsRestored() { HostSystemCalls() = RealSystemCalls(); }
};

}  // namespace artest
