// The base fixture of tests that run on the host runtime: it notes the live-object counters
// before the test and, once the members of the derived fixtures are gone, shuts the host down
// and checks that the counters are back where they started.
#pragma once

#include <gtest/gtest.h>

#include "arhost/Host.h"

namespace artest {

// Fails the test unless the host, shut down, holds what it held at `before`, with no message
// waiting and no object managed.
inline void ExpectNothingLeftBehind(const arhost::LiveCounts& before) {
  const arhost::LiveCounts after = arhost::GetLiveCounts();
  EXPECT_EQ(after.refCounted, before.refCounted) << "counted objects left behind";
  EXPECT_EQ(after.poolBlocks, before.poolBlocks) << "pool blocks left behind";
  EXPECT_EQ(after.commonBlocks, before.commonBlocks) << "common blocks left behind";
  EXPECT_EQ(after.symbols, before.symbols) << "symbols left behind";
  EXPECT_EQ(after.pendingMessages, 0u);
  EXPECT_EQ(after.managedObjects, 0u);
}

class HostTest : public ::testing::Test {
 protected:
  ~HostTest() override {
    arhost::Shutdown();
    ExpectNothingLeftBehind(before_);
  }

  const arhost::LiveCounts before_ = arhost::GetLiveCounts();
};

}  // namespace artest
