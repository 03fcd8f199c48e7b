// A JSON document written a piece at a time reads, byte for byte, as the whole tree dumped; any
// text streamed in pieces arrives whole.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "support/JsonOut.h"
#include "support/JsonPieces.h"
#include "support/SafeText.h"
#include "support/TextPieces.h"

namespace {

using artargets::Json;

// An object of `members`, each written with WriteJsonKey and WriteJsonElements (arrays, each
// element with WriteJson) or WriteJson, `depth` levels deep.
std::string Pieces(const Json& object, int depth) {
  std::ostringstream out;
  out << "{";
  bool first = true;
  for (const auto& [key, value] : object.items()) {
    artargets::WriteJsonKey(out, key.c_str(), depth, first);
    first = false;
    if (value.is_array())
      artargets::WriteJsonElements(out, value.size(), depth + 1,
                                   [&](std::string& text, std::size_t i) {
                                     std::ostringstream element;
                                     artargets::WriteJson(element, value[i], depth + 2);
                                     text += element.str();
                                   });
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

// Values appended one by one read as the library dumps them and SafeJson makes them safe: the
// escapes, the replaced bytes and the forms of numbers are the library's own.
TEST(JsonPieces, ValuesAppendedReadAsDumped) {
  const std::string texts[] = {"",
                               "plain words",
                               "quo\"te \\ back/slash",
                               std::string("nul\0 ctl\x01\x1f tab\tline\ncr\r\b\f", 25),
                               "del\x7f c1\xc2\x85 nbsp\xc2\xa0",
                               "caf\xc3\xa9 \xf0\x9f\x98\x80",
                               "bad\xff cut\xe2\x82"
                               "A over\xc0\xaf sur\xed\xa0\x80"};
  for (const std::string& text : texts) {
    SCOPED_TRACE(testing::PrintToString(text));
    std::string out;
    artargets::AppendJsonText(out, text);
    EXPECT_EQ(out,
              artargets::SafeJson(Json(text).dump(-1, ' ', false, Json::error_handler_t::replace)));
  }
  const double reals[] = {0.0,   -0.0,  1.0,    2.5, 0.1,     1.0 / 3, 1e-5, 123456789012345678.0,
                          1e300, -7.25, 4e-320, NAN, INFINITY};
  for (const double real : reals) {
    SCOPED_TRACE(real);
    std::string out;
    artargets::AppendJsonReal(out, real);
    EXPECT_EQ(out, Json(real).dump());
  }
  for (const long long whole : {0LL, -1LL, 42LL, std::numeric_limits<long long>::min()}) {
    std::string out;
    artargets::AppendJsonWhole(out, whole);
    EXPECT_EQ(out, Json(whole).dump());
  }
}

// Objects and arrays appended member by member, at any depth, read as the tree dumped there.
TEST(JsonPieces, ObjectsAppendedReadAsTheTreeDumped) {
  struct Row {
    const char* what;
    std::function<void(artargets::JsonObjectOut&)> members;
    Json tree;
  };
  const std::vector<int> none, three = {3, 1, 2};
  const Row rows[] = {
      {"empty", [](artargets::JsonObjectOut&) {}, Json::object()},
      {"scalars",
       [](artargets::JsonObjectOut& o) {
         o.Text("t", "a\"b");
         o.Whole("n", -3);
         o.Real("r", 0.5);
         o.Flag("yes", true);
         o.Flag("no", false);
         o.Null("none");
       },
       Json{{"t", "a\"b"}, {"n", -3}, {"r", 0.5}, {"yes", true}, {"no", false}, {"none", nullptr}}},
      {"arrays",
       [&](artargets::JsonObjectOut& o) {
         artargets::AppendJsonWholes(o.Key("empty"), none, o.ValueDepth());
         artargets::AppendJsonWholes(o.Key("three"), three, o.ValueDepth());
       },
       Json{{"empty", Json::array()}, {"three", {3, 1, 2}}}},
      {"nested",
       [](artargets::JsonObjectOut& o) {
         artargets::JsonObjectOut inner(o.Key("inner"), o.ValueDepth());
         inner.Real("x", 1);
         inner.End();
         artargets::JsonObjectOut empty(o.Key("empty"), o.ValueDepth());
         empty.End();
         o.Text("after", "\x7f");
       },
       Json{{"inner", {{"x", 1.0}}}, {"empty", Json::object()}, {"after", "\x7f"}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    for (const int depth : {0, 3}) {
      std::string out;
      artargets::JsonObjectOut object(out, depth);
      row.members(object);
      object.End();
      const std::string pad(std::size_t(depth) * 2, ' ');
      std::string dumped = artargets::SafeJson(row.tree.dump(2));
      for (std::size_t at = 0; (at = dumped.find('\n', at)) != std::string::npos; ++at)
        dumped.insert(at + 1, pad);
      EXPECT_EQ(out, dumped) << "at depth " << depth;
    }
  }
}

// An array written to a stream comes out whole however its pieces are cut.
TEST(JsonPieces, ElementsWrittenReadAsTheArrayDumped) {
  for (const std::size_t count : {std::size_t(0), std::size_t(1), std::size_t(20000)}) {
    Json tree = Json::array();
    for (std::size_t i = 0; i < count; ++i) tree.push_back(Json{{"at", i}});
    std::ostringstream out;
    artargets::WriteJsonElements(out, count, 0, [](std::string& text, std::size_t i) {
      artargets::JsonObjectOut object(text, 1);
      object.Whole("at", static_cast<long long>(i));
      object.End();
    });
    EXPECT_EQ(out.str(), tree.dump(2)) << count << " elements";
  }
}

// A text streamed in pieces arrives whole, in pieces of at most 64 KB; once one is refused the
// stream is bad and hands on nothing more; an empty text hands on nothing.
TEST(PiecesStream, HandsOnTheWholeTextInBoundedPiecesUntilOneIsRefused) {
  std::string text, got;
  std::size_t pieces = 0, largest = 0;
  artargets::PiecesStream out([&](std::string_view piece) {
    ++pieces, largest = std::max(largest, piece.size()), got += piece;
    return true;
  });
  for (int i = 0; i < 30000; ++i) {
    out << "row " << i << "\n";
    text += "row " + std::to_string(i) + "\n";
  }
  EXPECT_TRUE(out.Finish());
  EXPECT_EQ(got, text);
  EXPECT_GT(pieces, 2u);
  EXPECT_LE(largest, std::size_t{1} << 16);
  std::size_t offered = 0;
  artargets::PiecesStream refused([&](std::string_view) { return ++offered, false; });
  refused << text << text;
  EXPECT_FALSE(refused.Finish());
  EXPECT_EQ(offered, 1u);
  std::size_t none = 0;
  artargets::PiecesStream empty([&](std::string_view) { return ++none, true; });
  EXPECT_TRUE(empty.Finish());
  EXPECT_EQ(none, 0u);
}

}  // namespace
