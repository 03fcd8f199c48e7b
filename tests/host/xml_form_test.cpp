// The XML form of serialized content: exact text, lossless round trips, tolerant reading.
#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "HostTest.h"
#include "dg/XmlElem.h"
#include "orl/SerializedContent.h"
#include "serializedContent/ValueText.h"
#include "serializedContent/XmlParser.h"
#include "serializedContent/XmlWriter.h"

namespace {

using du::SmartPtr;
using du::Symbol;
using orl::SerializedContentElement;

std::string Render(const SerializedContentElement& top) {
  dg::XmlElem* root = dg::NewXmlElem("targets", false);
  serializedContent::XmlWriter writer(root);
  top.Visit(writer, true);
  std::string text;
  dg::WriteXmlCloseTags(root, text, 0);
  dg::FreeXml(root);
  return text;
}

SmartPtr<SerializedContentElement> ReadBack(const std::string& text,
                                            std::vector<std::string>* problems = nullptr) {
  dg::XmlElem* root = dg::ParseXmlFromString(text, false, nullptr);
  EXPECT_NE(root, nullptr) << text;
  auto top = SerializedContentElement::CreateTopElement(Symbol("targets"));
  serializedContent::XmlParser parser;
  parser.Parse(root, top.get());
  if (problems) *problems = parser.GetProblems();
  dg::FreeXml(root);
  return top;
}

// Bitwise equality, so that -0.0 and NaN payloads count.
template <class T>
bool Same(const T& a, const T& b) {
  if constexpr (std::is_same_v<T, double>)
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
  else if constexpr (std::is_same_v<T, float>)
    return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
  else if constexpr (std::is_same_v<T, dg::DPoint3D> || std::is_same_v<T, dg::DVec3>)
    return Same(a.x, b.x) && Same(a.y, b.y) && Same(a.z, b.z);
  else
    return a == b;
}

void ExpectSameTree(const SerializedContentElement& a, const SerializedContentElement& b) {
  ASSERT_EQ(a.GetName(), b.GetName());
  ASSERT_EQ(a.GetProperties().size(), b.GetProperties().size()) << a.GetName().str();
  for (std::size_t i = 0; i < a.GetProperties().size(); ++i) {
    const auto& pa = a.GetProperties()[i];
    const auto& pb = b.GetProperties()[i];
    EXPECT_EQ(pa.key, pb.key);
    ASSERT_EQ(pa.value.index(), pb.value.index()) << pa.key.str();
    std::visit(
        [&](const auto& va) {
          EXPECT_TRUE(Same(va, std::get<std::decay_t<decltype(va)>>(pb.value))) << pa.key.str();
        },
        pa.value);
  }
  ASSERT_EQ(a.GetChildCount(), b.GetChildCount());
  for (std::size_t i = 0; i < a.GetChildCount(); ++i)
    ExpectSameTree(*a.GetChild(i), *b.GetChild(i));
}

using XmlFormTest = artest::HostTest;

TEST_F(XmlFormTest, WritesOneReadableLinePerProperty) {
  auto top = SerializedContentElement::CreateTopElement(Symbol("targets"));
  auto* content = top->StartContent(Symbol("arcontent"));
  auto* target = content->StartContent(Symbol("artarget"));
  target->AddProperty(Symbol("artargetversion"), static_cast<unsigned char>(0));
  target->AddProperty(Symbol("artargetname"), "Door <main> & \"side\"");
  target->AddProperty(Symbol("artargetwidth"), 0.1);
  target->AddProperty(Symbol("artargetid"), -7);
  target->AddProperty(Symbol("artargetcenter"), dg::DPoint3D{1, -0.0, 1e300});
  target->AddProperty(Symbol("flag"), true);
  target->AddProperty(Symbol("ratio"), 0.25f);
  target->AddProperty(Symbol("artargetnormal"), dg::DVec3{0, 0, 1});
  EXPECT_EQ(
      Render(*top),
      "<targets>\n"
      "  <content name=\"arcontent\">\n"
      "    <content name=\"artarget\">\n"
      "      <uint8 key=\"artargetversion\" value=\"0\" />\n"
      "      <string key=\"artargetname\" value=\"Door &lt;main> &amp; &quot;side&quot;\" />\n"
      "      <double key=\"artargetwidth\" value=\"0.1\" />\n"
      "      <int key=\"artargetid\" value=\"-7\" />\n"
      "      <point key=\"artargetcenter\" x=\"1\" y=\"-0\" z=\"1e+300\" />\n"
      "      <bool key=\"flag\" value=\"true\" />\n"
      "      <float key=\"ratio\" value=\"0.25\" />\n"
      "      <vector key=\"artargetnormal\" x=\"0\" y=\"0\" z=\"1\" />\n"
      "    </content>\n"
      "  </content>\n"
      "</targets>\n");
}

TEST_F(XmlFormTest, ExtremeValuesSurviveBitForBit) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double payloadNan = std::bit_cast<double>(std::uint64_t{0x7ff0000000000123});
  const double negativeNan = std::bit_cast<double>(std::uint64_t{0xfff8000000000000});
  const double doubles[] = {DBL_MAX,
                            -DBL_MAX,
                            DBL_MIN,
                            DBL_TRUE_MIN,
                            4.9e-320,
                            -0.0,
                            0.0,
                            0.1,
                            1.0 / 3.0,
                            nan,
                            payloadNan,
                            negativeNan,
                            std::numeric_limits<double>::infinity(),
                            -std::numeric_limits<double>::infinity()};
  const std::string texts[] = {"",
                               " leading",
                               "trailing ",
                               "\ttabs\t",
                               "line\nbreak",
                               "cr\r\nlf",
                               "<>&\"'",
                               "naïve 日本語 🎯",
                               "   ",
                               std::string("ctl\x01\x1f", 5),
                               std::string("bad\xff\xfe", 5),
                               std::string("nul\0in", 6)};
  auto top = SerializedContentElement::CreateTopElement(Symbol("targets"));
  auto* e = top->StartContent(Symbol("all values"));
  for (double d : doubles) {
    e->AddProperty(Symbol("d"), d);
    e->AddProperty(Symbol("f"), static_cast<float>(d));
    e->AddProperty(Symbol("p"), dg::DPoint3D{d, -d, d});
  }
  e->AddProperty(Symbol("f"), FLT_TRUE_MIN);
  for (int i : {INT_MIN, INT_MAX, 0, -1}) e->AddProperty(Symbol("i"), i);
  for (int u : {0, 255}) e->AddProperty(Symbol("u"), static_cast<unsigned char>(u));
  for (bool b : {true, false}) e->AddProperty(Symbol("b"), b);
  for (const std::string& s : texts) {
    e->AddProperty(Symbol("s"), Symbol(s));
    e->AddProperty(Symbol(s.empty() ? "key" : s), Symbol("odd key"));
    e->StartContent(Symbol(s.empty() ? "c" : s))->EndContent();
  }
  std::vector<std::string> problems;
  auto back = ReadBack(Render(*top), &problems);
  EXPECT_TRUE(problems.empty()) << problems.front();
  ExpectSameTree(*top, *back);
}

TEST_F(XmlFormTest, UnreadablePartsAreSkippedAndReported) {
  std::vector<std::string> problems;
  auto top = ReadBack(
      "<targets>"
      "<content name=\"artarget\">"
      "<double key=\"artargetwidth\" value=\"wide\"/>"
      "<int key=\"artargetid\" value=\"12\"/>"
      "<uint8 key=\"artargettype\" value=\"300\"/>"
      "<colour key=\"tint\" value=\"red\"/>"
      "<string value=\"no key\"/>"
      "<point key=\"artargetcenter\" x=\"1\" y=\"2\"/>"
      "</content>"
      "<content/>"
      "</targets>",
      &problems);
  ASSERT_EQ(top->GetChildCount(), 1u);
  const auto& kept = top->GetChild(0)->GetProperties();
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(kept[0].key, Symbol("artargetid"));
  EXPECT_EQ(problems,
            (std::vector<std::string>{
                "in content 'artarget': double 'artargetwidth' has the unreadable value 'wide'",
                "in content 'artarget': uint8 'artargettype' has the unreadable value '300'",
                "in content 'artarget': unknown element 'colour'",
                "in content 'artarget': string without a key",
                "in content 'artarget': point 'artargetcenter' has an unreadable x, y or z",
                "in content 'targets': content without a name"}));
}

TEST_F(XmlFormTest, DeepNestingRoundTrips) {
  constexpr int kDepth = 5000;
  auto top = SerializedContentElement::CreateTopElement(Symbol("targets"));
  SerializedContentElement* e = top.get();
  for (int i = 0; i < kDepth; ++i) e = e->StartContent(Symbol("n"));
  e->AddProperty(Symbol("depth"), kDepth);
  auto back = ReadBack(Render(*top));
  const SerializedContentElement* walk = back.get();
  for (int i = 0; i < kDepth && walk; ++i) walk = walk->GetChild(0);
  ASSERT_NE(walk, nullptr);
  ASSERT_EQ(walk->GetProperties().size(), 1u);
  EXPECT_EQ(std::get<int>(walk->GetProperties()[0].value), kDepth);
}

TEST(ValueTextTest, NumbersUseTheShortestExactForm) {
  using namespace serializedContent;
  EXPECT_EQ(FormatDouble(0.1), "0.1");
  EXPECT_EQ(FormatDouble(-0.0), "-0");
  EXPECT_EQ(FormatDouble(DBL_TRUE_MIN), "5e-324");
  EXPECT_EQ(FormatDouble(std::numeric_limits<double>::quiet_NaN()), "nan");
  EXPECT_EQ(FormatDouble(-std::numeric_limits<double>::infinity()), "-inf");
  EXPECT_EQ(FormatDouble(std::bit_cast<double>(std::uint64_t{0xfff0000000000001})),
            "-nan(0x7ff0000000000001)");
  double d = 0;
  EXPECT_FALSE(ParseDouble("1.5x", d));
  EXPECT_FALSE(ParseDouble("", d));
  EXPECT_FALSE(ParseDouble(" 1", d));
  EXPECT_FALSE(ParseDouble("nan(0x1)", d)) << "a payload that is not a NaN";
  EXPECT_TRUE(ParseDouble("1e-400", d) || d == 0.0) << "underflow reads as zero or fails";
  int i = 0;
  EXPECT_FALSE(ParseInt("2147483648", i));
  unsigned char u = 0;
  EXPECT_FALSE(ParseUInt8("-1", u));
  bool b = false;
  EXPECT_FALSE(ParseBool("True", b));
}

}  // namespace
