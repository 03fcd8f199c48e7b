// The JSON the tool reads and writes: objects keep their keys in the order they are set, so
// that every JSON output lists its fields in one documented order.
#pragma once

#include <nlohmann/json.hpp>

namespace artargets {

using Json = nlohmann::ordered_json;

}  // namespace artargets
