// How the tool tells which target of one file is which target of another (diff, merge): by
// name, and where a name repeats, by id: within one name, targets with equal ids pair first and
// the rest pair in order.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "targets/TargetComparison.h"
#include "targets/TargetRecord.h"

namespace artargets {

// The targets of one file that share a name, in order of id (as SortByNameThenId orders them).
using Group = std::span<const TargetRecord>;
using Pairing = std::vector<std::optional<std::size_t>>;

// The files' targets name by name: each file's records sorted (SortByNameThenId), then walked
// side by side once, in order of name. `visit` gets, for every name some file holds, the group
// of each file, empty where a file lacks the name. One pass over sorted records, without a
// table of names: a million targets a side.
template <std::size_t N, class Visit>
void ForEachName(const std::array<std::vector<TargetRecord>*, N>& files, Visit&& visit) {
  for (std::vector<TargetRecord>* file : files) SortByNameThenId(*file);
  std::array<std::size_t, N> at{};
  for (;;) {
    const std::string* name = nullptr;  // the least name not yet walked
    for (std::size_t f = 0; f < N; ++f)
      if (at[f] < files[f]->size() && (!name || (*files[f])[at[f]].name < *name))
        name = &(*files[f])[at[f]].name;
    if (!name) return;
    std::array<Group, N> groups;
    for (std::size_t f = 0; f < N; ++f) {
      const std::vector<TargetRecord>& records = *files[f];
      std::size_t end = at[f];
      while (end < records.size() && records[end].name == *name) ++end;
      groups[f] = Group(records.data() + at[f], end - at[f]);
      at[f] = end;
    }
    visit(groups);
  }
}
// For each target of `from`, the index of its partner in `to` (both of one name), if any.
Pairing PairWithin(const Group& from, const Group& to);
// The indices of the targets of `to` that `pairing` leaves without a partner.
std::vector<std::size_t> Unpaired(const Pairing& pairing, std::size_t toSize);

}  // namespace artargets
