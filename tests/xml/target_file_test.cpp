// The saver and the loader components, obtained from the factory as a host does, on real files.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "AnnoSets.h"
#include "ControllerTest.h"
#include "TempDir.h"

namespace {

using artest::ArEntry;
using artest::Completions;
using artest::Component;
using du::SmartPtr;
using du::Symbol;

class TargetFileTest : public artest::ControllerTest {
 protected:
  void SetUp() override {
    ControllerTest::SetUp();
    table_ = orl::AnnoSetTable::Create(Symbol(dir_.path().string()));
  }
  void TearDown() override {
    table_ = nullptr;
    ControllerTest::TearDown();
  }
  SmartPtr<ar::ARContent> ContentWith(std::initializer_list<const char*> names) {
    SmartPtr<ar::ARContent> content = new ar::ARContent;
    artest::TargetSet targets;
    for (const char* n : names) targets.insert(MakeTarget(n, 7, ar::ARTarget::TYPE_NUMBERED));
    content->SetTargets(targets);
    return content;
  }
  // Loads `text` (no file when null) and gives the completions and the names it holds.
  std::pair<Completions, std::multiset<std::string>> Load(const std::string& text) {
    const std::string path = dir_.File("t.xml");
    artest::WriteFile(path, text);
    SmartPtr<orl::AnnoSetTableEntry> entry;
    const Completions completions = artest::LoadWithComponent(table_, path, &entry);
    EXPECT_EQ(entry->GetContent().IsNull(), completions != Completions{"ok"}) << text;
    return {completions, artest::TargetNames(entry)};
  }
  static std::string File(const std::string& targets, const char* root = "augmentedreality",
                          const char* version = " version=\"1\"") {
    return std::string("<") + root + version + ">" + targets + "</" + root + ">";
  }
  static std::string Target(const std::string& name, const std::string& more = "") {
    return "<content name=\"artarget\"><uint8 key=\"artargetversion\" value=\"0\"/>"
           "<string key=\"artargetname\" value=\"" +
           name + "\"/>" + more + "</content>";
  }

  artest::TempDir dir_;
  SmartPtr<orl::AnnoSetTable> table_;
};

TEST_F(TargetFileTest, WrittenFileHasTheExactFrameAndItsTargetsComeBack) {
  const std::string path = dir_.File("t.xml");
  EXPECT_EQ(artest::SaveWithComponent(table_, ContentWith({}), path), Completions{"ok"});
  EXPECT_EQ(artest::ReadFile(path),
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
            "<augmentedreality version=\"1\">\n"
            "  <targets>\n"
            "    <content name=\"arcontent\" />\n"
            "  </targets>\n"
            "</augmentedreality>\n");
  ASSERT_EQ(artest::SaveWithComponent(table_, ContentWith({"Door", "Window", "Door"}), path),
            Completions{"ok"});
  SmartPtr<orl::AnnoSetTableEntry> entry;
  EXPECT_EQ(artest::LoadWithComponent(table_, path, &entry), Completions{"ok"});
  EXPECT_EQ(artest::TargetNames(entry), (std::multiset<std::string>{"Door", "Door", "Window"}));
  EXPECT_EQ(du::DynamicCast<ar::ARContent>(entry->GetContent())->GetFileName(), Symbol(path));
}

TEST_F(TargetFileTest, WriterFailuresAreReportedAndKeepThePreviousFile) {
  auto saver = Component("saver");
  SmartPtr<artest::RecordingEvent> event = new artest::RecordingEvent;
  EXPECT_FALSE(saver->WriteAnnotation(table_, nullptr, Symbol("x"), event.get()));
  auto empty = ArEntry(dir_.File("none.xml"));
  EXPECT_FALSE(saver->WriteAnnotation(table_, empty, Symbol("x"), event.get()));
  EXPECT_FALSE(saver->WriteAnnotation(table_, empty, Symbol("x"), nullptr));
  arhost::RunUntilIdle();
  EXPECT_EQ(event->completions, Completions{"error 1"}) << "the empty entry leaves it alone";

  bool wrote = false;
  const Completions missing =
      artest::SaveWithComponent(table_, ContentWith({"A"}), dir_.File("missing/t.xml"), &wrote);
  EXPECT_TRUE(wrote) << "the write was carried out, and failed";
  ASSERT_EQ(missing.size(), 1u);
  EXPECT_NE(missing[0].find("error 1 cannot open the folder"), std::string::npos) << missing[0];
  EXPECT_EQ(dir_.Listing(), "") << "nothing was created";
}

TEST_F(TargetFileTest, ReaderFailsWithOneErrorAndLeavesTheEntryAlone) {
  const char* refused[] = {
      "",
      "targets: 3",
      "<augmentedreality version=\"1\"><targets><content name=\"arc",
      "<augmentedreality><targets/></augmentedreality>",
      "<augmentedreality version=\"2\"><targets/></augmentedreality>",
      "<augmentedreality version=\"one\"><targets/></augmentedreality>",
      "<augmentedreality version=\"1\"><target/></augmentedreality>",
  };
  for (const char* text : refused) EXPECT_EQ(Load(text).first, Completions{"error 1"}) << text;
  EXPECT_EQ(artest::LoadWithComponent(table_, dir_.File("missing.xml")), Completions{"error 1"});
  // Without an event, nothing is told and nothing breaks.
  Component("loader")->ParseAnnotation(table_, ArEntry(dir_.File("missing.xml")), nullptr);
  Component("loader")->ParseAnnotation(table_, nullptr, nullptr);
  SmartPtr<artest::RecordingEvent> event = new artest::RecordingEvent;
  Component("loader")->ParseAnnotation(table_, nullptr, event.get());
  arhost::RunUntilIdle();
  EXPECT_EQ(event->completions, Completions{"error 1"});
}

TEST_F(TargetFileTest, ReaderTakesWhatItCanWithoutHarm) {
  std::string nested;
  for (int i = 0; i < 100000; ++i) nested += "<content name=\"deep\">";
  for (int i = 0; i < 100000; ++i) nested += "</content>";
  const std::string hugeName(1 << 20, 'n');
  struct Row {
    const char* name;
    std::string text;
    std::multiset<std::string> names;
  };
  const Row rows[] = {
      {"any root", File("<targets/>", "other"), {}},
      {"version 0", File("<targets/>", "augmentedreality", " version=\"0\""), {}},
      {"version -3", File("<targets/>", "augmentedreality", " version=\"-3\""), {}},
      {"bad values and elements skipped",
       File("<targets><content name=\"arcontent\">" +
            Target("Kept",
                   "<double key=\"artargetwidth\" value=\"1e999999\"/>"
                   "<int key=\"artargetname\" value=\"5\"/>") +
            "<content name=\"artarget\"><uint8 key=\"artargetversion\" value=\"7\"/></content>"
            "<mystery/></content></targets>"),
       {"", "Kept"}},
      {"huge, deep and absurd",
       File("<targets><content name=\"arcontent\">" +
            Target(hugeName, "<int key=\"artargetid\" value=\"99999999999999999999\"/>") + nested +
            "</content></targets>"),
       {hugeName}},
      {"entities expand nothing",
       "<!DOCTYPE a [<!ENTITY x \"xxxxxxxxxxxxxxxx\"><!ENTITY y \"&x;&x;&x;&x;\">"
       "<!ENTITY ext SYSTEM \"file:///etc/passwd\">]>" +
           File("<targets>" + Target("&y;&ext;") + "</targets>"),
       {"&y;&ext;"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const auto [completions, names] = Load(row.text);
    EXPECT_EQ(completions, Completions{"ok"});
    EXPECT_EQ(names, row.names);
  }
}

}  // namespace
