#include "LookAlikes.h"

#include <limits>
#include <map>
#include <memory>

extern "C" {
#include <vl/kdtree.h>
}

namespace artargets {

namespace {

constexpr std::size_t kDimensions = 128;
constexpr vl_size kNeighbours = 6;     // enough to get past a picture's own features
constexpr vl_size kComparisons = 200;  // per query: what keeps the search about linear

using Forest = std::unique_ptr<VlKDForest, decltype(&vl_kdforest_delete)>;

}  // namespace

std::vector<LookAlike> FindLookAlikes(const std::vector<std::vector<std::uint8_t>>& signatures) {
  std::vector<float> data;  // every picture's descriptors, scaled back to unit length
  std::vector<std::size_t> owner;
  for (std::size_t p = 0; p < signatures.size(); ++p) {
    for (std::uint8_t v : signatures[p]) data.push_back(float(v) / 512.0f);
    owner.resize(data.size() / kDimensions, p);
  }
  std::vector<LookAlike> found;
  if (signatures.size() < 2 || owner.empty()) return found;
  Forest forest(vl_kdforest_new(VL_TYPE_FLOAT, kDimensions, 4, VlDistanceL2), vl_kdforest_delete);
  vl_kdforest_set_max_num_comparisons(forest.get(), kComparisons);
  vl_kdforest_build(forest.get(), owner.size(), data.data());
  const float limit = float(kLookAlikeDistance * kLookAlikeDistance);
  std::size_t start = 0;
  for (std::size_t p = 0; p < signatures.size(); ++p) {
    const std::size_t count = signatures[p].size() / kDimensions;
    std::map<std::size_t, int> matches;  // other picture -> features of p that match it
    for (std::size_t f = start; f < start + count; ++f) {
      VlKDForestNeighbor neighbours[kNeighbours];
      for (auto& n : neighbours) n = {std::numeric_limits<double>::infinity(), owner.size()};
      vl_kdforest_query(forest.get(), neighbours, kNeighbours, &data[f * kDimensions]);
      for (const VlKDForestNeighbor& neighbour : neighbours) {
        if (neighbour.index >= owner.size()) break;  // fewer descriptors than neighbours asked
        const std::size_t other = owner[neighbour.index];
        if (other == p) continue;
        if (neighbour.distance <= limit) ++matches[other];
        break;  // only the nearest other picture's descriptor counts
      }
    }
    start += count;
    if (count < kLeastCompared) continue;
    for (const auto& [other, n] : matches)
      if (double(n) / double(count) >= kConfusableShare)
        found.push_back({p, other, double(n) / double(count)});
  }
  return found;
}

}  // namespace artargets
