// A target's saved form: the "artarget" element and reading it back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ControllerTest.h"
#include "ar/ARTarget.h"
#include "orl/SerializedContent.h"

namespace {

using du::SmartPtr;
using du::Symbol;
using orl::SerializedContentElement;

class ARTargetSerializedTest : public artest::ControllerTest {
 protected:
  // The "artarget" element `target` writes.
  SmartPtr<SerializedContentElement> Written(const SmartPtr<ar::ARTarget>& target) {
    auto top = SerializedContentElement::CreateTopElement(Symbol("top"));
    target->Visit(top.get());
    return top;
  }
  const SerializedContentElement* Element(const SmartPtr<SerializedContentElement>& top) {
    return top->GetChild(0);
  }
  SmartPtr<ar::ARTarget> Filled() {
    auto t = MakeTarget("Door", 12, static_cast<ar::ARTarget::EType>(300));
    t->SetImage(Symbol("door.png"));
    t->SetSize(0.5, 0.25);
    dg::DPoint3D p{1, 2, 3};
    dg::DVec3 n{0, 0, 1}, x{1, 0, 0}, y{0, 1, 0};
    Symbol path("/1/2");
    t->SetLocation(p, n, x, y, path, 45);
    return t;
  }
  // A bare "artarget" element with the properties `fill` adds.
  template <class Fill>
  SmartPtr<SerializedContentElement> Element(Fill fill) {
    auto top = SerializedContentElement::CreateTopElement(Symbol("top"));
    auto* e = top->StartContent(ar::ARTarget::s_arTarget);
    fill(e);
    e->EndContent();
    return top;
  }
  static void Version(SerializedContentElement* e, unsigned char v) {
    e->AddProperty(Symbol("artargetversion"), v);
  }
};

TEST_F(ARTargetSerializedTest, WrittenElementHoldsThirteenPropertiesInOrder) {
  auto top = Written(Filled());
  const SerializedContentElement* e = Element(top);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->GetName(), Symbol("artarget"));
  EXPECT_TRUE(e->IsEnded());
  std::vector<std::string> keys;
  for (const auto& p : e->GetProperties()) keys.push_back(p.key.str());
  EXPECT_EQ(keys,
            (std::vector<std::string>{
                "artargetversion", "artargetname", "artargetimage", "artargetwidth",
                "artargetheight", "artargettype", "artargetid", "artargetcenter", "artargetshape",
                "artargetnormal", "artargetxdir", "artargetydir", "artargetrotation"}));
  EXPECT_EQ(std::get<unsigned char>(e->GetProperties()[0].value), 0);
  EXPECT_EQ(std::get<unsigned char>(e->GetProperties()[5].value), 44) << "300's low byte";
}

TEST_F(ARTargetSerializedTest, ReadBackGivesEqualFieldsWithTheTypesLowByte) {
  auto original = Filled();
  auto top = Written(original);
  SmartPtr<ar::ARTarget> copy = new ar::ARTarget(controller_);
  ASSERT_TRUE(copy->PopulateFromContent(Element(top)));
  EXPECT_EQ(copy->GetName(), Symbol("Door"));
  EXPECT_EQ(copy->GetImage(), Symbol("door.png"));
  EXPECT_EQ(copy->GetType(), 44u);
  EXPECT_EQ(copy->GetTargetId(), 12);
  double w = 0, h = 0;
  copy->GetSize(w, h);
  EXPECT_EQ(w, 0.5);
  EXPECT_EQ(h, 0.25);
  EXPECT_EQ(copy->GetPosition(), original->GetPosition());
  EXPECT_EQ(copy->GetNormal(), original->GetNormal());
  EXPECT_EQ(copy->GetX(), original->GetX());
  EXPECT_EQ(copy->GetY(), original->GetY());
  EXPECT_EQ(copy->GetIDPath(), Symbol("/1/2"));
  EXPECT_EQ(copy->GetRotation(), 45.0);
}

TEST_F(ARTargetSerializedTest, AcceptedElementReplacesEveryField) {
  auto target = Filled();
  auto top = Element([](SerializedContentElement* e) {
    Version(e, 0);
    e->AddProperty(Symbol("artargetname"), "Only a name");
  });
  ASSERT_TRUE(target->PopulateFromContent(top->GetChild(0)));
  EXPECT_EQ(target->GetName(), Symbol("Only a name"));
  EXPECT_EQ(target->GetImage(), Symbol::EMPTY);
  EXPECT_EQ(target->GetIDPath(), Symbol::EMPTY);
  EXPECT_EQ(target->GetTargetId(), 0);
  EXPECT_EQ(target->GetType(), 0u);
  EXPECT_EQ(target->GetRotation(), 0.0);
  EXPECT_EQ(target->GetPosition(), dg::DPoint3D{});
}

TEST_F(ARTargetSerializedTest, AnyVersionButZeroOrNoneLeavesTheTargetUntouched) {
  auto target = Filled();
  for (int version : {1, 255, -1}) {
    auto top = Element([&](SerializedContentElement* e) {
      if (version >= 0) Version(e, static_cast<unsigned char>(version));
      e->AddProperty(Symbol("artargetname"), "Intruder");
    });
    EXPECT_FALSE(target->PopulateFromContent(top->GetChild(0))) << version;
    EXPECT_EQ(target->GetName(), Symbol("Door"));
    EXPECT_EQ(target->GetTargetId(), 12);
  }
}

TEST_F(ARTargetSerializedTest, KeysCountOnlyWithTheirOwnTypeInAnyOrderLastOneWins) {
  auto target = Filled();
  auto top = Element([](SerializedContentElement* e) {
    e->AddProperty(Symbol("artargetrotation"), 90.0);
    e->AddProperty(Symbol("artargetid"), static_cast<unsigned char>(9));  // wrong type
    e->AddProperty(Symbol("artargetwidth"), 2.0f);                        // wrong type
    e->AddProperty(Symbol("artargetname"), "First");
    e->AddProperty(Symbol("unknown"), 1);
    Version(e, 0);  // last, not first
    e->AddProperty(Symbol("artargetname"), "Second");
  });
  ASSERT_TRUE(target->PopulateFromContent(top->GetChild(0)));
  EXPECT_EQ(target->GetRotation(), 90.0);
  EXPECT_EQ(target->GetTargetId(), 0);
  double w = -1, h = -1;
  target->GetSize(w, h);
  EXPECT_EQ(w, 0.0);
  EXPECT_EQ(target->GetName(), Symbol("Second"));
}

}  // namespace
