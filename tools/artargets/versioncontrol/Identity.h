// How the tool tells which target of one file is which target of another (diff, merge): by
// name, and where a name repeats, by id: within one name, targets with equal ids pair first and
// the rest pair in order.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "targets/TargetRecord.h"

namespace artargets {

using Group = std::vector<TargetRecord>;
using Pairing = std::vector<std::optional<std::size_t>>;

// The targets by name, each name's in order of id (as SortByNameThenId orders them).
std::map<std::string, Group> GroupByName(std::vector<TargetRecord> records);
// For each target of `from`, the index of its partner in `to` (both of one name), if any.
Pairing PairWithin(const Group& from, const Group& to);
// The indices of the targets of `to` that `pairing` leaves without a partner.
std::vector<std::size_t> Unpaired(const Pairing& pairing, std::size_t toSize);

}  // namespace artargets
