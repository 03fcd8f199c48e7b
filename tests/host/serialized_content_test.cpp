#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "HostTest.h"
#include "orl/SerializedContent.h"

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

TEST_F(SerializedContentTest, PropertiesComeBackAsAddedWhateverTheirNumber) {
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
}

TEST_F(SerializedContentTest, EndedElementTakesNothingMore) {
  auto top = SerializedContentElement::CreateTopElement(Symbol("top"));
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

}  // namespace
