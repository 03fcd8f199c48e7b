#include "du/HashNextPrime.h"

#include <limits>
#include <stdexcept>

namespace du {

namespace {

bool IsPrime(std::size_t n) {
  if (n < 2) return false;
  if (n % 2 == 0) return n == 2;
  for (std::size_t d = 3; d <= n / d; d += 2)
    if (n % d == 0) return false;
  return true;
}

}  // namespace

std::size_t HashNextPrime(std::size_t size) {
  for (std::size_t n = size < 2 ? 2 : size;; ++n) {
    if (IsPrime(n)) return n;
    if (n == std::numeric_limits<std::size_t>::max())
      throw std::overflow_error("HashNextPrime: no prime bucket count at or above the size");
  }
}

}  // namespace du
