// The one export macro of the host runtime (libarhost). Everything the host offers to plug-ins,
// tools and tests carries it; the rest of the library stays hidden.
#pragma once

#define ARHOST_API __attribute__((visibility("default")))
