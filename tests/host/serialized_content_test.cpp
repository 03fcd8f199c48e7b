#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "HostTest.h"
#include "orl/SerializedContent.h"

namespace {

using du::SmartPtr;
using du::Symbol;
using orl::SerializedContentElement;

// Writes down the walk; refuses to enter elements named in `skip`.
class Tracer : public orl::SerializedContentVisitor {
 public:
  using orl::SerializedContentVisitor::Visit;
  std::vector<std::string> trace;
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
  void Visit(const Symbol& k, int v) override {
    trace.push_back(k.str() + "=int " + std::to_string(v));
  }
  void Visit(const Symbol& k, unsigned char v) override {
    trace.push_back(k.str() + "=uint8 " + std::to_string(v));
  }
  void Visit(const Symbol& k, double) override { trace.push_back(k.str() + "=double"); }
  void Visit(const Symbol& k, float) override { trace.push_back(k.str() + "=float"); }
  void Visit(const Symbol& k, bool) override { trace.push_back(k.str() + "=bool"); }
  void Visit(const Symbol& k, const Symbol& v) override {
    trace.push_back(k.str() + "=symbol " + v.str());
  }
  void Visit(const Symbol& k, const dg::DPoint3D&) override { trace.push_back(k.str() + "=point"); }
  void Visit(const Symbol& k, const dg::DVec3&) override { trace.push_back(k.str() + "=vector"); }
  void EndAttributes() override { trace.push_back("|"); }
};

using Trace = std::vector<std::string>;

class SerializedContentTest : public artest::HostTest {
 protected:
  // top(a=1) { first(b) { inner } , second(c) }
  SmartPtr<SerializedContentElement> SampleTree() {
    auto top = SerializedContentElement::CreateTopElement(Symbol("top"));
    top->AddProperty(Symbol("a"), 1);
    auto* first = top->StartContent(Symbol("first"));
    first->AddProperty(Symbol("b"), static_cast<unsigned char>(2));
    first->StartContent(Symbol("inner"))->EndContent();
    first->EndContent();
    auto* second = top->StartContent(Symbol("second"));
    second->AddProperty(Symbol("c"), "text");
    second->EndContent();
    return top;
  }
};

TEST_F(SerializedContentTest, WalkVisitsPropertiesInOrderThenChildren) {
  auto top = SerializedContentElement::CreateTopElement(Symbol("all"));
  top->AddProperty(Symbol("u"), static_cast<unsigned char>(9));
  top->AddProperty(Symbol("i"), -3);
  top->AddProperty(Symbol("d"), 0.5);
  top->AddProperty(Symbol("f"), 0.5f);
  top->AddProperty(Symbol("b"), true);
  top->AddProperty(Symbol("s"), "literal");  // a C string is text, not a bool
  top->AddProperty(Symbol("p"), dg::DPoint3D{1, 2, 3});
  top->AddProperty(Symbol("v"), dg::DVec3{4, 5, 6});
  Tracer tracer;
  EXPECT_TRUE(top->Visit(tracer, true));
  EXPECT_EQ(tracer.trace,
            (Trace{"start all", "u=uint8 9", "i=int -3", "d=double", "f=float", "b=bool",
                   "s=symbol literal", "p=point", "v=vector", "|", "end all"}));
}

TEST_F(SerializedContentTest, RefusedElementIsSkippedWithItsSubtreeButNotItsSiblings) {
  auto top = SampleTree();
  Tracer tracer;
  tracer.skip = "first";
  top->Visit(tracer, true);
  EXPECT_EQ(tracer.trace, (Trace{"start top", "a=int 1", "|", "start first", "start second",
                                 "c=symbol text", "|", "end second", "end top"}));
}

TEST_F(SerializedContentTest, WithoutDescendingOnlyTheElementItselfIsVisited) {
  auto top = SampleTree();
  Tracer tracer;
  top->Visit(tracer, false);
  EXPECT_EQ(tracer.trace, (Trace{"start top", "a=int 1", "|", "end top"}));
}

TEST_F(SerializedContentTest, VisitGivesTheVerdictOnItsOwnElement) {
  auto top = SampleTree();
  Tracer disagreeing;
  disagreeing.verdict = false;
  EXPECT_FALSE(top->Visit(disagreeing, true));
  EXPECT_EQ(disagreeing.trace.back(), "end top") << "inner verdicts do not stop the walk";
  Tracer refusing;
  refusing.skip = "top";
  EXPECT_FALSE(top->Visit(refusing, true));
  EXPECT_EQ(refusing.trace, Trace{"start top"});
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
  struct Counter final : orl::SerializedContentVisitor {
    using orl::SerializedContentVisitor::Visit;
    int starts = 0, ends = 0, bottoms = 0;
    bool StartElement(const Symbol&, const SerializedContentElement*) override {
      return ++starts > 0;
    }
    bool EndElement(const Symbol&) override { return ++ends > 0; }
    void Visit(const Symbol&, int) override { ++bottoms; }
  } counter;
  EXPECT_TRUE(top->Visit(counter, true));
  EXPECT_EQ(counter.starts, kDepth + 1);
  EXPECT_EQ(counter.ends, kDepth + 1);
  EXPECT_EQ(counter.bottoms, 1);
  top = nullptr;  // the fixture checks that all of it is gone
}

}  // namespace
