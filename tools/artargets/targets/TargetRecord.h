// artargets::TargetRecord: one target as the tool handles it, a plain value copied out of an
// ar::ARTarget (and back into a new one), so that commands can sort, compare and print targets
// without holding the plug-in's lock.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "ar/ARTarget.h"
#include "du/SmartPtr.h"

namespace artargets {

using Vec3 = std::array<double, 3>;

struct KeptTarget;  // what the target's element held beyond its fields (KeptContent.h)

struct TargetRecord {
  std::string name;
  std::string image;
  double width = 0;
  double height = 0;
  long long type = 0;  // wide enough for what a person types; the file holds kTypeRange
  long long id = 0;    // and kIdRange
  Vec3 center{};
  Vec3 normal{};
  Vec3 xdir{};
  Vec3 ydir{};
  std::string shape;
  double rotation = 0;
  // Not a field: what an edit carries back into the file with the target. Only commands that
  // rewrite the file they read fill it in.
  std::shared_ptr<const KeptTarget> kept = nullptr;
};

TargetRecord RecordOf(const ar::ARTarget& target);
// A new target of the process's controller holding `record`'s values.
du::SmartPtr<ar::ARTarget> MakeTarget(const TargetRecord& record);

// The whole numbers a target file can hold for a field: the type is one byte in the file.
struct WholeRange {
  long long low, high;
  bool Holds(long long value) const { return value >= low && value <= high; }
};
inline constexpr WholeRange kTypeRange{0, 255};
inline constexpr WholeRange kIdRange{-2147483648LL, 2147483647LL};
// "type: 300 is out of range; a target file holds 0 to 255".
std::string OutOfRangeText(const std::string& field, const std::string& value, WholeRange range);

}  // namespace artargets
