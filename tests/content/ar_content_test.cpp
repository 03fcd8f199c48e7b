#include <gtest/gtest.h>

#include <set>

#include "ControllerTest.h"
#include "ar/ARContent.h"
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

}  // namespace
