// AR content: its target set, its entry data, its saved form, and the whole target file it
// becomes: lossless, and valid against the schema.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cstdlib>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "AnnoSets.h"
#include "ControllerTest.h"
#include "TempDir.h"
#include "ar/ARContent.h"
#include "orl/SerializedContent.h"
#include "orl/World.h"

namespace {

using artest::Exact;
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

class ARContentTest : public artest::ControllerTest {
 protected:
  artest::TempDir dir_;
};

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

TEST_F(ARContentTest, TargetFileKeepsEveryBitAndSatisfiesTheSchema) {
  const double inf = std::numeric_limits<double>::infinity(),
               nan = std::numeric_limits<double>::quiet_NaN();
  const double extremes[] = {DBL_MAX, -DBL_MAX, DBL_MIN, DBL_TRUE_MIN, 2.5e-310,
                             -0.0,    nan,      inf,     -inf,         0.1};
  const std::string texts[] = {"<tag> & \"quote\" 'apos'", "  leading and trailing  ",
                               "line\nbreak\r\nand\ttab", "Größe · 目标 · 🎯", ""};
  TargetSet targets;
  std::multiset<std::string> expected;
  int n = 0;
  for (double d : extremes) {
    auto t = MakeTarget("target " + std::to_string(n) + " " + texts[n % 5],
                        n % 2 ? INT_MIN : INT_MAX, static_cast<ar::ARTarget::EType>(n * 25));
    t->SetImage(Symbol(texts[(n + 1) % 5]));
    t->SetSize(d, -d);
    dg::DPoint3D p{d, 1, -d};
    dg::DVec3 normal{0, 0, d}, x{d, d, d}, y{-0.0, 0, 0};
    Symbol path(texts[(n++ + 2) % 5]);
    t->SetLocation(p, normal, x, y, path, d);
    targets.insert(t);
    expected.insert(Exact(*t));
  }
  SmartPtr<ar::ARContent> content = new ar::ARContent;
  content->SetTargets(targets);
  const std::string path = dir_.File("targets.xml");
  const auto table = orl::AnnoSetTable::Create(Symbol(dir_.path().string()));
  ASSERT_EQ(artest::SaveWithComponent(table, content, path), artest::Completions{"ok"});
  const std::string schema = "xmllint --noout --schema " AR_SOURCE_DIR "/docs/target-file.xsd ";
  EXPECT_EQ(std::system((schema + "'" + path + "' 2>/dev/null").c_str()), 0)
      << artest::ReadFile(path);
  SmartPtr<orl::AnnoSetTableEntry> entry;
  ASSERT_EQ(artest::LoadWithComponent(table, path, &entry), artest::Completions{"ok"});
  std::multiset<std::string> back;
  for (const auto& t : artest::Targets(entry)) back.insert(Exact(*t));
  EXPECT_EQ(back, expected);

  artest::WriteFile(path,
                    "<augmentedreality version=\"1\"><targets>"
                    "<double key=\"artargetwidth\" value=\"wide\"/></targets></augmentedreality>");
  EXPECT_NE(std::system((schema + "'" + path + "' 2>/dev/null").c_str()), 0)
      << "the schema must check values, not only shape";
}

}  // namespace
