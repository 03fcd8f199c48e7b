// Serialized content: the tree, its walk, and its XML form: exact text, lossless round trips,
// tolerant reading. Under it, the XML element tree: built, printed, parsed, and why a parse fails.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <bit>
#include <cfloat>
#include <climits>
#include <cstdint>
#include <iterator>
#include <limits>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "HostTest.h"
#include "TempDir.h"
#include "dg/XmlElem.h"
#include "orl/SerializedContent.h"
#include "serializedContent/ValueText.h"
#include "serializedContent/XmlParser.h"
#include "serializedContent/XmlWriter.h"

namespace {

using du::SmartPtr;
using du::Symbol;
using orl::SerializedContentElement;

using Trace = std::vector<std::string>;

// Writes down the walk; refuses to enter the element named `skip`; ends with `verdict`.
class Tracer : public orl::SerializedContentVisitor {
 public:
  using orl::SerializedContentVisitor::Visit;
  Trace trace;
  std::string skip;
  bool verdict = true;

  bool StartElement(const Symbol& name, const SerializedContentElement*) override {
    trace.push_back("start " + name.str());
    return name.str() != skip;
  }
  bool EndElement(const Symbol& name) override {
    trace.push_back("end " + name.str());
    return verdict;
  }
  void Visit(const Symbol& k, int v) override { Note(k, "int " + std::to_string(v)); }
  void Visit(const Symbol& k, unsigned char v) override { Note(k, "uint8 " + std::to_string(v)); }
  void Visit(const Symbol& k, double) override { Note(k, "double"); }
  void Visit(const Symbol& k, float) override { Note(k, "float"); }
  void Visit(const Symbol& k, bool) override { Note(k, "bool"); }
  void Visit(const Symbol& k, const Symbol& v) override { Note(k, "symbol " + v.str()); }
  void Visit(const Symbol& k, const dg::DPoint3D&) override { Note(k, "point"); }
  void Visit(const Symbol& k, const dg::DVec3&) override { Note(k, "vector"); }
  void EndAttributes() override { trace.push_back("|"); }

 private:
  void Note(const Symbol& k, const std::string& what) { trace.push_back(k.str() + "=" + what); }
};

class SerializedContentTest : public artest::HostTest {
 protected:
  // top(a=1, every kind of value) { first(b) { inner }, second(c) }
  SmartPtr<SerializedContentElement> SampleTree() {
    auto top = SerializedContentElement::CreateTopElement(Symbol("top"));
    top->AddProperty(Symbol("a"), 1);
    top->AddProperty(Symbol("d"), 0.5);
    top->AddProperty(Symbol("f"), 0.5f);
    top->AddProperty(Symbol("b"), true);
    top->AddProperty(Symbol("s"), "literal");  // a C string is text, not a bool
    top->AddProperty(Symbol("p"), dg::DPoint3D{1, 2, 3});
    top->AddProperty(Symbol("v"), dg::DVec3{4, 5, 6});
    auto* first = top->StartContent(Symbol("first"));
    first->AddProperty(Symbol("u"), static_cast<unsigned char>(2));
    first->StartContent(Symbol("inner"))->EndContent();
    first->EndContent();
    top->StartContent(Symbol("second"))->EndContent();
    return top;
  }
};

TEST_F(SerializedContentTest, WalkVisitsPropertiesThenChildrenAndSkipsWhatIsRefused) {
  const Trace properties{"start top",        "a=int 1", "d=double", "f=float", "b=bool",
                         "s=symbol literal", "p=point", "v=vector", "|"};
  struct Row {
    const char* skip;
    bool descend;
    Trace rest;
  };
  const Row rows[] = {
      {"",
       true,
       {"start first", "u=uint8 2", "|", "start inner", "|", "end inner", "end first",
        "start second", "|", "end second", "end top"}},
      {"first", true, {"start first", "start second", "|", "end second", "end top"}},
      {"", false, {"end top"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.skip + std::string(row.descend ? " descending" : ""));
    Tracer tracer;
    tracer.skip = row.skip;
    EXPECT_TRUE(SampleTree()->Visit(tracer, row.descend));
    Trace expected = properties;
    expected.insert(expected.end(), row.rest.begin(), row.rest.end());
    EXPECT_EQ(tracer.trace, expected);
  }
  Tracer disagreeing;
  disagreeing.verdict = false;
  EXPECT_FALSE(SampleTree()->Visit(disagreeing, true)) << "the verdict on the element itself";
  EXPECT_EQ(disagreeing.trace.back(), "end top") << "inner verdicts do not stop the walk";
  Tracer refusing;
  refusing.skip = "top";
  EXPECT_FALSE(SampleTree()->Visit(refusing, true));
  EXPECT_EQ(refusing.trace, Trace{"start top"});
}

// Properties come back as added, whatever their number; an ended element takes nothing more.
TEST_F(SerializedContentTest, PropertiesComeBackAsAddedAndAnEndedElementTakesNoMore) {
  // Values of every kind, each distinct, so that a value stored in the wrong place, cut, or
  // lost while the list grows shows; siblings of different lengths reserve from each other.
  const auto expected = [](int count) {
    std::vector<SerializedContentElement::Property> properties;
    for (int i = 0; i < count; ++i) {
      const Symbol key("key" + std::to_string(i));
      const double d = i + 0.25;
      const SerializedContentElement::Value values[] = {static_cast<unsigned char>(200 + i % 50),
                                                        -i * 1000003,
                                                        d,
                                                        static_cast<float>(-d),
                                                        i % 3 == 0,
                                                        Symbol("text " + std::to_string(i)),
                                                        dg::DPoint3D{d, -d, 2 * d},
                                                        dg::DVec3{-d, d, 3 * d}};
      properties.push_back({key, values[i % 8]});
    }
    return properties;
  };
  auto top = SerializedContentElement::CreateTopElement(Symbol("top"));
  for (const int count : {0, 1, 2, 37, 5, 200, 3}) {
    SCOPED_TRACE(count);
    SerializedContentElement* child = top->StartContent(Symbol("child"));
    for (const auto& [key, value] : expected(count))
      std::visit([&](const auto& v) { child->AddProperty(key, v); }, value);
    child->EndContent();
    const auto properties = child->GetProperties();
    EXPECT_EQ(properties.size(), static_cast<std::size_t>(count));
    EXPECT_TRUE(properties == expected(count));
  }
  top->EndContent();
  EXPECT_TRUE(top->IsEnded());
  EXPECT_THROW(top->EndContent(), std::logic_error);
  EXPECT_THROW(top->AddProperty(Symbol("k"), 1), std::logic_error);
  EXPECT_THROW(top->StartContent(Symbol("child")), std::logic_error);
  EXPECT_TRUE(top->GetProperties().empty());
}

TEST_F(SerializedContentTest, DeepTreesAreWalkedAndFreedWithoutRecursion) {
  constexpr int kDepth = 200000;
  auto top = SerializedContentElement::CreateTopElement(Symbol("level"));
  SerializedContentElement* deepest = top.get();
  for (int i = 0; i < kDepth; ++i) deepest = deepest->StartContent(Symbol("level"));
  deepest->AddProperty(Symbol("bottom"), 1);
  Tracer tracer;
  EXPECT_TRUE(top->Visit(tracer, true));
  EXPECT_EQ(tracer.trace.size(), 3u * (kDepth + 1) + 1);
  EXPECT_EQ(tracer.trace[2 * kDepth + 1], "bottom=int 1");
  top = nullptr;  // the fixture checks that all of it is gone
}

// The tree written as XML, printed while the writer lives, once it is gone, and again once
// something has looked into the tree (which parses what the writer printed into nodes): all
// three are the same text, so the writer prints exactly what pugixml prints for its nodes.
std::string Render(const SerializedContentElement& top) {
  const dg::XmlTree root(dg::NewXmlElem("targets", false));
  std::string text, after, parsed;
  {
    serializedContent::XmlWriter writer(root.get());
    top.Visit(writer, true);
    dg::WriteXmlCloseTags(root.get(), text, 0);
  }
  dg::WriteXmlCloseTags(root.get(), after, 0);
  EXPECT_EQ(after, text);
  root->FindChild("content");
  dg::WriteXmlCloseTags(root.get(), parsed, 0);
  EXPECT_EQ(parsed, text);
  return text;
}

SmartPtr<SerializedContentElement> ReadBack(const std::string& text,
                                            std::vector<std::string>* problems = nullptr) {
  const dg::XmlTree root(dg::ParseXmlFromString(text, false, nullptr));
  EXPECT_NE(root, nullptr) << text;
  auto top = SerializedContentElement::CreateTopElement(Symbol("targets"));
  serializedContent::XmlParser parser;
  parser.Parse(root.get(), top.get());
  if (problems) *problems = parser.GetProblems();
  std::string left;  // the reading takes out what it has read
  dg::WriteXmlCloseTags(root.get(), left, 0);
  EXPECT_EQ(left, "<targets />\n");
  return top;
}

using XmlFormTest = artest::HostTest;

TEST_F(XmlFormTest, WritesOneReadableLinePerProperty) {
  auto top = SerializedContentElement::CreateTopElement(Symbol("targets"));
  auto* target = top->StartContent(Symbol("arcontent"))->StartContent(Symbol("artarget"));
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

// Every value and every text, however odd, is read back bit for bit, at any depth; the
// second render of what was read is the first one.
TEST_F(XmlFormTest, ExtremeValuesAndDeepTreesSurviveBitForBit) {
  const double nan = std::numeric_limits<double>::quiet_NaN(),
               inf = std::numeric_limits<double>::infinity(),
               payload = std::bit_cast<double>(std::uint64_t{0x7ff0000000000123}),
               negativeNan = std::bit_cast<double>(std::uint64_t{0xfff8000000000000});
  const double doubles[] = {DBL_MAX, -DBL_MAX,  DBL_MIN, DBL_TRUE_MIN, 4.9e-320,    -0.0, 0.0,
                            0.1,     1.0 / 3.0, nan,     payload,      negativeNan, inf,  -inf};
  using namespace std::string_literals;
  const std::string texts[] = {
      "",       " leading",       "trailing ", "\ttabs\t",     "line\nbreak",  "cr\r\nlf",
      "<>&\"'", "naïve 日本語 🎯", "   ",       "ctl\x01\x1f"s, "bad\xff\xfe"s, "nul\0in"s};
  auto top = SerializedContentElement::CreateTopElement(Symbol("targets"));
  auto* e = top->StartContent(Symbol("all values"));
  for (double d : doubles) {
    e->AddProperty(Symbol("d"), d);
    e->AddProperty(Symbol("f"), static_cast<float>(d));
    e->AddProperty(Symbol("p"), dg::DPoint3D{d, -d, d});
  }
  e->AddProperty(Symbol("f"), FLT_TRUE_MIN);
  for (int i = 0; i < 100; ++i) e->AddProperty(Symbol("key " + std::to_string(i)), i);
  for (int i : {INT_MIN, INT_MAX, 0, -1}) e->AddProperty(Symbol("i"), i);
  for (int u : {0, 255}) e->AddProperty(Symbol("u"), static_cast<unsigned char>(u));
  for (bool b : {true, false}) e->AddProperty(Symbol("b"), b);
  for (const std::string& s : texts) {
    e->AddProperty(Symbol("s"), Symbol(s));
    e->AddProperty(Symbol(s.empty() ? "key" : s), Symbol("odd key"));
    e->StartContent(Symbol(s.empty() ? "c" : s))->EndContent();
  }
  SerializedContentElement* deep = e;
  for (int i = 0; i < 1000; ++i) deep = deep->StartContent(Symbol("n"));
  deep->AddProperty(Symbol("depth"), 1000);
  const std::string text = Render(*top);
  std::vector<std::string> problems;
  auto back = ReadBack(text, &problems);
  EXPECT_TRUE(problems.empty()) << problems.front();
  // The writer gives every value its one exact text (tested above), so equal texts are
  // equal trees, bit for bit: -0 is not 0 and every NaN payload has its own text.
  EXPECT_EQ(Render(*back), text);
  // Equal renders would not show a text cut at a NUL on both sides: keys, names and strings
  // come back whole, those XML cannot carry included.
  const auto sent = top->GetChild(0)->GetProperties(), got = back->GetChild(0)->GetProperties();
  ASSERT_EQ(got.size(), sent.size());
  for (std::size_t i = 0; i < sent.size(); ++i) {
    EXPECT_EQ(got[i].key, sent[i].key);
    if (const auto* string = std::get_if<Symbol>(&sent[i].value)) {
      EXPECT_EQ(std::get<Symbol>(got[i].value), *string);
    }
  }
  for (std::size_t i = 0; i + 1 < top->GetChild(0)->GetChildCount(); ++i)  // the last: the chain
    EXPECT_EQ(back->GetChild(0)->GetChild(i)->GetName(), top->GetChild(0)->GetChild(i)->GetName());
}

TEST_F(XmlFormTest, UnreadablePartsAreSkippedAndReported) {
  std::string deep;  // no depth exhausts the stack
  for (int i = 0; i < 800000; ++i) deep += i < 400000 ? "<x>" : "</x>";
  std::vector<std::string> problems, watched;
  std::vector<const SerializedContentElement*> watchedTrees;
  struct Unwatch {
    ~Unwatch() { serializedContent::XmlParser::Watch(nullptr); }
  } unwatch;  // a failed check must not leave a watcher on these locals behind
  serializedContent::XmlParser::Watch(
      [&](const SerializedContentElement& tree, const std::vector<std::string>& found) {
        watchedTrees.push_back(&tree);
        watched = found;
      });
  auto top = ReadBack(
      "<targets><content name=\"artarget\">"
      "<double key=\"artargetwidth\" value=\"wide\"/>"
      "<int key=\"artargetid\" value=\"12\"/>"
      "<uint8 key=\"artargettype\" value=\"300\"/>"
      "<int key=\"big\" value=\"99999999999999999999\"/>"
      "<colour key=\"tint\" value=\"red\">" +
          deep +
          "</colour>"
          "<string value=\"no key\"/>"
          "<point key=\"artargetcenter\" x=\"1\" y=\"2\"/>"
          "</content><content/></targets>",
      &problems);
  ASSERT_EQ(top->GetChildCount(), 1u);
  const auto& kept = top->GetChild(0)->GetProperties();
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(kept[0].key, Symbol("artargetid"));
  const std::string in = "in content 'artarget': ";
  EXPECT_EQ(
      problems,
      (std::vector<std::string>{
          in + "double 'artargetwidth' has the unreadable value 'wide'",
          in + "uint8 'artargettype' has the out-of-range value '300' (a uint8 holds 0 to 255)",
          in + "int 'big' has the out-of-range value '99999999999999999999' (an int holds "
               "-2147483648 to 2147483647)",
          in + "unknown element 'colour'", in + "string without a key",
          in + "point 'artargetcenter' has an unreadable x, y or z",
          "in content 'targets': content without a name"}));
  // A watcher sees each filled tree once, with what was skipped, until it is taken away.
  EXPECT_EQ(watchedTrees, std::vector<const SerializedContentElement*>{top.get()});
  EXPECT_EQ(watched, problems);
  serializedContent::XmlParser::Watch(nullptr);
  ReadBack("<targets/>");
  EXPECT_EQ(watchedTrees.size(), 1u);
}

// What a writer appends comes after what its element held, before what is added to it later,
// indented for wherever it is printed, and the same once anything has read the tree.
TEST_F(XmlFormTest, WrittenChildrenKeepTheirPlaceWhereverTheTreeIsPrintedOrRead) {
  auto one = SerializedContentElement::CreateTopElement(Symbol("top"));
  one->StartContent(Symbol("w"))->AddProperty(Symbol("n"), 1);
  const auto write = [&](dg::XmlElem* under) {
    serializedContent::XmlWriter writer(under);
    one->Visit(writer, true);
  };
  const std::string written = "<content name=\"w\">\n  <int key=\"n\" value=\"1\" />\n</content>\n";
  const auto indented = [&](int spaces) {
    std::string text;
    for (std::size_t at = 0, end; at < written.size(); at = end + 1) {
      end = written.find('\n', at);
      text += std::string(spaces, ' ') + written.substr(at, end - at + 1);
    }
    return text;
  };
  struct Case {
    const char* what;
    const char* tree;  // parsed; the writer writes under the first child of its root
    int writers;       // how many write the same children one after the other
    bool addAfter;     // then an element <after/> is added under the same element
    bool printInner;   // print that element at level 3 instead of the root at level 0
    std::string expected;
  };
  const Case cases[] = {
      {"after the element's own children", "<r><a><old/></a></r>", 1, false, false,
       "<r>\n  <a>\n    <old />\n" + indented(4) + "  </a>\n</r>\n"},
      {"two writers, in their order", "<r><a/></r>", 2, false, false,
       "<r>\n  <a>\n" + indented(4) + indented(4) + "  </a>\n</r>\n"},
      {"before a child added later", "<r><a/></r>", 1, true, false,
       "<r>\n  <a>\n" + indented(4) + "    <after />\n  </a>\n</r>\n"},
      {"indented for the level printed at", "<r><a/></r>", 1, false, true,
       "      <a>\n" + indented(8) + "      </a>\n"},
      {"beside text, printed as pugixml prints mixed content", "<r><a>text</a></r>", 1, false,
       false,
       "<r>\n  <a>text<content name=\"w\">\n      <int key=\"n\" value=\"1\" />\n"
       "    </content>\n  </a>\n</r>\n"},
  };
  for (const Case& c : cases) {
    const dg::XmlTree root(dg::ParseXmlFromString(c.tree, false, nullptr));
    ASSERT_NE(root, nullptr) << c.tree;
    dg::XmlElem* a = root->FindChild("a");
    for (int i = 0; i < c.writers; ++i) write(a);
    if (c.addAfter) dg::NewXmlElem("after", a);
    const auto print = [&] {
      std::string text = "kept";
      dg::WriteXmlCloseTags(c.printInner ? a : root.get(), text, c.printInner ? 3 : 0);
      return text;
    };
    const std::string printed = print();
    EXPECT_EQ(printed, "kept" + c.expected) << c.what;
    EXPECT_EQ(print(), printed) << c.what << ": printed twice";
    a->FindChild("content");
    EXPECT_EQ(print(), printed) << c.what << ": once the tree was read";
  }
}

// Contents come in the order of their keys at every depth, and those with equal keys in the
// order of their one-line texts: a content with fewer properties before one with more.
TEST_F(XmlFormTest, ContentsWithEqualKeysComeInTheOrderOfTheirText) {
  serializedContent::XmlWriter::SetContentOrder(
      [](const SerializedContentElement& content) { return content.GetName().str(); });
  auto top = SerializedContentElement::CreateTopElement(Symbol("targets"));
  SerializedContentElement* holder = top->StartContent(Symbol("holder"));
  auto* longer = holder->StartContent(Symbol("t"));
  longer->AddProperty(Symbol("k"), 1);
  longer->AddProperty(Symbol("k"), 2);
  holder->StartContent(Symbol("t"))->AddProperty(Symbol("k"), 1);
  holder->StartContent(Symbol("t"));
  SerializedContentElement* inner = holder->StartContent(Symbol("u"));
  inner->StartContent(Symbol("z"))->StartContent(Symbol("y"));
  inner->StartContent(Symbol("x"));
  holder->StartContent(Symbol("s"));
  const std::string text = Render(*top);
  serializedContent::XmlWriter::SetContentOrder(nullptr);
  EXPECT_EQ(text,
            "<targets>\n"
            "  <content name=\"holder\">\n"
            "    <content name=\"s\" />\n"
            "    <content name=\"t\" />\n"
            "    <content name=\"t\">\n"
            "      <int key=\"k\" value=\"1\" />\n"
            "    </content>\n"
            "    <content name=\"t\">\n"
            "      <int key=\"k\" value=\"1\" />\n"
            "      <int key=\"k\" value=\"2\" />\n"
            "    </content>\n"
            "    <content name=\"u\">\n"
            "      <content name=\"x\" />\n"
            "      <content name=\"z\">\n"
            "        <content name=\"y\" />\n"
            "      </content>\n"
            "    </content>\n"
            "  </content>\n"
            "</targets>\n");
}

TEST_F(XmlFormTest, NumbersAreWrittenShortAndReadStrictly) {
  using namespace serializedContent;
  const std::pair<double, const char*> written[] = {
      {0.1, "0.1"},
      {-0.0, "-0"},
      {DBL_TRUE_MIN, "5e-324"},
      {std::numeric_limits<double>::quiet_NaN(), "nan"},
      {-std::numeric_limits<double>::infinity(), "-inf"},
      {std::bit_cast<double>(std::uint64_t{0xfff0000000000001}), "-nan(0x7ff0000000000001)"}};
  for (const auto& [value, text] : written) EXPECT_EQ(FormatDouble(value), text);
  for (const char* refused : {"1.5x", "", " 1", "nan(0x1)", "1e-400", "1e400", "0x10"}) {
    double d = 7;
    EXPECT_FALSE(ParseDouble(refused, d)) << refused;
    EXPECT_EQ(d, 7) << "a refused text leaves the value alone: " << refused;
  }
  int i = 0;
  unsigned char u = 0;
  bool b = false;
  EXPECT_FALSE(ParseInt("2147483648", i));
  EXPECT_TRUE(ParseInt("-2147483648", i) && i == INT_MIN);
  EXPECT_FALSE(ParseUInt8("-1", u));
  EXPECT_FALSE(ParseUInt8("256", u));
  EXPECT_FALSE(ParseBool("True", b));
}

using Tree = dg::XmlTree;

TEST(XmlElemTest, BuiltTreeRendersIndentedEscapedAndClosed) {
  Tree root(dg::NewXmlElem("augmentedreality", true));
  root->SetIntAttribute("version", 1);
  dg::XmlElem* targets = dg::NewXmlElem("targets", root.get());
  dg::NewXmlElem("item", targets)->SetAttribute("text", "a<b & \"c\"");
  dg::FreeXml(dg::NewXmlElem("gone", targets));  // freeing a child frees nothing
  std::string out;
  dg::WriteXmlCloseTags(root.get(), out, 0);
  EXPECT_EQ(out,
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
            "<augmentedreality version=\"1\">\n"
            "  <targets>\n"
            "    <item text=\"a&lt;b &amp; &quot;c&quot;\" />\n"
            "    <gone />\n"
            "  </targets>\n"
            "</augmentedreality>\n");
  out.clear();
  dg::WriteXmlCloseTags(targets, out, 1);
  EXPECT_EQ(out.rfind("  <targets>\n", 0), 0u) << "indentation level 1 adds two spaces";
}

// A text of any length comes out whole after what the buffer held before, however its pieces
// fall: a few bytes, or megabytes printed a block at a time.
TEST(XmlElemTest, LongTreesRenderWholeAfterWhatTheBufferHeld) {
  for (const int items : {3, 20000}) {
    Tree root(dg::NewXmlElem("r", false));
    std::string expected = "kept\n<r>\n";
    for (int i = 0; i < items; ++i) {
      const std::string text = "item " + std::to_string(i) + std::string(std::size_t(i % 97), 'x');
      dg::NewXmlElem("i", root.get())->SetAttribute("t", (text + " & <" + text + ">").c_str());
      expected += "  <i t=\"" + text + " &amp; &lt;" + text + ">\" />\n";  // ">" stays
    }
    expected += "</r>\n";
    std::string out = "kept\n";
    dg::WriteXmlCloseTags(root.get(), out, 0);
    EXPECT_EQ(out.size(), expected.size()) << items << " items";
    EXPECT_TRUE(out == expected) << items << " items";
  }
}

TEST(XmlElemTest, ParsedTreeAnswersAttributesAndChildren) {
  Tree root(
      dg::ParseXmlFromString("<r version=\" 2 \" plus=\"+3\" neg=\"-5\" word=\"x\" "
                             "big=\"99999999999\"><a/><t n=\"1\"/><t n=\"2\"/></r>",
                             false, nullptr));
  ASSERT_NE(root, nullptr);
  EXPECT_STREQ(root->GetName(), "r");
  const std::pair<const char*, int> rows[] = {{"version", 2},    {"plus", 3},      {"neg", -5},
                                              {"word", INT_MAX}, {"big", INT_MAX}, {"no", INT_MAX}};
  for (const auto& [name, expected] : rows) {
    int value = 0;
    EXPECT_EQ(root->GetIntAttribute(name, value), expected != INT_MAX) << name;
    EXPECT_EQ(value, expected) << name << ": an unreadable value reads as INT_MAX";
  }
  EXPECT_EQ(root->FindAttribute("no"), nullptr);
  dg::XmlElem* first = root->FindChild("t");
  ASSERT_NE(first, nullptr);
  EXPECT_STREQ(first->FindAttribute("n"), "1") << "the first of two";
  EXPECT_EQ(root->FindChild("t"), first) << "one handle per element";
  EXPECT_EQ(root->FindChild("nothing"), nullptr);
}

TEST(XmlElemTest, ParseFailuresSayWhy) {
  artest::TempDir dir;
  artest::WriteFile(dir.File("broken.xml"), "<a>\n  <b>\n  <c></b>\n</a>\n");
  ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);
  const std::pair<std::string, std::string> files[] = {
      {"/nonexistent/t.xml", "cannot read /nonexistent/t.xml: No such file or directory"},
      {dir.File("broken.xml"), "not well-formed XML at line 3, column "},
      {dir.File("fifo"), "cannot read " + dir.File("fifo") + ": it is a FIFO, not a regular"},
      {"/dev/zero", "cannot read /dev/zero: it is a device, not a regular file"}};
  for (const auto& [path, reason] : files) {
    std::string why;
    EXPECT_EQ(dg::ParseXmlFromFile(path, false, &why), nullptr);
    EXPECT_EQ(why.rfind(reason, 0), 0u) << why;
  }
  std::string why;
  EXPECT_EQ(dg::ParseXmlFromString("", false, &why), nullptr);
  EXPECT_NE(why.find("line 1"), std::string::npos) << why;
  EXPECT_EQ(dg::ParseXmlFromString("<<", false, nullptr), nullptr) << "no reason asked for";
}

}  // namespace
