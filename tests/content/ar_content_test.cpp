// AR content: its target set, its entry data, and its saved form both ways.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "AnnoSets.h"
#include "ControllerTest.h"
#include "ar/ARContent.h"
#include "orl/SerializedContent.h"
#include "orl/World.h"

namespace {

using artest::TargetSet;
using du::SmartPtr;
using du::Symbol;

std::vector<std::string> Names(const orl::SerializedContentElement* e) {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < e->GetChildCount(); ++i)
    for (const auto& p : e->GetChild(i)->GetProperties())
      if (p.key == Symbol("artargetname")) names.push_back(std::get<Symbol>(p.value).str());
  return names;
}

using ARContentTest = artest::ControllerTest;

TEST_F(ARContentTest, NewContentIsEmptyAndCopiesTargetSetsBothWays) {
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
}

TEST_F(ARContentTest, EntryDataDescribesTheARTargetsSetOfTheWorldsModel) {
  orl::World::GetWorld()->GetTree()->GetRoot()->SetUniqueId(Symbol("model-42"));
  SmartPtr<ar::ARContent> content = new ar::ARContent;
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
