// Counters of the host's live objects, so that a test or a tool can check that a scenario
// leaves nothing behind. Every counter rises when an object is made and falls when it goes.
// Thread rules: any thread; the counters are atomic and only approximately simultaneous.
#pragma once

#include <atomic>
#include <cstdint>

#include "ArHostExport.h"

namespace du {

struct LiveCounters {
  std::atomic<std::int64_t> refCounted{0};    // live du::RefCounted objects
  std::atomic<std::int64_t> poolBlocks{0};    // blocks taken from the memory pool
  std::atomic<std::int64_t> commonBlocks{0};  // blocks taken from the common allocator
  std::atomic<std::int64_t> symbols{0};       // distinct interned strings
};

// The process-wide counters.
ARHOST_API LiveCounters& GetLiveCounters();

}  // namespace du
