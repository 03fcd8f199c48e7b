// A target's fields, its move signal, and its saved form ("artarget" element) both ways; then
// the AR content that holds targets: its target set, its entry data, and its saved form.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "AnnoSets.h"
#include "ControllerTest.h"
#include "ar/ARContent.h"
#include "ar/ARTarget.h"
#include "dp/ScopedLock.h"
#include "orl/Annotation.h"
#include "orl/SerializedContent.h"
#include "orl/World.h"

namespace {

using artest::Exact;
using artest::Heard;
using artest::TargetSet;
using du::SmartPtr;
using du::Symbol;
using orl::SerializedContentElement;

class ARTargetTest : public artest::ControllerTest {
 protected:
  // Every field set, none to its starting value; type 300 does not fit the saved byte.
  SmartPtr<ar::ARTarget> Filled() {
    auto t = MakeTarget("Door", 12, static_cast<ar::ARTarget::EType>(300));
    t->SetImage(Symbol("door.png"));
    t->SetSize(0.5, -2.0);
    dg::DPoint3D p{1, 2, 3};
    dg::DVec3 n{0, 0, 5}, x{1, 0, 0}, y{1, 1, 0};  // neither unit length nor orthogonal
    Symbol path("/1/2");
    t->SetLocation(p, n, x, y, path, 45);
    return t;
  }
  const std::string kEmpty = Exact(*SmartPtr<ar::ARTarget>(new ar::ARTarget(nullptr)));
  // A bare "artarget" element under a new top, filled by `fill`.
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

TEST_F(ARTargetTest, FieldsStartEmptyAndKeepWhatIsSetUnchanged) {
  EXPECT_EQ(kEmpty, "|||0 0|0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 ");
  auto t = Filled();
  EXPECT_EQ(Exact(*t), "Door|door.png|/1/2|300 12|0.5 -2 45 1 2 3 0 0 5 1 0 0 1 1 0 ");
  const Symbol name = t->GetName();
  t->SetName(Symbol("Window"));
  EXPECT_EQ(name, Symbol("Door")) << "a value already returned does not change";
  EXPECT_EQ(t->GetClassType().GetId(), 178u);
  EXPECT_TRUE(t->IsATypeOfId(178));
}

// Only SetLocation signals a move: inside a write lock the caller holds too, and for a target
// with no lock that no controller registered.
TEST_F(ARTargetTest, OnlySetLocationSignalsEvenUnderTheCallersLockOrWithoutALock) {
  auto observer = Observe();
  SmartPtr<ar::ARTarget> target = MakeTarget("Door"), loose = new ar::ARTarget(nullptr);
  loose->SetName(Symbol("Loose"));
  target->SetImage(Symbol("i"));
  target->SetSize(1, 1);
  target->SetTargetId(3);
  target->SetType(ar::ARTarget::TYPE_NUMBERED);
  dg::DPoint3D p{4, 5, 6};
  dg::DVec3 v;
  Symbol path;
  target->SetLocation(p, v, v, v, path, 0);
  {
    dp::ScopedWriter held(orl::Annotation::GetRWLock().get());
    target->SetLocation(p, v, v, v, path, 0);
  }
  loose->SetLocation(p, v, v, v, path, 0);
  arhost::RunUntilIdle();
  EXPECT_EQ(observer->heard, (Heard{"moved Door", "moved Door", "moved Loose"}));
  EXPECT_EQ(loose->GetPosition().z, 6);
}

TEST_F(ARTargetTest, SavedFormHoldsThirteenPropertiesAndReadsBackWithTheTypesLowByte) {
  auto original = Filled();
  auto top = SerializedContentElement::CreateTopElement(Symbol("top"));
  original->Visit(top.get());
  const SerializedContentElement* e = top->GetChild(0);
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
  SmartPtr<ar::ARTarget> copy = new ar::ARTarget(controller_);
  ASSERT_TRUE(copy->PopulateFromContent(e));
  original->SetType(static_cast<ar::ARTarget::EType>(44));  // 300's low byte
  EXPECT_EQ(Exact(*copy), Exact(*original));
}

TEST_F(ARTargetTest, ReadingTakesVersionZeroOnlyAndKeysOnlyWithTheirOwnType) {
  struct Row {
    const char* name;
    std::function<void(SerializedContentElement*)> fill;
    bool accepted;
    std::string name_, rotation;  // what the target holds afterwards
  };
  const Row rows[] = {
      {"a name alone replaces every field",
       [](auto* e) {
         Version(e, 0);
         e->AddProperty(Symbol("artargetname"), "Only");
       },
       true, "Only", "0.000000"},
      {"version 1", [](auto* e) { Version(e, 1); }, false, "Door", "45.000000"},
      {"version 255", [](auto* e) { Version(e, 255); }, false, "Door", "45.000000"},
      {"no version", [](auto* e) { e->AddProperty(Symbol("artargetname"), "X"); }, false, "Door",
       "45.000000"},
      {"wrong types ignored, version last, the last name wins",
       [](auto* e) {
         e->AddProperty(Symbol("artargetrotation"), 90.0);
         e->AddProperty(Symbol("artargetid"), static_cast<unsigned char>(9));
         e->AddProperty(Symbol("artargetwidth"), 2.0f);
         e->AddProperty(Symbol("artargetname"), "First");
         e->AddProperty(Symbol("unknown"), 1);
         Version(e, 0);
         e->AddProperty(Symbol("artargetname"), "Second");
       },
       true, "Second", "90.000000"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto target = Filled();
    const std::string before = Exact(*target);
    auto top = Element(row.fill);
    EXPECT_EQ(target->PopulateFromContent(top->GetChild(0)), row.accepted);
    EXPECT_EQ(target->GetName().str(), row.name_);
    EXPECT_EQ(std::to_string(target->GetRotation()), row.rotation);
    // Refused: untouched. Accepted: what the element does not give starts anew.
    EXPECT_EQ(target->GetTargetId(), row.accepted ? 0 : 12);
    EXPECT_EQ(Exact(*target) == before, !row.accepted);
  }
}

std::vector<std::string> Names(const orl::SerializedContentElement* e) {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < e->GetChildCount(); ++i)
    for (const auto& p : e->GetChild(i)->GetProperties())
      if (p.key == Symbol("artargetname")) names.push_back(std::get<Symbol>(p.value).str());
  return names;
}

using ARContentTest = artest::ControllerTest;

// New content is empty, copies target sets both ways, and describes the world's model's
// "ARTargets" set as its entry data.
TEST_F(ARContentTest, NewContentIsEmptyCopiesTargetSetsAndDescribesTheARTargetsSet) {
  orl::World::GetWorld()->GetTree()->GetRoot()->SetUniqueId(Symbol("model-42"));
  SmartPtr<ar::ARContent> content = new ar::ARContent;
  EXPECT_EQ(content->GetType(), 14u);
  EXPECT_EQ(content->GetClassType().GetId(), 176u);
  EXPECT_EQ(content->GetFileName(), Symbol::EMPTY);
  EXPECT_FALSE(content->IsModified());
  content->SetModified(true);
  EXPECT_TRUE(content->IsModified());
  TargetSet out{MakeTarget("stale")};
  content->GetTargets(out);
  EXPECT_TRUE(out.empty());
  auto a = MakeTarget("A"), b = MakeTarget("A");  // equal fields, two objects
  content->SetTargets(TargetSet{a, b});
  content->GetTargets(out);
  EXPECT_EQ(out, (TargetSet{a, b}));
  content->SetTargets(TargetSet{b});
  content->GetTargets(out);
  EXPECT_EQ(out, TargetSet{b});
  out.clear();
  EXPECT_EQ(a->GetReferenceCount(), 1) << "the content let go of the target it dropped";
  orl::AnnoSetTableEntryData data;
  data.fileName = Symbol("leftover");
  EXPECT_TRUE(content->GetAnnoSetTableEntryData(data));
  EXPECT_EQ(data.version, 0u);
  EXPECT_EQ(data.modelId, Symbol("model-42"));
  EXPECT_EQ(data.family, Symbol("augmentedreality"));
  EXPECT_EQ(data.familyTitle, Symbol("Augmentedreality"));
  EXPECT_EQ(data.name, Symbol("ARTargets"));
  EXPECT_EQ(data.fileName, Symbol::EMPTY);
  EXPECT_EQ(data.contentType, orl::ANNO_SET_CONTENT_AR);
}

TEST_F(ARContentTest, SavedFormIsOneArcontentWithTargetsInAddressOrder) {
  std::vector<SmartPtr<ar::ARTarget>> targets;
  for (const char* name : {"A", "B", "C", "D"}) targets.push_back(MakeTarget(name));
  std::sort(targets.begin(), targets.end());
  std::vector<std::string> byAddress;
  for (const auto& t : targets) byAddress.push_back(t->GetName().str());
  const std::vector<TargetSet> sets = {
      {}, {targets.begin(), targets.end()}, {targets.rbegin(), targets.rend()}};
  for (const TargetSet& set : sets) {
    SmartPtr<ar::ARContent> content = new ar::ARContent;
    content->SetTargets(set);
    auto top = orl::SerializedContentElement::CreateTopElement(Symbol("targets"));
    content->Visit(top.get());
    ASSERT_EQ(top->GetChildCount(), 1u);
    const auto* arcontent = top->GetChild(0);
    EXPECT_EQ(arcontent->GetName(), Symbol("arcontent"));
    EXPECT_TRUE(top->IsEnded());
    EXPECT_FALSE(arcontent->IsEnded()) << "arcontent is never ended";
    EXPECT_EQ(Names(arcontent), set.empty() ? std::vector<std::string>{} : byAddress);
  }
}

TEST_F(ARContentTest, ReadingMakesNewTargetsOfEveryArtargetWhereverItStands) {
  auto a = MakeTarget("A"), b = MakeTarget("B");
  auto top = orl::SerializedContentElement::CreateTopElement(Symbol("targets"));
  auto* arcontent = top->StartContent(Symbol("arcontent"));
  a->Visit(arcontent);
  b->Visit(arcontent);
  a->Visit(top.get());  // a stray one beside arcontent
  auto* rejected = top->StartContent(ar::ARTarget::s_arTarget);
  rejected->AddProperty(Symbol("artargetversion"), static_cast<unsigned char>(1));
  rejected->AddProperty(Symbol("artargetname"), "Rejected");
  SmartPtr<ar::ARContent> read = new ar::ARContent;
  read->SetTargets(TargetSet{MakeTarget("old")});
  read->PopulateFromContent(top.get());
  TargetSet got;
  read->GetTargets(got);
  std::multiset<std::string> names;
  for (const auto& t : got) {
    EXPECT_TRUE(t != a && t != b) << "new targets";
    names.insert(t->GetName().str());
  }
  EXPECT_EQ(names, (std::multiset<std::string>{"", "A", "A", "B"}))
      << "the rejected element gives a target with a new target's values";
}

}  // namespace
