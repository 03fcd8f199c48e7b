// The whole road of a target file through the host: the plug-in loaded by path, the loader
// asking its factory for the saver and the loader, the message loop completing the events.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "FileSizeLimit.h"
#include "WorldTest.h"

namespace {

using artest::Completions;
using artest::RecordingEvent;
using du::SmartPtr;

class LoaderRoadTest : public artest::WorldTest {
 protected:
  static SmartPtr<orl::AnnoSetTableEntry> Entry(const char* family = "augmentedreality") {
    return artest::ArEntry("", "<!ARTargets!>", family);
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
};

TEST_F(LoaderRoadTest, SavedSetIsLoadedBackThroughThePlugin) {
  auto saved = Entry();
  saved->SetContent(ContentOf({"Door", "Window"}).get());
  EXPECT_EQ(Run(true, saved), Completions{"ok"});
  EXPECT_EQ(dir_.Listing(), "ARTargets.xml;") << "saved where the reader will look";

  auto loaded = Entry();
  EXPECT_EQ(Run(false, loaded), Completions{"ok"});
  EXPECT_EQ(artest::TargetNames(loaded), (std::multiset<std::string>{"Door", "Window"}));
}

TEST_F(LoaderRoadTest, FailedSaveLeavesThePreviousFileUntouched) {
  auto entry = Entry();
  entry->SetContent(ContentOf({"Old"}).get());
  ASSERT_EQ(Run(true, entry), Completions{"ok"});
  const std::string previous = artest::ReadFile(dir_.File("ARTargets.xml"));
  entry->SetContent(ContentOf({"New", "Newer", "Newest"}).get());
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
