#include "checks/TargetGroup.h"

#include <algorithm>

namespace artargets {

namespace {

std::string Named(int place, const std::vector<PlacedTarget>* names) {
  const PlacedTarget* target = names ? TargetAt(*names, place) : nullptr;
  const std::string name = target && !target->name.empty() ? " " + Quoted(target->name) : "";
  return std::to_string(place) + name;
}

}  // namespace

std::string OthersText(const std::vector<int>& places, int place,
                       const std::vector<PlacedTarget>* names) {
  const bool member = std::binary_search(places.begin(), places.end(), place);
  const std::size_t others = places.size() - (member ? 1 : 0);
  std::string text = others == 1 ? "target " : "targets ";
  std::vector<int> named;
  for (std::size_t i = 0; i < places.size() && named.size() < kOthersNamed; ++i)
    if (places[i] != place) named.push_back(places[i]);
  const std::size_t more = others - named.size();
  for (std::size_t i = 0; i < named.size(); ++i) {
    const bool last = i + 1 == named.size() && !more;
    text += (i == 0 ? "" : last ? " and " : ", ") + Named(named[i], names);
  }
  if (more) text += " and " + CountText(more) + " more";
  return text;
}

std::string CountText(std::size_t n) {
  std::string digits = std::to_string(n);
  for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
  return digits;
}

}  // namespace artargets
