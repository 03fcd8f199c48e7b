// The saver and the loader components, obtained from the factory as a host does, on real files.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "AnnoSets.h"
#include "ControllerTest.h"
#include "FileSizeLimit.h"
#include "TempDir.h"

namespace {

using artest::ArEntry;
using artest::Completions;
using artest::Component;
using artest::RecordingEvent;
using artest::TargetNames;
using artest::TargetSet;
using du::SmartPtr;
using du::Symbol;

class TargetFileTest : public artest::ControllerTest {
 protected:
  SmartPtr<ar::ARContent> ContentWith(std::initializer_list<const char*> names) {
    SmartPtr<ar::ARContent> content = new ar::ARContent;
    TargetSet targets;
    for (const char* n : names) targets.insert(MakeTarget(n, 7, ar::ARTarget::TYPE_NUMBERED));
    content->SetTargets(targets);
    return content;
  }
  Completions Save(const SmartPtr<ar::ARContent>& content, const std::string& path,
                   bool* wrote = nullptr) {
    return artest::SaveWithComponent(table_, content, path, wrote);
  }
  Completions Load(const std::string& path, SmartPtr<orl::AnnoSetTableEntry>* loaded = nullptr) {
    return artest::LoadWithComponent(table_, path, loaded);
  }

  artest::TempDir dir_;
  SmartPtr<orl::AnnoSetTable> table_;

  void SetUp() override {
    ControllerTest::SetUp();
    table_ = orl::AnnoSetTable::Create(Symbol(dir_.path().string()));
  }
  void TearDown() override {
    table_ = nullptr;
    ControllerTest::TearDown();
  }
};

TEST_F(TargetFileTest, WrittenFileHasTheExactFrame) {
  const std::string path = dir_.File("t.xml");
  EXPECT_EQ(Save(ContentWith({}), path), Completions{"ok"});
  EXPECT_EQ(artest::ReadFile(path),
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
            "<augmentedreality version=\"1\">\n"
            "  <targets>\n"
            "    <content name=\"arcontent\" />\n"
            "  </targets>\n"
            "</augmentedreality>\n");
}

TEST_F(TargetFileTest, WrittenTargetsComeBackAttachedToTheEntry) {
  const std::string path = dir_.File("t.xml");
  ASSERT_EQ(Save(ContentWith({"Door", "Window", "Door"}), path), Completions{"ok"});
  SmartPtr<orl::AnnoSetTableEntry> entry;
  EXPECT_EQ(Load(path, &entry), Completions{"ok"});
  EXPECT_EQ(TargetNames(entry), (std::multiset<std::string>{"Door", "Door", "Window"}));
  auto content = du::DynamicCast<ar::ARContent>(entry->GetContent());
  EXPECT_EQ(content->GetFileName(), Symbol(path));
}

TEST_F(TargetFileTest, WriterFailureRoads) {
  auto saver = Component("saver");
  SmartPtr<RecordingEvent> event = new RecordingEvent;
  EXPECT_FALSE(saver->WriteAnnotation(table_, nullptr, Symbol("x"), event.get()));
  auto empty = ArEntry(dir_.File("none.xml"));
  EXPECT_FALSE(saver->WriteAnnotation(table_, empty, Symbol("x"), event.get()));
  EXPECT_FALSE(saver->WriteAnnotation(table_, empty, Symbol("x"), nullptr));
  arhost::RunUntilIdle();
  EXPECT_EQ(event->completions, Completions{"error 1"}) << "the empty entry leaves it alone";

  bool wrote = false;
  const std::string unwritable = dir_.File("missing/t.xml");
  EXPECT_EQ(Save(ContentWith({"A"}), unwritable, &wrote), Completions{"ok"});
  EXPECT_TRUE(wrote) << "a write that could not reach the disk still counts as carried out";
  EXPECT_EQ(artest::ReadFile(unwritable), "");
}

TEST_F(TargetFileTest, FailedWriteLeavesThePreviousFileUntouched) {
  const std::string path = dir_.File("t.xml");
  ASSERT_EQ(Save(ContentWith({"Old"}), path), Completions{"ok"});
  const std::string previous = artest::ReadFile(path);
  Completions completions;
  {
    artest::FileSizeLimit limit(64);
    completions = Save(ContentWith({"New", "Newer"}), path);
  }
  EXPECT_EQ(completions, Completions{"ok"});
  EXPECT_EQ(artest::ReadFile(path), previous);
  EXPECT_EQ(dir_.Listing(), "t.xml;") << "no temporary file is left";
}

TEST_F(TargetFileTest, ReaderFailsWithOneErrorAndLeavesTheEntryAlone) {
  struct Case {
    const char* name;
    const char* text;  // null: no file at all
  };
  const Case cases[] = {
      {"missing", nullptr},
      {"empty", ""},
      {"not xml", "targets: 3"},
      {"truncated", "<augmentedreality version=\"1\"><targets><content name=\"arc"},
      {"no version", "<augmentedreality><targets/></augmentedreality>"},
      {"version 2", "<augmentedreality version=\"2\"><targets/></augmentedreality>"},
      {"version word", "<augmentedreality version=\"one\"><targets/></augmentedreality>"},
      {"no targets", "<augmentedreality version=\"1\"><target/></augmentedreality>"},
  };
  for (const Case& c : cases) {
    const std::string path = dir_.File(std::string(c.name) + ".xml");
    if (c.text) artest::WriteFile(path, c.text);
    SmartPtr<orl::AnnoSetTableEntry> entry;
    EXPECT_EQ(Load(path, &entry), Completions{"error 1"}) << c.name;
    EXPECT_TRUE(entry->GetContent().IsNull()) << c.name;
  }
  // Without an event, nothing is told and nothing breaks.
  Component("loader")->ParseAnnotation(table_, ArEntry(dir_.File("missing.xml")), nullptr);
  Component("loader")->ParseAnnotation(table_, nullptr, nullptr);
  SmartPtr<RecordingEvent> event = new RecordingEvent;
  Component("loader")->ParseAnnotation(table_, nullptr, event.get());
  arhost::RunUntilIdle();
  EXPECT_EQ(event->completions, Completions{"error 1"});
}

TEST_F(TargetFileTest, ReaderTakesAnyRootWithAnAcceptableVersion) {
  const char* accepted[] = {"<other version=\"1\"><targets/></other>",
                            "<augmentedreality version=\"0\"><targets/></augmentedreality>",
                            "<augmentedreality version=\"-3\"><targets/></augmentedreality>"};
  for (const char* text : accepted) {
    const std::string path = dir_.File("accepted.xml");
    artest::WriteFile(path, text);
    SmartPtr<orl::AnnoSetTableEntry> entry;
    EXPECT_EQ(Load(path, &entry), Completions{"ok"}) << text;
    EXPECT_TRUE(entry->GetContent()) << text;
  }
}

TEST_F(TargetFileTest, ReaderKeepsWhatItCanReadOfABadTargetsElement) {
  const std::string path = dir_.File("partly.xml");
  artest::WriteFile(path,
                    "<augmentedreality version=\"1\"><targets><content name=\"arcontent\">"
                    "<content name=\"artarget\"><uint8 key=\"artargetversion\" value=\"0\"/>"
                    "<string key=\"artargetname\" value=\"Kept\"/>"
                    "<double key=\"artargetwidth\" value=\"1e999999\"/>"
                    "<int key=\"artargetname\" value=\"5\"/></content>"
                    "<content name=\"artarget\"><uint8 key=\"artargetversion\" value=\"7\"/>"
                    "</content><mystery/></content></targets></augmentedreality>");
  SmartPtr<orl::AnnoSetTableEntry> entry;
  EXPECT_EQ(Load(path, &entry), Completions{"ok"});
  EXPECT_EQ(TargetNames(entry), (std::multiset<std::string>{"", "Kept"}));
}

TEST_F(TargetFileTest, HugeDeepAndAbsurdInputsAreReadWithoutHarm) {
  const std::string hugeName(1 << 20, 'n');
  std::string nested;
  for (int i = 0; i < 100000; ++i) nested += "<content name=\"deep\">";
  for (int i = 0; i < 100000; ++i) nested += "</content>";
  const std::string path = dir_.File("odd.xml");
  artest::WriteFile(path,
                    "<augmentedreality version=\"1\"><targets><content name=\"arcontent\">"
                    "<content name=\"artarget\"><uint8 key=\"artargetversion\" value=\"0\"/>"
                    "<string key=\"artargetname\" value=\"" +
                        hugeName +
                        "\"/>"
                        "<int key=\"artargetid\" value=\"99999999999999999999\"/>"
                        "<double key=\"artargetwidth\" value=\"1e400\"/></content>" +
                        nested + "</content></targets></augmentedreality>");
  SmartPtr<orl::AnnoSetTableEntry> entry;
  EXPECT_EQ(Load(path, &entry), Completions{"ok"});
  EXPECT_EQ(TargetNames(entry), std::multiset<std::string>{hugeName});
}

TEST_F(TargetFileTest, EntityTricksExpandNothing) {
  const std::string path = dir_.File("entities.xml");
  artest::WriteFile(path,
                    "<!DOCTYPE a [<!ENTITY x \"xxxxxxxxxxxxxxxx\"><!ENTITY y \"&x;&x;&x;&x;\">"
                    "<!ENTITY ext SYSTEM \"file:///etc/passwd\">]>"
                    "<augmentedreality version=\"1\"><targets><content name=\"arcontent\">"
                    "<content name=\"artarget\"><uint8 key=\"artargetversion\" value=\"0\"/>"
                    "<string key=\"artargetname\" value=\"&y;&ext;\"/></content></content>"
                    "</targets></augmentedreality>");
  SmartPtr<orl::AnnoSetTableEntry> entry;
  EXPECT_EQ(Load(path, &entry), Completions{"ok"});
  EXPECT_EQ(TargetNames(entry), std::multiset<std::string>{"&y;&ext;"}) << "references stay text";
}

}  // namespace
