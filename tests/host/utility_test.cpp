#include <gtest/gtest.h>

#include "du/CommonAllocator.h"
#include "du/Flags.h"
#include "du/HashNextPrime.h"
#include "du/LiveCounters.h"

namespace {

TEST(HashNextPrimeTest, GivesTheSmallestPrimeAtLeastTheSize) {
  EXPECT_EQ(du::HashNextPrime(0), 2u);
  EXPECT_EQ(du::HashNextPrime(2), 2u);
  EXPECT_EQ(du::HashNextPrime(4), 5u);
  EXPECT_EQ(du::HashNextPrime(100), 101u);
  EXPECT_EQ(du::HashNextPrime(101), 101u);
  EXPECT_EQ(du::HashNextPrime(102), 103u);
  EXPECT_EQ(du::HashNextPrime(7908), 7919u);
  EXPECT_EQ(du::HashNextPrime(1000000), 1000003u);
}

TEST(FlagsTest, SetClearAndTest) {
  du::Flags flags;
  EXPECT_EQ(flags.GetValue(), 0u);
  flags.Set(0b101);
  EXPECT_TRUE(flags.IsSet(0b001));
  EXPECT_TRUE(flags.IsSet(0b101));
  EXPECT_FALSE(flags.IsSet(0b111)) << "IsSet asks for every bit of the mask";
  EXPECT_TRUE(flags.IsAnySet(0b110));
  flags.Clear(0b100);
  EXPECT_EQ(flags, du::Flags(0b001));
}

TEST(CommonAllocatorTest, CountsItsBlocks) {
  struct Small : du::CommonAllocated {
    int value = 7;
  };
  const auto before = du::GetLiveCounters().commonBlocks.load();
  auto* small = new Small;
  EXPECT_EQ(du::GetLiveCounters().commonBlocks.load(), before + 1);
  EXPECT_EQ(small->value, 7);
  delete small;
  EXPECT_EQ(du::GetLiveCounters().commonBlocks.load(), before);
}

}  // namespace
