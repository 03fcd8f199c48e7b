// How the launcher sets up the C library's allocator for one command on files of any size.
//
// A million targets take gigabytes, and on a virtual machine every page the kernel maps in
// costs microseconds: loading a large file spent half its time in page faults. Two settings
// help. The allocator keeps what a command frees (the save builds as much again as the load
// freed) instead of handing it back and having new pages cleared for it. And for a command on
// a large file the launcher starts itself again once with the C library's transparent huge
// pages on (GLIBC_TUNABLES glibc.malloc.hugetlb=1): one fault then maps 2 MiB instead of 4 KiB,
// and such a command takes about half the time. Huge pages are asked for only where they pay:
// an argument names a regular file of at least kLargeInput bytes. ARTARGETS_HUGE_PAGES=0 turns
// them off, =1 on for every command; a GLIBC_TUNABLES that already says glibc.malloc.hugetlb is
// left as it is. The restarted command's children (git, for one) inherit the setting, which
// changes nothing but their allocator's page size. Under valgrind or a debugger, give
// ARTARGETS_HUGE_PAGES=0: the restart is a new program, which valgrind does not follow unless
// told to (--trace-children=yes). Builds with a sanitizer never restart: its allocator is not
// the C library's.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace artargets {

inline constexpr std::uintmax_t kLargeInput = 8ull << 20;

// The value GLIBC_TUNABLES should have for a command on `args` to run with huge pages, or empty
// when it should run as it is. `tunables` and `choice` are the values of GLIBC_TUNABLES and
// ARTARGETS_HUGE_PAGES (null when unset).
std::string HugePageTunables(const std::vector<std::string>& args, const char* tunables,
                             const char* choice);

// Starts the process again under HugePageTunables when that says so; returns only when it does
// not (or cannot: the restart is an optimisation, never a failure).
void RestartWithHugePagesIfLarge(int argc, char** argv);

// Keeps freed memory in the process for the allocations that follow.
void KeepFreedMemory();

}  // namespace artargets
