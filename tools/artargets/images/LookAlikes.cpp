#include "images/LookAlikes.h"

#include <limits>
#include <map>
#include <memory>

extern "C" {
#include <vl/kdtree.h>
}

#include "support/AllCores.h"

namespace artargets {

namespace {

constexpr std::size_t kDimensions = 128;
constexpr vl_size kNeighbours = 6;     // enough to get past a picture's own features
constexpr vl_size kComparisons = 200;  // per query: what keeps the search about linear

using Forest = std::unique_ptr<VlKDForest, decltype(&vl_kdforest_delete)>;

// Each picture's features, searched for among all pictures' (`data`, whose descriptor i is
// picture owner[i]'s; `first` is the picture's first): its look-alikes.
std::vector<LookAlike> MatchPicture(VlKDForestSearcher* searcher, const std::vector<float>& data,
                                    const std::vector<std::size_t>& owner, std::size_t picture,
                                    std::size_t first, std::size_t count, double fromShare) {
  std::vector<LookAlike> found;
  if (count < kLeastCompared) return found;  // not judged: no search
  const float limit = float(kLookAlikeDistance * kLookAlikeDistance);
  std::map<std::size_t, int> matches;  // other picture -> features of `picture` that match it
  for (std::size_t f = first; f < first + count; ++f) {
    VlKDForestNeighbor neighbours[kNeighbours];
    for (auto& n : neighbours) n = {std::numeric_limits<double>::infinity(), owner.size()};
    vl_kdforestsearcher_query(searcher, neighbours, kNeighbours, &data[f * kDimensions]);
    for (const VlKDForestNeighbor& neighbour : neighbours) {
      if (neighbour.index >= owner.size()) break;  // fewer descriptors than neighbours asked
      const std::size_t other = owner[neighbour.index];
      if (other == picture) continue;
      if (neighbour.distance <= limit) ++matches[other];
      break;  // only the nearest other picture's descriptor counts
    }
  }
  for (const auto& [other, n] : matches)
    if (double(n) / double(count) >= fromShare)
      found.push_back({picture, other, double(n) / double(count)});
  return found;
}

}  // namespace

std::vector<LookAlike> FindLookAlikes(const std::vector<std::vector<std::uint8_t>>& signatures,
                                      double fromShare) {
  std::vector<float> data;  // every picture's descriptors, scaled back to unit length
  std::vector<std::size_t> owner, first;
  for (std::size_t p = 0; p < signatures.size(); ++p) {
    first.push_back(owner.size());
    for (std::uint8_t v : signatures[p]) data.push_back(float(v) / 512.0f);
    owner.resize(data.size() / kDimensions, p);
  }
  if (signatures.size() < 2 || owner.empty()) return {};
  Forest forest(vl_kdforest_new(VL_TYPE_FLOAT, kDimensions, 4, VlDistanceL2), vl_kdforest_delete);
  vl_kdforest_set_max_num_comparisons(forest.get(), kComparisons);
  vl_kdforest_build(forest.get(), owner.size(), data.data());
  // A searcher keeps the state of one search at a time: one per thread, made here because
  // making one changes the forest. The forest deletes them.
  std::vector<VlKDForestSearcher*> searchers(CoreCount());
  for (auto& searcher : searchers) searcher = vl_kdforest_new_searcher(forest.get());
  std::vector<std::vector<LookAlike>> ofPicture(signatures.size());
  OnAllCores(searchers.size(), [&](std::size_t s) {
    for (std::size_t p = s; p < signatures.size(); p += searchers.size())
      ofPicture[p] = MatchPicture(searchers[s], data, owner, p, first[p],
                                  signatures[p].size() / kDimensions, fromShare);
  });
  std::vector<LookAlike> found;
  for (const auto& some : ofPicture) found.insert(found.end(), some.begin(), some.end());
  return found;
}

}  // namespace artargets
