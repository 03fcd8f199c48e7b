#include "checks/CheckLimits.h"

#include <cmath>
#include <cstdlib>

namespace artargets {

long long PrintedSteps(double value, int decimals) {
  return std::llround(value * std::pow(10.0, decimals));
}

std::string StepsText(long long steps, int decimals) {
  std::string digits = std::to_string(std::llabs(steps));
  if (decimals > 0) {
    if (digits.size() <= std::size_t(decimals))
      digits.insert(0, std::size_t(decimals) + 1 - digits.size(), '0');
    digits.insert(digits.size() - std::size_t(decimals), ".");
    while (digits.back() == '0') digits.pop_back();
    if (digits.back() == '.') digits.pop_back();
  }
  return (steps < 0 ? "-" : "") + digits;
}

}  // namespace artargets
