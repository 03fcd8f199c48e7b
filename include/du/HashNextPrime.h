// du::HashNextPrime: the bucket count the host's hash tables use for a requested size.
#pragma once

#include <cstddef>

#include "ArHostExport.h"

namespace du {

// The smallest prime that is at least `size` (2 for sizes below 2). Throws std::overflow_error
// when no such prime fits in std::size_t.
ARHOST_API std::size_t HashNextPrime(std::size_t size);

}  // namespace du
