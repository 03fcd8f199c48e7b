// The JSON form of targets (list --json, export, import): one array of objects with the keys
// "name", "image", "width", "height", "type", "id", "center", "normal", "xdir", "ydir", "shape"
// and "rotation"; the centre and the directions as arrays of three numbers. Numbers are written
// in the shortest form that reads back to the same bits; values JSON has no number for are
// strings: "nan", "inf", "-inf" (and "-nan" or "nan(0xHEX)" for the rare NaNs that carry a sign
// or a payload), so that export and import reproduce a file exactly.
#pragma once

#include <nlohmann/json_fwd.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "support/TextPieces.h"
#include "targets/PartialTarget.h"
#include "targets/TargetRecord.h"

namespace artargets {

struct Field;

// One field's value and one target as JSON values, in the form above.
nlohmann::ordered_json FieldJson(const TargetRecord& record, const Field& field);
nlohmann::ordered_json RecordJson(const TargetRecord& record);
// Pretty-printed, with a final line feed, safe for a terminal (SafeText.h).
std::string DumpJson(const nlohmann::ordered_json& value);

// The text of `records` in the form above, exactly as DumpJson writes the whole array, handed
// to `put` a piece of some 64 KB at a time: a million targets are written without their text
// (420 MB) standing in memory. Stops at the first piece `put` refuses, and gives false.
bool WriteJsonTargets(const std::vector<TargetRecord>& records, const TextPieces& put);
// The same text whole.
std::string ToJsonText(const std::vector<TargetRecord>& records);
// The elements of `text`, a JSON array of objects, each holding some of the keys above. False,
// with why in `error`, when `text` is not JSON. Throws UsageError, naming the target, for
// anything else that is wrong: not an array, an element that is no object, an unknown or
// repeated key, a value of the wrong kind, a whole number the target file cannot hold.
bool FromJsonText(const std::string& text, std::vector<PartialTarget>& partials,
                  std::string& error);
// The same, made whole targets (see WholeTargets).
bool FromJsonText(const std::string& text, std::vector<TargetRecord>& records, std::string& error);

}  // namespace artargets
