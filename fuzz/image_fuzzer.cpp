// Drives the rating of images on arbitrary bytes: whatever stb_image makes of them, the rating
// returns, says why when it could not rate, and stays within 0 to 100.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "ImageQuality.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const artargets::ImageQuality q =
      artargets::RateImage(std::string_view(reinterpret_cast<const char*>(data), size));
  if (q.score < 0 || q.score > 100) std::abort();
  if (!q.problem.empty() && q.score != 0) std::abort();
  return 0;
}
