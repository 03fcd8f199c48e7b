#include "targets/TargetComparison.h"

#include <algorithm>
#include <cstdint>
#include <tuple>

#include "targets/TargetFields.h"

namespace artargets {

namespace {

std::vector<std::uint64_t> NumberBits(const TargetRecord& r) {
  std::vector<std::uint64_t> bits;
  for (const Field& field : kFields) {
    const auto more = FieldBits(r, field);
    bits.insert(bits.end(), more.begin(), more.end());
  }
  return bits;
}

// A name's first 16 bytes as two big-endian numbers, padded with zeros: numbers in order are
// names in order, and equal numbers leave the names to be compared whole.
struct NamePrefix {
  std::uint64_t high, low;
  std::size_t index;

  static NamePrefix Of(const std::string& name, std::size_t index) {
    return {Bytes(name, 0), Bytes(name, 8), index};
  }
  static std::uint64_t Bytes(const std::string& name, std::size_t from) {
    std::uint64_t bytes = 0;
    for (std::size_t i = from; i < from + 8; ++i)
      bytes = bytes << 8 | (i < name.size() ? static_cast<unsigned char>(name[i]) : 0u);
    return bytes;
  }
};

// Puts `records[order[i]]` at `i` for every i, moving each record once.
void Permute(std::vector<TargetRecord>& records, std::vector<std::size_t>& order) {
  for (std::size_t start = 0; start < order.size(); ++start) {
    if (order[start] == start) continue;
    TargetRecord held = std::move(records[start]);
    std::size_t to = start;
    for (std::size_t from = order[to]; from != start; from = order[to]) {
      records[to] = std::move(records[from]);
      order[to] = to;
      to = from;
    }
    records[to] = std::move(held);
    order[to] = to;
  }
}

}  // namespace

bool SameRecord(const TargetRecord& a, const TargetRecord& b) {
  for (const Field& field : kFields)
    if (!SameField(a, b, field)) return false;
  return true;
}

void SortByNameThenId(std::vector<TargetRecord>& records) {
  // Targets that share name and id are ordered by their other fields, so that the order never
  // depends on where the plug-in put them in memory.
  const auto before = [&records](std::size_t a, std::size_t b) {
    const auto key = [](const TargetRecord& r) {
      return std::tie(r.name, r.id, r.image, r.shape, r.type);
    };
    if (const auto order = key(records[a]) <=> key(records[b]); order != 0) return order < 0;
    return NumberBits(records[a]) < NumberBits(records[b]);
  };
  // Comparing records directly reads two scattered quarter-kilobyte records each time: the
  // sort runs on small keys that carry each name's first 16 bytes, and reads the records only
  // when those tie. Then each record moves once, along the cycles of the permutation.
  std::vector<NamePrefix> keys(records.size());
  for (std::size_t i = 0; i < records.size(); ++i) keys[i] = NamePrefix::Of(records[i].name, i);
  std::sort(keys.begin(), keys.end(), [&](const NamePrefix& a, const NamePrefix& b) {
    if (a.high != b.high) return a.high < b.high;
    if (a.low != b.low) return a.low < b.low;
    return before(a.index, b.index);
  });
  std::vector<std::size_t> order(keys.size());
  for (std::size_t i = 0; i < keys.size(); ++i) order[i] = keys[i].index;
  Permute(records, order);
}

}  // namespace artargets
