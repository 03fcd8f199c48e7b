// A JSON document written a piece at a time reads, byte for byte, as the whole tree dumped.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/JsonPieces.h"
#include "support/SafeText.h"

namespace {

using artargets::Json;

// An object of `members`, each written with WriteJsonKey and WriteJsonArray (arrays) or
// WriteJson, `depth` levels deep.
std::string Pieces(const Json& object, int depth) {
  std::ostringstream out;
  out << "{";
  bool first = true;
  for (const auto& [key, value] : object.items()) {
    artargets::WriteJsonKey(out, key.c_str(), depth, first);
    first = false;
    if (value.is_array())
      artargets::WriteJsonArray(out, value.size(), depth + 1,
                                [&](std::size_t i) { return value[i]; });
    else
      artargets::WriteJson(out, value, depth + 1);
  }
  out << "\n" << std::string(std::size_t(depth) * 2, ' ') << "}";
  return out.str();
}

TEST(JsonPieces, ReadAsTheWholeTreeDumped) {
  const Json rows[] = {
      Json{{"a", 1}},
      Json{{"empty", Json::array()}, {"none", nullptr}, {"text", "two\nlines \u0085"}},
      Json{{"objects", {Json{{"x", {1, 2}}}, Json{{"y", Json::object()}}}}, {"n", 2.5}},
      Json{{"nested", {{1, {2, 3}}, Json::array()}}},
  };
  for (const Json& row : rows) {
    SCOPED_TRACE(row.dump());
    EXPECT_EQ(Pieces(row, 0), artargets::SafeJson(row.dump(2)));
    // Inside an array of an object, as the files of several are written.
    const Json outer = {{"files", {row}}};
    std::ostringstream out;
    out << "{";
    artargets::WriteJsonKey(out, "files", 0, true);
    out << "[\n    " << Pieces(row, 2) << "\n  ]\n}";
    EXPECT_EQ(out.str(), artargets::SafeJson(outer.dump(2)));
  }
}

}  // namespace
