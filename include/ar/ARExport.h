// The one export macro of the plug-in (libaugmentedreality): the public classes and the
// plug-in entry points carry it; everything else in the library stays hidden.
#pragma once

#define AR_API __attribute__((visibility("default")))
