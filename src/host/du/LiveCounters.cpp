#include "du/LiveCounters.h"

namespace du {

LiveCounters& GetLiveCounters() {
  // Never destroyed: objects may still be released while the process exits.
  static LiveCounters* counters = new LiveCounters;
  return *counters;
}

}  // namespace du
