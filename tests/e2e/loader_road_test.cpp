// The whole road of a target file through the host: the plug-in loaded by path, the loader
// asking its factory for the saver and the loader, the message loop completing the events.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "AnnoSets.h"
#include "FileSizeLimit.h"
#include "HostTest.h"
#include "RecordingEvent.h"
#include "TempDir.h"
#include "ar/ARContent.h"
#include "ar/ARController.h"
#include "ar/ARTarget.h"
#include "orl/AnnoSetTable.h"
#include "orl/World.h"
#include "orlloader/Loader.h"

namespace {

using artest::Completions;
using artest::RecordingEvent;
using du::SmartPtr;
using du::Symbol;

class LoaderRoadTest : public artest::HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    loader_ = orlloader::Loader::GetLoader();
    std::string error;
    ASSERT_TRUE(loader_->LoadPlugin(AR_PLUGIN_PATH, &error)) << error;
    table_ = orl::AnnoSetTable::Create(Symbol(dir_.path().string()));
    orl::World::GetWorld()->SetAnnoSetTable(table_);
  }
  void TearDown() override {
    table_ = nullptr;
    loader_ = nullptr;
    HostTest::TearDown();
  }

  static SmartPtr<orl::AnnoSetTableEntry> Entry(const char* family = "augmentedreality") {
    return artest::ArEntry("", "<!ARTargets!>", family);
  }
  SmartPtr<ar::ARContent> Content(std::initializer_list<const char*> names) {
    SmartPtr<ar::ARContent> content = new ar::ARContent;
    std::set<SmartPtr<ar::ARTarget>> targets;
    for (const char* name : names) {
      SmartPtr<ar::ARTarget> t = new ar::ARTarget(ar::ARController::Get());
      t->SetName(Symbol(name));
      targets.insert(t);
    }
    content->SetTargets(targets);
    return content;
  }
  // Runs one save or load through the loader; returns the completions the event received.
  Completions Run(bool save, const SmartPtr<orl::AnnoSetTableEntry>& entry) {
    SmartPtr<RecordingEvent> event = new RecordingEvent;
    const bool started = save ? loader_->SaveAnnotation(table_, entry, event.get())
                              : loader_->LoadAnnotation(table_, entry, event.get());
    EXPECT_TRUE(started);
    EXPECT_TRUE(event->completions.empty()) << "never completed inside the call";
    arhost::RunUntilIdle();
    return event->completions;
  }
  artest::TempDir dir_;
  SmartPtr<orlloader::Loader> loader_;
  SmartPtr<orl::AnnoSetTable> table_;
};

TEST_F(LoaderRoadTest, SavedSetIsLoadedBackThroughThePlugin) {
  auto saved = Entry();
  saved->SetContent(Content({"Door", "Window"}).get());
  EXPECT_EQ(Run(true, saved), Completions{"ok"});
  EXPECT_EQ(dir_.Listing(), "ARTargets.xml;") << "saved where the reader will look";

  auto loaded = Entry();
  EXPECT_EQ(Run(false, loaded), Completions{"ok"});
  EXPECT_EQ(artest::TargetNames(loaded), (std::multiset<std::string>{"Door", "Window"}));
}

TEST_F(LoaderRoadTest, FailedSaveLeavesThePreviousFileUntouched) {
  auto entry = Entry();
  entry->SetContent(Content({"Old"}).get());
  ASSERT_EQ(Run(true, entry), Completions{"ok"});
  const std::string previous = artest::ReadFile(dir_.File("ARTargets.xml"));
  entry->SetContent(Content({"New", "Newer", "Newest"}).get());
  {
    artest::FileSizeLimit limit(64);
    Run(true, entry);
  }
  EXPECT_EQ(artest::ReadFile(dir_.File("ARTargets.xml")), previous);
}

TEST_F(LoaderRoadTest, FamilyNoPluginAnswersForEndsInAnError) {
  EXPECT_EQ(Run(false, Entry("markup")),
            Completions{"error 1 no plug-in gives a loader for the family 'markup'"});
  EXPECT_EQ(Run(true, Entry("markup")),
            Completions{"error 1 no plug-in gives a saver for the family 'markup'"});
}

TEST_F(LoaderRoadTest, MissingFileEndsInTheReadersError) {
  EXPECT_EQ(Run(false, Entry()), Completions{"error 1"});
}

TEST_F(LoaderRoadTest, PluginsThatCannotBeLoadedSayWhy) {
  std::string error;
  EXPECT_FALSE(loader_->LoadPlugin(AR_PLUGIN_PATH, &error));
  EXPECT_NE(error.find("loaded already"), std::string::npos) << error;
  EXPECT_FALSE(loader_->LoadPlugin(dir_.File("nothing.so"), &error));
  EXPECT_NE(error.find("nothing.so"), std::string::npos) << error;
  EXPECT_FALSE(loader_->LoadPlugin(AR_HOST_PATH, &error));
  EXPECT_NE(error.find("lacks OrlDllCreateComponent"), std::string::npos) << error;
  EXPECT_EQ(loader_->GetPluginCount(), 1u);
}

}  // namespace
