#include "reports/TargetIdentity.h"

#include <unordered_map>

#include "targets/ValueText.h"

namespace artargets {

std::vector<std::string> TargetIdentities(const std::vector<PlacedTarget>& targets) {
  std::unordered_map<std::string, int> seen;
  std::vector<std::string> identities;
  identities.reserve(targets.size());
  for (const PlacedTarget& t : targets) {
    std::string identity = Quoted(t.name) + " id " + std::to_string(t.id);
    const int earlier = seen[identity]++;
    if (earlier) identity += " #" + std::to_string(earlier + 1);
    identities.push_back(std::move(identity));
  }
  return identities;
}

}  // namespace artargets
