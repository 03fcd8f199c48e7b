// AR content through the XML text of a target file: lossless, and valid against the schema.
#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <map>
#include <set>
#include <string>

#include "AnnoSets.h"
#include "ControllerTest.h"
#include "TempDir.h"
#include "ar/ARContent.h"

namespace {

using artest::TargetSet;
using du::SmartPtr;
using du::Symbol;

std::uint64_t Bits(double d) { return std::bit_cast<std::uint64_t>(d); }

class ARContentXmlTest : public artest::ControllerTest {
 protected:
  static bool ValidAgainstSchema(const std::string& path) {
    const std::string command = "xmllint --noout --schema " AR_SOURCE_DIR
                                "/docs/target-file.xsd '" +
                                path + "' 2>/dev/null";
    return std::system(command.c_str()) == 0;
  }

  artest::TempDir dir_;
};

TEST_F(ARContentXmlTest, ExtremeValuesComeBackEqualAndTheFileIsValid) {
  const double extremes[] = {DBL_MAX,
                             -DBL_MAX,
                             DBL_MIN,
                             DBL_TRUE_MIN,
                             2.5e-310,
                             -0.0,
                             std::numeric_limits<double>::quiet_NaN(),
                             std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity(),
                             0.1};
  const std::string names[] = {"<tag> & \"quote\" 'apos'", "  leading and trailing  ",
                               "line\nbreak\r\nand\ttab", "Größe · 目标 · 🎯", ""};
  SmartPtr<ar::ARContent> content = new ar::ARContent;
  TargetSet targets;
  int n = 0;
  for (double d : extremes) {
    auto t = MakeTarget("target " + std::to_string(n) + " " + names[n % 5],
                        n % 2 ? INT_MIN : INT_MAX, static_cast<ar::ARTarget::EType>(n * 40));
    t->SetImage(Symbol(names[(n + 1) % 5]));
    t->SetSize(d, -d);
    dg::DPoint3D p{d, 1, -d};
    dg::DVec3 normal{0, 0, d}, x{d, d, d}, y{-0.0, 0, 0};
    Symbol path(names[(n + 2) % 5]);
    t->SetLocation(p, normal, x, y, path, d);
    targets.insert(t);
    ++n;
  }
  content->SetTargets(targets);
  const std::string path = dir_.File("targets.xml");
  const auto table = orl::AnnoSetTable::Create(Symbol(dir_.path().string()));
  ASSERT_EQ(artest::SaveWithComponent(table, content, path), artest::Completions{"ok"});
  EXPECT_TRUE(ValidAgainstSchema(path)) << artest::ReadFile(path);

  SmartPtr<orl::AnnoSetTableEntry> entry;
  ASSERT_EQ(artest::LoadWithComponent(table, path, &entry), artest::Completions{"ok"});
  const TargetSet back = artest::Targets(entry);
  ASSERT_EQ(back.size(), targets.size());
  std::map<std::string, SmartPtr<ar::ARTarget>> byName;
  for (const auto& t : back) byName[t->GetName().str()] = t;
  for (const auto& t : targets) {
    const auto& c = byName[t->GetName().str()];
    ASSERT_TRUE(c) << t->GetName().str();
    double w1, h1, w2, h2;
    t->GetSize(w1, h1);
    c->GetSize(w2, h2);
    EXPECT_EQ(Bits(w1), Bits(w2));
    EXPECT_EQ(Bits(h1), Bits(h2));
    EXPECT_EQ(Bits(t->GetRotation()), Bits(c->GetRotation()));
    EXPECT_EQ(Bits(t->GetPosition().x), Bits(c->GetPosition().x));
    EXPECT_EQ(Bits(t->GetNormal().z), Bits(c->GetNormal().z));
    EXPECT_EQ(Bits(t->GetY().x), Bits(c->GetY().x));
    EXPECT_EQ(t->GetTargetId(), c->GetTargetId());
    EXPECT_EQ(t->GetType() & 0xFF, c->GetType());
    EXPECT_EQ(t->GetImage(), c->GetImage());
    EXPECT_EQ(t->GetIDPath(), c->GetIDPath());
  }
}

TEST_F(ARContentXmlTest, SchemaRefusesAMalformedFile) {
  const std::string path = dir_.File("bad.xml");
  artest::WriteFile(path,
                    "<augmentedreality version=\"1\"><targets>"
                    "<double key=\"artargetwidth\" value=\"wide\"/>"
                    "</targets></augmentedreality>");
  EXPECT_FALSE(ValidAgainstSchema(path)) << "the schema must check values, not only shape";
}

}  // namespace
