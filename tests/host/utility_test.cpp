#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <vector>

#include "du/CommonAllocator.h"
#include "du/Flags.h"
#include "du/HashNextPrime.h"
#include "du/LiveCounters.h"
#include "du/PrefaultPages.h"

namespace {

TEST(UtilityTest, HashNextPrimeGivesTheSmallestPrimeAtLeastTheSize) {
  const std::pair<std::size_t, std::size_t> rows[] = {
      {0, 2}, {2, 2}, {4, 5}, {100, 101}, {101, 101}, {102, 103}, {7908, 7919}, {1000000, 1000003}};
  for (const auto& [size, prime] : rows) EXPECT_EQ(du::HashNextPrime(size), prime) << size;
}

TEST(UtilityTest, FlagsAskForEveryOrAnyBitOfAMask) {
  du::Flags flags;
  EXPECT_EQ(flags.GetValue(), 0u);
  flags.Set(0b101);
  EXPECT_TRUE(flags.IsSet(0b101));
  EXPECT_FALSE(flags.IsSet(0b111)) << "IsSet asks for every bit of the mask";
  EXPECT_TRUE(flags.IsAnySet(0b110));
  flags.Clear(0b100);
  EXPECT_EQ(flags, du::Flags(0b001));
}

TEST(UtilityTest, CommonAllocatorCountsItsBlocks) {
  struct Small : du::CommonAllocated {
    int value = 7;
  };
  const auto before = du::GetLiveCounters().commonBlocks.load();
  auto* small = new Small;
  EXPECT_EQ(du::GetLiveCounters().commonBlocks.load(), before + 1);
  delete small;
  EXPECT_EQ(du::GetLiveCounters().commonBlocks.load(), before);
}

TEST(UtilityTest, PrefaultPagesMapsALargeBlockInWithoutChangingIt) {
  const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  const std::size_t size = du::PrefaultPages::kSmallest + page;
  void* mapped = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  ASSERT_NE(mapped, MAP_FAILED);
  auto* block = static_cast<unsigned char*>(mapped);
  block[0] = block[size - 1] = 7;  // already filled at both ends
  const auto resident = [&] {
    std::vector<unsigned char> pages((size + page - 1) / page);
    ::mincore(block, size, pages.data());
    std::size_t count = 0;
    for (unsigned char p : pages) count += p & 1;
    return count;
  };
  EXPECT_EQ(resident(), 2u);
  { const du::PrefaultPages small(block + page, du::PrefaultPages::kSmallest - page); }
  EXPECT_EQ(resident(), 2u) << "a block under the limit is left to fault as it is filled";
  { const du::PrefaultPages ready(block, size); }
  EXPECT_EQ(resident(), size / page);
  EXPECT_EQ(block[0], 7);
  EXPECT_EQ(block[size - 1], 7);
  EXPECT_EQ(block[size / 2], 0);
  ::munmap(mapped, size);
}

}  // namespace
