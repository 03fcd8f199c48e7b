// arhost: the control surface of the host runtime, for a host application or a test that
// drives it: run the message loop, shut down, read the live-object counters.
// Thread rules: call these from the application's thread (the one that runs the loop).
#pragma once

#include <cstddef>
#include <cstdint>

#include "ArHostExport.h"

namespace arhost {

struct LiveCounts {
  std::int64_t refCounted = 0;    // live counted objects
  std::int64_t poolBlocks = 0;    // memory-pool blocks in use
  std::int64_t commonBlocks = 0;  // common-allocator blocks in use
  std::int64_t symbols = 0;       // distinct interned strings
  std::size_t pendingMessages = 0;
  std::size_t managedObjects = 0;

  friend bool operator==(const LiveCounts&, const LiveCounts&) = default;
};

ARHOST_API LiveCounts GetLiveCounts();

// Delivers every queued message, and those posted meanwhile; returns how many.
ARHOST_API std::size_t RunUntilIdle();

// Host shutdown: runs the shutdown messages, drops queued messages (releasing what they
// carry), releases the managed objects, ends the world, unloads the plug-ins and releases the
// shared annotation lock. The host can start again afterwards.
ARHOST_API void Shutdown();

}  // namespace arhost
