#include "support/LargeWork.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace artargets {

namespace {

constexpr const char* kHugePages = "glibc.malloc.hugetlb=1";

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitizerAllocates = true;  // neither its heap nor its tunables are the C library's
#else
constexpr bool kSanitizerAllocates = false;
#endif

std::uintmax_t SizeOfFile(const std::string& arg) {
  std::error_code error;
  const std::filesystem::path path(arg);
  if (!std::filesystem::is_regular_file(path, error)) return 0;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  return error ? 0 : size;
}

// A loaded target with the trees it is read through takes about 2.3 KB of heap; in a file it
// takes about 770 bytes of XML, 240 as a row of a JSON table and 100 as a row of a CSV table
// (measured on a million). The file's own bytes come on top: it is read into a buffer, which the
// allocator serves from the heap grown ahead like any other block (a block is mapped on its own
// only when no free one is large enough).
constexpr std::uintmax_t kHeapPerTarget = 2300;

std::uintmax_t BytesPerTarget(const std::filesystem::path& path) {
  std::string kind = path.extension().string();
  for (char& c : kind) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (kind == ".json") return 240;
  if (kind == ".csv") return 100;
  return 770;
}

// The largest block the allocator serves from its heap (the most mallopt allows); larger ones
// are mapped on their own when no free block of the heap holds them.
constexpr int kMappingThreshold = 32 << 20;
static_assert(HeapAhead::kBlock < std::size_t{kMappingThreshold},
              "the blocks must come from the heap");

// Mapped in a huge page at a time: a stop, and every mapping the command makes meanwhile (the
// kernel lets it change the process's mappings only between two pieces), wait for one at most.
constexpr std::size_t kMappedPiece = std::size_t{2} << 20;

// What the process's control group still lets it take (cgroup v2, or v1's memory controller); the
// largest size when its group sets no limit. In a container, the machine's free memory is not
// what the process may use.
std::uintmax_t LeftInGroup() {
  std::ifstream groups("/proc/self/cgroup");
  std::string line;
  std::uintmax_t left = UINTMAX_MAX;
  while (std::getline(groups, line)) {  // "0::PATH" in v2, "N:memory:PATH" in v1
    std::string folder, limitName, usedName;
    if (line.rfind("0::", 0) == 0) {
      folder = "/sys/fs/cgroup" + line.substr(3);
      limitName = "/memory.max", usedName = "/memory.current";
    } else if (const std::size_t at = line.find(":memory:"); at != std::string::npos) {
      folder = "/sys/fs/cgroup/memory" + line.substr(at + 8);
      limitName = "/memory.limit_in_bytes", usedName = "/memory.usage_in_bytes";
    } else {
      continue;
    }
    std::ifstream limitFile(folder + limitName), usedFile(folder + usedName);
    std::uintmax_t limit = 0, used = 0;
    if (limitFile >> limit && usedFile >> used)
      left = std::min(left, limit > used ? limit - used : 0);
  }
  return left;  // a limit of "max" reads as no number: no limit
}

// Half of the memory the process could still take, on the machine and in its group.
std::uintmax_t MemoryToSpare() {
  const long pages = ::sysconf(_SC_AVPHYS_PAGES);
  const long page = ::sysconf(_SC_PAGESIZE);
  const std::uintmax_t free =
      pages > 0 && page > 0 ? std::uintmax_t(pages) * std::uintmax_t(page) : 0;
  return std::min(free, LeftInGroup()) / 2;
}

void MapIn(const std::vector<char*>& blocks, const std::stop_token& stop) {
#ifdef MADV_POPULATE_WRITE
  const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
  for (const char* block : blocks) {
    // madvise takes whole pages: those inside the block.
    const auto start = reinterpret_cast<std::uintptr_t>(block);
    const std::uintptr_t end = (start + HeapAhead::kBlock) & ~(page - 1);
    for (std::uintptr_t at = (start + page - 1) & ~(page - 1); at < end; at += kMappedPiece) {
      if (stop.stop_requested()) return;
      // Never changes a byte: the allocator may already be handing these pages out.
      ::madvise(reinterpret_cast<void*>(at), std::min<std::uintptr_t>(kMappedPiece, end - at),
                MADV_POPULATE_WRITE);
    }
  }
#else
  (void)blocks, (void)stop;
#endif
}

}  // namespace

std::string HugePageTunables(const std::vector<std::string>& args, const char* tunables,
                             const char* choice) {
  const std::string given = tunables ? tunables : "";
  const std::string chosen = choice ? choice : "";
  if (chosen == "0" || given.find("glibc.malloc.hugetlb") != std::string::npos) return {};
  bool large = chosen == "1";
  for (std::size_t i = 0; i < args.size() && !large; ++i)
    large = SizeOfFile(args[i]) >= kLargeInput;
  if (!large) return {};
  return given.empty() ? kHugePages : given + ":" + kHugePages;
}

void RestartWithHugePagesIfLarge(int argc, char** argv) {
  if (kSanitizerAllocates) return;
  const std::vector<std::string> args(argv + 1, argv + argc);
  const char* before = std::getenv("GLIBC_TUNABLES");
  const std::string kept = before ? before : "";
  const std::string tunables = HugePageTunables(args, before, std::getenv("ARTARGETS_HUGE_PAGES"));
  if (tunables.empty() || ::setenv("GLIBC_TUNABLES", tunables.c_str(), 1) != 0) return;
  ::execv("/proc/self/exe", argv);
  // The exec failed (no /proc, say): on as the command was started.
  if (before)
    ::setenv("GLIBC_TUNABLES", kept.c_str(), 1);
  else
    ::unsetenv("GLIBC_TUNABLES");
}

void KeepFreedMemory() {
  // Never give the top of the heap back on a free, and serve blocks up to the largest size the
  // allocator allows from the heap, where they are reused, rather than from fresh mappings.
  ::mallopt(M_TRIM_THRESHOLD, INT_MAX);
  ::mallopt(M_MMAP_THRESHOLD, kMappingThreshold);
}

std::uintmax_t HeapForLoading(const std::vector<std::string>& args) {
  std::uintmax_t largest = 0, heap = 0;
  for (const std::string& arg : args) {
    const std::uintmax_t size = SizeOfFile(arg);
    largest = std::max(largest, size);
    heap = std::max(heap, size + size / BytesPerTarget(arg) * kHeapPerTarget);
  }
  return largest >= kLargeInput ? heap : 0;
}

HeapAhead::HeapAhead(std::uintmax_t bytes) {
  if (kSanitizerAllocates || bytes < 2 * kBlock) return;  // one block would be the fence alone
  const std::uintmax_t wanted = std::min(bytes, MemoryToSpare());
  while ((blocks_.size() + 1) * kBlock <= wanted) {
    void* block = std::malloc(kBlock);
    if (!block) break;
    blocks_.push_back(static_cast<char*>(block));
  }
  if (blocks_.size() < 2) {
    for (char* block : blocks_) std::free(block);
    blocks_.clear();
    return;
  }
  // The last block stays, a fence: the others, freed, join into one free block below it. Had
  // they joined the top of the heap instead, a free could hand them all back to the system
  // (past the trim threshold, which mallopt cannot set above 2 GiB).
  fence_ = blocks_.back();
  blocks_.pop_back();
  for (char* block : blocks_) std::free(block);
  thread_ = std::jthread([this](const std::stop_token& stop) { MapIn(blocks_, stop); });
}

bool HeapAhead::Holds(const void* block) const {
  const auto* byte = static_cast<const char*>(block);
  for (const char* data : blocks_)
    if (byte >= data && byte < data + kBlock) return true;
  return false;
}

HeapAhead::~HeapAhead() {
  thread_ = {};  // stops and waits
  std::free(fence_);
}

}  // namespace artargets
