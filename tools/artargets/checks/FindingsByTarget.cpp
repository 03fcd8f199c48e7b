#include "checks/FindingsByTarget.h"

namespace artargets {

FindingsByTarget::FindingsByTarget(const CheckedFile& file) : start_(file.targets.size() + 2, 0) {
  const std::size_t own = file.targets.size();
  std::vector<std::size_t> groupOf(file.findings.size());
  for (std::size_t i = 0; i < file.findings.size(); ++i) {
    const PlacedTarget* t = TargetAt(file.targets, file.findings[i].place);
    groupOf[i] = t ? std::size_t(t - file.targets.data()) : own;
    ++start_[groupOf[i] + 1];
  }
  for (std::size_t g = 1; g < start_.size(); ++g) start_[g] += start_[g - 1];
  sorted_.resize(file.findings.size());
  std::vector<std::size_t> next(start_.begin(), start_.end() - 1);
  for (std::size_t i = 0; i < file.findings.size(); ++i)
    sorted_[next[groupOf[i]]++] = &file.findings[i];
}

FindingsByTarget::Group FindingsByTarget::Of(std::size_t index) const {
  return {sorted_.data() + start_[index], sorted_.data() + start_[index + 1]};
}

FindingsByTarget::Group FindingsByTarget::Own() const { return Of(start_.size() - 2); }

}  // namespace artargets
