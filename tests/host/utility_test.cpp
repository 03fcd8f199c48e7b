#include <gtest/gtest.h>

#include "du/CommonAllocator.h"
#include "du/Flags.h"
#include "du/HashNextPrime.h"
#include "du/LiveCounters.h"

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

}  // namespace
