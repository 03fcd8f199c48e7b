#include "support/LargeWork.h"

#include <malloc.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>

namespace artargets {

namespace {

constexpr const char* kHugePages = "glibc.malloc.hugetlb=1";

bool NamesLargeFile(const std::string& arg) {
  std::error_code error;
  const std::filesystem::path path(arg);
  return std::filesystem::is_regular_file(path, error) &&
         std::filesystem::file_size(path, error) >= kLargeInput && !error;
}

}  // namespace

std::string HugePageTunables(const std::vector<std::string>& args, const char* tunables,
                             const char* choice) {
  const std::string given = tunables ? tunables : "";
  const std::string chosen = choice ? choice : "";
  if (chosen == "0" || given.find("glibc.malloc.hugetlb") != std::string::npos) return {};
  bool large = chosen == "1";
  for (std::size_t i = 0; i < args.size() && !large; ++i) large = NamesLargeFile(args[i]);
  if (!large) return {};
  return given.empty() ? kHugePages : given + ":" + kHugePages;
}

void RestartWithHugePagesIfLarge(int argc, char** argv) {
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)  // their own allocators
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
#else
  (void)argc, (void)argv;
#endif
}

void KeepFreedMemory() {
  // Never give the top of the heap back on a free, and serve blocks up to the largest size the
  // allocator allows from the heap, where they are reused, rather than from fresh mappings.
  ::mallopt(M_TRIM_THRESHOLD, INT_MAX);
  ::mallopt(M_MMAP_THRESHOLD, 32 << 20);
}

}  // namespace artargets
