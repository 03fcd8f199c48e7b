// The plug-in's components, obtained from its factory as a host does: one controller, and a new
// saver or loader every time. Then the saver and the loader on real files: where a file lives,
// what it holds, lossless and valid against the schema, and what the reader makes of any other
// text.
#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cstdlib>
#include <limits>
#include <set>
#include <string>

#include "AnnoSets.h"
#include "ControllerTest.h"
#include "TempDir.h"
#include "orlloader/AnnotationParser.h"
#include "orlloader/Loader.h"
#include "xml/TargetFilePath.h"

namespace {

using artest::ArEntry;
using artest::Completions;
using artest::Component;
using artest::Exact;
using du::SmartPtr;
using du::Symbol;

using ComponentFactoryTest = artest::ControllerTest;

TEST_F(ComponentFactoryTest, OneControllerButANewReaderOrWriterEveryTime) {
  for (const char* kind : {"world", "loader", "saver"}) {
    SCOPED_TRACE(kind);
    const bool controller = std::string(kind) == "world";
    const char* subtype = controller ? "controller" : "xml";
    SmartPtr<du::RefCounted> first, second;
    ASSERT_TRUE(OrlDllCreateComponent(kind, "augmentedreality", subtype, first));
    SmartPtr<du::RefCounted> old = first;
    ASSERT_TRUE(OrlDllCreateComponent(kind, "augmentedreality", subtype, first));
    ASSERT_TRUE(OrlDllCreateComponent(kind, "augmentedreality", subtype, second));
    EXPECT_EQ(first == second, controller);
    if (controller) continue;
    EXPECT_EQ(old->GetReferenceCount(), 1) << "the holder released what it held";
    EXPECT_TRUE(du::DynamicCast<orlloader::AnnotationParser>(first));
    EXPECT_EQ(first->GetReferenceCount(), 1) << "the factory keeps no reference";
  }
  SmartPtr<du::RefCounted> controller;
  OrlDllCreateComponent("world", "augmentedreality", "controller", controller);
  EXPECT_EQ(controller.get(), static_cast<du::RefCounted*>(controller_));
}

// Near misses are refused and leave the holder alone; a failed allocation still answers, with
// an empty component.
TEST_F(ComponentFactoryTest, NearMissesAreRefusedAndAFailedAllocationAnswersEmpty) {
  const char* requests[][3] = {
      {"World", "augmentedreality", "controller"}, {"world ", "augmentedreality", "controller"},
      {"worl", "augmentedreality", "controller"},  {"world", "Augmentedreality", "controller"},
      {"world", "augmentedrealit", "controller"},  {"world", "augmentedreality", "controller "},
      {"world", "augmentedreality", "xml"},        {"loader", "augmentedreality", "controller"},
      {"xml", "augmentedreality", "loader"},       {"loader", "augmentedreality", "XML"},
      {"saver", "augmentedreality", "xm"},         {"", "", ""},
  };
  SmartPtr<du::RefCounted> sentinel;
  ASSERT_TRUE(OrlDllCreateComponent("loader", "augmentedreality", "xml", sentinel));
  for (const auto& r : requests) {
    SmartPtr<du::RefCounted> held = sentinel;
    EXPECT_FALSE(OrlDllCreateComponent(r[0], r[1], r[2], held))
        << '"' << r[0] << "\" \"" << r[1] << "\" \"" << r[2] << '"';
    EXPECT_EQ(held, sentinel);
  }
  EXPECT_EQ(sentinel->GetReferenceCount(), 1);
  orl::MemoryPoolAllocated::FailNextAllocations(1);
  EXPECT_TRUE(OrlDllCreateComponent("loader", "augmentedreality", "xml", sentinel));
  EXPECT_TRUE(sentinel.IsNull());
}

class TargetFileTest : public artest::ControllerTest {
 protected:
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
  SmartPtr<orl::AnnoSetTable> table_ = orl::AnnoSetTable::Create(Symbol(dir_.path().string()));
};

TEST(TargetFilePathTest, ReaderAndLoaderNameTheSameFile) {
  struct Row {
    const char *directory, *name, *fileName, *path;
  };
  const Row rows[] = {
      {"C:/data", "Markers", "C:/data/t.XML", "C:/data/t.XML"},  // a file name is used as it is
      {"C:/data", "<!Markers!>", "", "C:/data/Markers.xml"},
      {"C:/data/", "<!Markers!>", "", "C:/data/Markers.xml"},  // one separator
      {"C:\\data\\", "<!Markers!>", "", "C:\\data\\Markers.xml"},
      {"", "<!Markers!>", "", "/Markers.xml"},
      {"/d", "<!only open", "", "/d/<!only open.xml"},  // markers go only in pairs
      {"/d", "a<!b!>c<!d!>e", "", "/d/a<!b!>cde.xml"},  // at their last places
      // Both places are found before either removal: removing "!>" first shifts "<!" past the
      // place the second removal looks at, so "<!" stays.
      {"/d", "!>ab<!", "", "/d/ab<!.xml"},
      {"/d", "targets.xml", "", "/d/targets.xml"},  // ".xml" exactly is kept
      {"/d", "targets.XML", "", "/d/targets.XML.xml"},
      {"", "abcd", "", "/abcd.xml"},
      {"", "", "", "/"},  // four characters or fewer stay as they are
      {"/", "ab", "", "/ab"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.directory) + " + " + row.name);
    EXPECT_EQ(
        ar::TargetFilePath(Symbol(row.directory), Symbol(row.name), Symbol(row.fileName)).str(),
        row.path);
    if (!*row.name) continue;  // the host makes no entry without a name
    const auto table = orl::AnnoSetTable::Create(Symbol(row.directory));
    EXPECT_EQ(orlloader::Loader::SavePath(table, ArEntry(row.fileName, row.name)).str(), row.path);
  }
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
      artest::SaveWithComponent(table_, ContentOf({"A"}), dir_.File("missing/t.xml"), &wrote);
  EXPECT_TRUE(wrote) << "the write was carried out, and failed";
  ASSERT_EQ(missing.size(), 1u);
  EXPECT_NE(missing[0].find("error 1 cannot open the folder"), std::string::npos) << missing[0];
  EXPECT_EQ(dir_.Listing(), "") << "nothing was created";
}

// The file has the exact frame, keeps every bit of its targets, duplicate names included, and
// satisfies the schema.
TEST_F(TargetFileTest, WrittenFileHasTheExactFrameKeepsEveryBitAndSatisfiesTheSchema) {
  const std::string path = dir_.File("targets.xml");
  EXPECT_EQ(artest::SaveWithComponent(table_, ContentOf({}), path), Completions{"ok"});
  EXPECT_EQ(artest::ReadFile(path),
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
            "<augmentedreality version=\"1\">\n"
            "  <targets>\n"
            "    <content name=\"arcontent\" />\n"
            "  </targets>\n"
            "</augmentedreality>\n");
  const double inf = std::numeric_limits<double>::infinity(),
               nan = std::numeric_limits<double>::quiet_NaN();
  const double extremes[] = {DBL_MAX, -DBL_MAX, DBL_MIN, DBL_TRUE_MIN, 2.5e-310,
                             -0.0,    nan,      inf,     -inf,         0.1};
  const std::string texts[] = {"<tag> & \"quote\" 'apos'", "  leading and trailing  ",
                               "line\nbreak\r\nand\ttab", "Größe · 目标 · 🎯", ""};
  artest::TargetSet targets;
  std::multiset<std::string> expected;
  int n = 0;
  for (double d : extremes) {  // each name twice
    auto t = MakeTarget(texts[n % 5], n % 2 ? INT_MIN : INT_MAX,
                        static_cast<ar::ARTarget::EType>(n * 25));
    t->SetImage(Symbol(texts[(n + 1) % 5]));
    t->SetSize(d, -d);
    dg::DPoint3D p{d, 1, -d};
    dg::DVec3 normal{0, 0, d}, x{d, d, d}, y{-0.0, 0, 0};
    Symbol idPath(texts[(n++ + 2) % 5]);
    t->SetLocation(p, normal, x, y, idPath, d);
    targets.insert(t);
    expected.insert(Exact(*t));
  }
  SmartPtr<ar::ARContent> content = new ar::ARContent;
  content->SetTargets(targets);
  ASSERT_EQ(artest::SaveWithComponent(table_, content, path), Completions{"ok"});
  const std::string schema = "xmllint --noout --schema " AR_SOURCE_DIR "/docs/target-file.xsd ";
  EXPECT_EQ(std::system((schema + "'" + path + "' 2>/dev/null").c_str()), 0)
      << artest::ReadFile(path);
  SmartPtr<orl::AnnoSetTableEntry> entry;
  ASSERT_EQ(artest::LoadWithComponent(table_, path, &entry), Completions{"ok"});
  std::multiset<std::string> back;
  for (const auto& t : artest::Targets(entry)) back.insert(Exact(*t));
  EXPECT_EQ(back, expected);
  EXPECT_EQ(du::DynamicCast<ar::ARContent>(entry->GetContent())->GetFileName(), Symbol(path));

  artest::WriteFile(path,
                    "<augmentedreality version=\"1\"><targets>"
                    "<double key=\"artargetwidth\" value=\"wide\"/></targets></augmentedreality>");
  EXPECT_NE(std::system((schema + "'" + path + "' 2>/dev/null").c_str()), 0)
      << "the schema must check values, not only shape";
}

// Whatever text the file holds, the reader takes what it can without harm, or fails with one
// error and leaves the entry alone.
TEST_F(TargetFileTest, ReaderTakesWhatItCanOrFailsWithOneError) {
  std::string nested;
  for (int i = 0; i < 100000; ++i) nested += "<content name=\"deep\">";
  for (int i = 0; i < 100000; ++i) nested += "</content>";
  const std::string hugeName(1 << 20, 'n');
  struct Row {
    const char* name;
    std::string text;
    const char* completion;
    std::multiset<std::string> names = {};
  };
  const Row rows[] = {
      {"empty", "", "error 1"},
      {"not XML", "targets: 3", "error 1"},
      {"cut short", "<augmentedreality version=\"1\"><targets><content name=\"arc", "error 1"},
      {"no version", File("<targets/>", "augmentedreality", ""), "error 1"},
      {"version 2", File("<targets/>", "augmentedreality", " version=\"2\""), "error 1"},
      {"version one", File("<targets/>", "augmentedreality", " version=\"one\""), "error 1"},
      {"no targets", File("<target/>"), "error 1"},
      {"any root", File("<targets/>", "other"), "ok"},
      {"version 0", File("<targets/>", "augmentedreality", " version=\"0\""), "ok"},
      {"version -3", File("<targets/>", "augmentedreality", " version=\"-3\""), "ok"},
      {"bad values and elements skipped",
       File("<targets><content name=\"arcontent\">" +
            Target("Kept",
                   "<double key=\"artargetwidth\" value=\"1e999999\"/>"
                   "<int key=\"artargetname\" value=\"5\"/>") +
            "<content name=\"artarget\"><uint8 key=\"artargetversion\" value=\"7\"/></content>"
            "<mystery/></content></targets>"),
       "ok",
       {"", "Kept"}},
      {"huge, deep and absurd",
       File("<targets><content name=\"arcontent\">" +
            Target(hugeName, "<int key=\"artargetid\" value=\"99999999999999999999\"/>") + nested +
            "</content></targets>"),
       "ok",
       {hugeName}},
      {"entities expand nothing",
       "<!DOCTYPE a [<!ENTITY x \"xxxxxxxxxxxxxxxx\"><!ENTITY y \"&x;&x;&x;&x;\">"
       "<!ENTITY ext SYSTEM \"file:///etc/passwd\">]>" +
           File("<targets>" + Target("&y;&ext;") + "</targets>"),
       "ok",
       {"&y;&ext;"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const auto [completions, names] = Load(row.text);
    EXPECT_EQ(completions, Completions{row.completion});
    EXPECT_EQ(names, row.names);
  }
  EXPECT_EQ(artest::LoadWithComponent(table_, dir_.File("missing.xml")), Completions{"error 1"});
  // Without an event, nothing is told and nothing breaks.
  Component("loader")->ParseAnnotation(table_, ArEntry(dir_.File("missing.xml")), nullptr);
  Component("loader")->ParseAnnotation(table_, nullptr, nullptr);
  SmartPtr<artest::RecordingEvent> event = new artest::RecordingEvent;
  Component("loader")->ParseAnnotation(table_, nullptr, event.get());
  arhost::RunUntilIdle();
  EXPECT_EQ(event->completions, Completions{"error 1"});
}

}  // namespace
