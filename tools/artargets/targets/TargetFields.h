// The twelve fields of a target as the tool knows them, said once: each with its JSON key (which
// is also its label in differences), the option that gives it on the command line,
// the whole numbers a target file holds for it, and where it lives in a TargetRecord. The JSON
// form, the options of add and set, listings, differences, comparison and sorting all walk this
// table.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "targets/TargetRecord.h"

namespace artargets {

struct Field {
  const char* key;     // JSON key and label
  const char* option;  // several fields may share one option: --size W H
  const char* help;
  const char* placeholder;  // what --help shows for its value: "W", "X Y Z", "0-255"
  // Where the value lives: exactly one of these is set, and says the field's kind.
  std::string TargetRecord::*text = nullptr;
  double TargetRecord::*number = nullptr;
  long long TargetRecord::*whole = nullptr;
  Vec3 TargetRecord::*vector = nullptr;
  WholeRange range{0, 0};
};

extern const std::array<Field, 12> kFields;
// The fields' JSON keys, in the table's order: what a mistyped key is compared with.
std::vector<std::string> FieldKeys();

// The value as people read it: text quoted and escaped, numbers exact, vectors "[x, y, z]".
std::string FieldText(const TargetRecord& record, const Field& field);
// The bits of a number or a vector (none for text and whole numbers), for exact comparison
// and a stable order.
std::vector<std::uint64_t> FieldBits(const TargetRecord& record, const Field& field);
// Whether the two records hold the same value, bit for bit.
bool SameField(const TargetRecord& a, const TargetRecord& b, const Field& field);

}  // namespace artargets
