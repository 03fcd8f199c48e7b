#include "arhost/Host.h"

#include "dom/MessageLoop.h"
#include "du/LiveCounters.h"
#include "orl/Annotation.h"
#include "orl/World.h"
#include "orlloader/Loader.h"

namespace arhost {

LiveCounts GetLiveCounts() {
  const du::LiveCounters& c = du::GetLiveCounters();
  LiveCounts counts;
  counts.refCounted = c.refCounted.load();
  counts.poolBlocks = c.poolBlocks.load();
  counts.commonBlocks = c.commonBlocks.load();
  counts.symbols = c.symbols.load();
  counts.pendingMessages = dom::MessageLoop::Get().GetPendingCount();
  counts.managedObjects = dom::MessageLoop::Get().GetManagedCount();
  return counts;
}

std::size_t RunUntilIdle() { return dom::MessageLoop::Get().RunUntilIdle(); }

void Shutdown() {
  dom::MessageLoop::Get().Shutdown();
  orl::World::EndWorld();
  dom::MessageLoop::Get().Shutdown();  // what ending the world released or posted
  orlloader::Loader::EndLoader();      // plug-ins go last: nothing of theirs is left
  orl::Annotation::ReleaseRWLock();
}

}  // namespace arhost
