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

#include <cstddef>
#include <cstdint>
#include <string>
#include <thread>
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

// The heap a command on `args` reads and builds its targets in, estimated from the size and kind
// of the largest load among the files its arguments name; 0 when none is of kLargeInput bytes or
// more.
std::uintmax_t HeapForLoading(const std::vector<std::string>& args);

// The heap a large load will grow into, grown at once and its pages mapped in on a thread of
// its own while the command reads its file. A load builds its trees from the main thread, one
// small block after another, and every fresh page it reaches stops it for the fault: a million
// targets reach gigabytes. On a virtual machine that hands freed memory back to its host a
// second or two after a process lets go of it, pages taken late come fresh from the host at
// microseconds each: list took 7.2 s right after another list, 5.4 s with its heap taken at
// the start. Grown and handed back to the allocator (which keeps it, see KeepFreedMemory), the
// memory is where the load's blocks come from. Nothing for less than two blocks (one is kept as
// a fence), at most half of what the machine and the process's control group leave free; the
// destructor stops the mapping and waits for the thread.
// Sanitizer builds, whose allocator is not the C library's, grow nothing.
class HeapAhead {
 public:
  explicit HeapAhead(std::uintmax_t bytes);
  HeapAhead(const HeapAhead&) = delete;
  HeapAhead& operator=(const HeapAhead&) = delete;
  ~HeapAhead();

  // The heap is grown in blocks of this size, below the mapping threshold KeepFreedMemory sets,
  // so that they come from the heap; the last of them is kept.
  static constexpr std::size_t kBlock = std::size_t{31} << 20;

  // The bytes grown ahead (0 when nothing was), and whether `block` lies among them.
  std::size_t Grown() const { return blocks_.size() * kBlock; }
  bool Holds(const void* block) const;

 private:
  std::vector<char*> blocks_;  // each kBlock bytes
  void* fence_ = nullptr;
  std::jthread thread_;
};

}  // namespace artargets
