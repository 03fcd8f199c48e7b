// When the launcher starts a command again with huge pages: only for a regular file large
// enough to pay for it, never against the person's own say, and keeping their other tunables.
// How much heap it takes ahead for a large load, and that the blocks which follow come from it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "TempDir.h"
#include "support/LargeWork.h"

namespace {

void MakeFileOfSize(const std::string& path, std::uintmax_t size) {
  std::ofstream(path).close();
  std::filesystem::resize_file(path, size);  // sparse: only its size is looked at
}

TEST(LargeWork, HugePagesOnlyForLargeFilesAndNeverAgainstThePersonsSay) {
  const artest::TempDir dir;
  const std::string large = dir.File("large.xml"), small = dir.File("small.xml");
  std::filesystem::create_directory(dir.File("folder"));
  MakeFileOfSize(large, artargets::kLargeInput);
  MakeFileOfSize(small, artargets::kLargeInput - 1);
  const std::string on = "glibc.malloc.hugetlb=1";
  struct Row {
    std::vector<std::string> args;
    const char* tunables;
    const char* choice;
    std::string expected;
  } const rows[] = {
      {{"list", large}, nullptr, nullptr, on},
      {{"import", "--update", "u.json", "-o", large}, nullptr, nullptr, on},
      {{"list", small}, nullptr, nullptr, ""},
      {{"list", dir.File("folder"), dir.File("missing.xml")}, nullptr, nullptr, ""},
      {{"list", small}, nullptr, "1", on},
      {{"list", large}, nullptr, "0", ""},
      {{"list", large}, "glibc.malloc.arena_max=2", nullptr, "glibc.malloc.arena_max=2:" + on},
      {{"list", large}, "glibc.malloc.hugetlb=0", nullptr, ""},
      {{"list", large}, "glibc.malloc.hugetlb=1", nullptr, ""},  // the restarted command
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.args.back() + " " + (row.tunables ? row.tunables : "-") + " " +
                 (row.choice ? row.choice : "-"));
    EXPECT_EQ(artargets::HugePageTunables(row.args, row.tunables, row.choice), row.expected);
  }
}

TEST(LargeWork, HeapForLoadingGoesByTheLargestLoadAndTheKindOfItsFile) {
  const artest::TempDir dir;
  const std::string xml = dir.File("t.xml"), json = dir.File("u.json"), csv = dir.File("U.CSV");
  const std::string small = dir.File("small.xml");
  MakeFileOfSize(xml, 15'400'000);   // 20,000 targets of XML
  MakeFileOfSize(json, 24'000'000);  // 100,000 rows of a JSON table
  MakeFileOfSize(csv, 30'000'000);   // 300,000 rows of a CSV table
  MakeFileOfSize(small, artargets::kLargeInput - 1);
  struct Row {
    std::vector<std::string> args;
    std::uintmax_t expected;
  } const rows[] = {
      {{"list", xml}, 15'400'000 + 20'000 * 2300},
      {{"import", "--update", json, "-o", xml}, 24'000'000 + 100'000 * 2300},
      {{"import", csv, "-o", dir.File("new.xml")}, 30'000'000 + 300'000 * 2300},
      {{"diff", small, small}, 0},
      {{"list", dir.File("missing.xml")}, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.args[1]);
    EXPECT_EQ(artargets::HeapForLoading(row.args), row.expected);
  }
}

TEST(LargeWork, TheHeapGrownAheadServesTheBlocksThatFollow) {
  EXPECT_EQ(artargets::HeapAhead(artargets::kLargeInput - 1).Grown(), 0u);
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "the sanitizer's allocator is not the C library's";
#endif
  artargets::KeepFreedMemory();
  using artargets::HeapAhead;
  const HeapAhead heap(4 * HeapAhead::kBlock);
  EXPECT_EQ(heap.Grown(), 3 * HeapAhead::kBlock);  // one block of the four stays, a fence
  void* block = std::malloc(HeapAhead::kBlock / 2);
  EXPECT_TRUE(heap.Holds(block));
  // A block past the mapping threshold, such as the buffer a file is read into, too: the
  // estimate counts the file's bytes in the heap.
  void* buffer = std::malloc(HeapAhead::kBlock + HeapAhead::kBlock / 2);
  EXPECT_TRUE(heap.Holds(buffer));
  std::free(buffer);
  std::free(block);
}

}  // namespace
