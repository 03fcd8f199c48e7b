// Bulk edits (import --update, import --csv): many targets changed or added from a table in one
// save. The table is a JSON array of partial targets (JsonForm.h) or CSV whose header row names
// the JSON keys as columns. Every element names its target, by "name" or, with `byId`, by the
// "id" of type-1 targets as a host finds them, and sets only the keys it holds; a name that no
// target has adds a target with add's defaults. Nothing is saved unless every element applies.
#pragma once

#include <string>
#include <vector>

#include "targets/PartialTarget.h"

namespace artargets {

// The rows of CSV `text` as partial targets ("row 2" is the first after the header): an empty
// cell gives nothing, a vector's cell holds its three numbers separated by spaces ("0 1 0").
// Throws UsageError naming the row and the column for a missing "name" column (or "id" column
// with `byId`), an unknown or repeated column, a row of the wrong width or a bad value.
std::vector<PartialTarget> PartialsFromCsv(const std::string& text, bool byId);

// Lays each partial over the targets it names in `records`, or adds it. False, with why in
// `error`, when an element names no target by id, or names several; `records` is then partly
// changed and must not be saved. Throws UsageError for an element that names no target.
// `changed`, when given, says whether the targets differ afterwards: a target was added, or one
// holds another value than before (elements that change a value and then change it back
// change nothing).
bool ApplyUpdates(std::vector<TargetRecord>& records, const std::vector<PartialTarget>& partials,
                  bool byId, std::string& error, bool* changed = nullptr);

}  // namespace artargets
