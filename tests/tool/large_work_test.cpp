// When the launcher starts a command again with huge pages: only for a regular file large
// enough to pay for it, never against the person's own say, and keeping their other tunables.
#include <gtest/gtest.h>

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

}  // namespace
