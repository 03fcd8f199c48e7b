// Comparing targets field by field (the field table, TargetFields.h): whether two hold the same
// values, and the order every listing uses. Apart from TargetRecord.h, which the table uses.
#pragma once

#include <vector>

#include "targets/TargetRecord.h"

namespace artargets {

// Whether the two hold the same values bit for bit (NaN payloads and signed zeros included).
bool SameRecord(const TargetRecord& a, const TargetRecord& b);

// By name, then id: the order every listing uses, so that output is reproducible.
void SortByNameThenId(std::vector<TargetRecord>& records);

}  // namespace artargets
