#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "ControllerTest.h"
#include "ar/ARContent.h"
#include "orl/SerializedContent.h"
#include "orl/World.h"

namespace {

using du::SmartPtr;
using TargetSet = std::set<SmartPtr<ar::ARTarget>>;

class ARContentTest : public artest::ControllerTest {};

TEST_F(ARContentTest, NewContentIsEmptyTypedARAndOnTheControllersLock) {
  SmartPtr<ar::ARContent> content = new ar::ARContent;
  EXPECT_EQ(content->GetType(), 14u);
  EXPECT_EQ(content->GetClassType().GetId(), 176u);
  EXPECT_EQ(content->GetFileName(), du::Symbol::EMPTY);
  EXPECT_FALSE(content->IsModified());
  content->SetModified(true);
  EXPECT_TRUE(content->IsModified());
  TargetSet targets{MakeTarget("stale")};
  content->GetTargets(targets);
  EXPECT_TRUE(targets.empty());
}

TEST_F(ARContentTest, TargetSetsAreCopiedBothWaysByAddress) {
  SmartPtr<ar::ARContent> content = new ar::ARContent;
  auto a = MakeTarget("A"), b = MakeTarget("A");  // equal fields, two objects
  content->SetTargets(TargetSet{a, b});
  TargetSet out{MakeTarget("other")};
  content->GetTargets(out);
  EXPECT_EQ(out, (TargetSet{a, b}));
  content->SetTargets(TargetSet{b});
  content->GetTargets(out);
  EXPECT_EQ(out, TargetSet{b});
  EXPECT_EQ(a->GetReferenceCount(), 1) << "the content let go of the target it dropped";
}

TEST_F(ARContentTest, EntryDataDescribesTheARTargetsSetOfTheWorldsModel) {
  orl::World::GetWorld()->GetTree()->GetRoot()->SetUniqueId(du::Symbol("model-42"));
  SmartPtr<ar::ARContent> content = new ar::ARContent;
  orl::AnnoSetTableEntryData data;
  data.fileName = du::Symbol("leftover");
  EXPECT_TRUE(content->GetAnnoSetTableEntryData(data));
  EXPECT_EQ(data.version, 0u);
  EXPECT_EQ(data.modelId, du::Symbol("model-42"));
  EXPECT_EQ(data.family, du::Symbol("augmentedreality"));
  EXPECT_EQ(data.familyTitle, du::Symbol("Augmentedreality"));
  EXPECT_EQ(data.name, du::Symbol("ARTargets"));
  EXPECT_EQ(data.fileName, du::Symbol::EMPTY);
  EXPECT_EQ(data.contentType, orl::ANNO_SET_CONTENT_AR);
}

// Counts EndContent calls by reading IsEnded, and lists the "artarget" names per element.
std::vector<std::string> Names(const orl::SerializedContentElement* e) {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < e->GetChildCount(); ++i) {
    for (const auto& p : e->GetChild(i)->GetProperties())
      if (p.key == du::Symbol("artargetname")) names.push_back(std::get<du::Symbol>(p.value).str());
  }
  return names;
}

TEST_F(ARContentTest, EmptyContentWritesOneEmptyArcontentAndEndsTheGivenElement) {
  SmartPtr<ar::ARContent> content = new ar::ARContent;
  auto top = orl::SerializedContentElement::CreateTopElement(du::Symbol("targets"));
  content->Visit(top.get());
  ASSERT_EQ(top->GetChildCount(), 1u);
  EXPECT_EQ(top->GetChild(0)->GetName(), du::Symbol("arcontent"));
  EXPECT_EQ(top->GetChild(0)->GetChildCount(), 0u);
  EXPECT_TRUE(top->IsEnded());
  EXPECT_FALSE(top->GetChild(0)->IsEnded()) << "arcontent is never ended";
}

TEST_F(ARContentTest, TargetsAreWrittenInAddressOrder) {
  std::vector<SmartPtr<ar::ARTarget>> targets;
  for (const char* name : {"A", "B", "C", "D"}) targets.push_back(MakeTarget(name));
  SmartPtr<ar::ARContent> one = new ar::ARContent, other = new ar::ARContent;
  one->SetTargets(TargetSet(targets.begin(), targets.end()));
  other->SetTargets(TargetSet(targets.rbegin(), targets.rend()));
  auto a = orl::SerializedContentElement::CreateTopElement(du::Symbol("targets"));
  auto b = orl::SerializedContentElement::CreateTopElement(du::Symbol("targets"));
  one->Visit(a.get());
  other->Visit(b.get());
  std::sort(targets.begin(), targets.end());
  std::vector<std::string> byAddress;
  for (const auto& t : targets) byAddress.push_back(t->GetName().str());
  EXPECT_EQ(Names(a->GetChild(0)), byAddress);
  EXPECT_EQ(Names(b->GetChild(0)), byAddress);
  for (std::size_t i = 0; i < 4; ++i) EXPECT_TRUE(a->GetChild(0)->GetChild(i)->IsEnded());
}

TEST_F(ARContentTest, ReadingMakesNewTargetsOfEveryArtargetWhereverItStands) {
  SmartPtr<ar::ARContent> written = new ar::ARContent;
  auto a = MakeTarget("A"), b = MakeTarget("B");
  written->SetTargets(TargetSet{a, b});
  auto top = orl::SerializedContentElement::CreateTopElement(du::Symbol("targets"));
  auto* arcontent = top->StartContent(du::Symbol("arcontent"));
  a->Visit(arcontent);
  b->Visit(arcontent);
  a->Visit(top.get());  // a stray one beside arcontent
  auto* rejected = top->StartContent(ar::ARTarget::s_arTarget);
  rejected->AddProperty(du::Symbol("artargetversion"), static_cast<unsigned char>(1));
  rejected->AddProperty(du::Symbol("artargetname"), "Rejected");

  SmartPtr<ar::ARContent> read = new ar::ARContent;
  read->SetTargets(TargetSet{MakeTarget("old")});
  read->PopulateFromContent(top.get());
  TargetSet got;
  read->GetTargets(got);
  ASSERT_EQ(got.size(), 4u);
  std::multiset<std::string> names;
  for (const auto& t : got) {
    EXPECT_NE(t, a);
    EXPECT_NE(t, b);
    names.insert(t->GetName().str());
  }
  EXPECT_EQ(names, (std::multiset<std::string>{"", "A", "A", "B"}))
      << "the rejected element gives a target with a new target's values";
}

}  // namespace
