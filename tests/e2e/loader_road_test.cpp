// The whole road of a target file through the host: the plug-in loaded by path, the loader
// asking its factory for the saver and the loader, the message loop completing the events.
#include <gtest/gtest.h>

#include <cerrno>
#include <set>
#include <string>

#include "WorldTest.h"
#include "du/FileWriter.h"

namespace {

using artest::Completions;
using du::SmartPtr;

class LoaderRoadTest : public artest::WorldTest {
 protected:
  static SmartPtr<orl::AnnoSetTableEntry> Entry(const char* family = "augmentedreality") {
    return artest::ArEntry("", "<!ARTargets!>", family);
  }
  // Runs one save or load through the loader; returns the completions the event received.
  Completions Run(bool save, const SmartPtr<orl::AnnoSetTableEntry>& entry) {
    SmartPtr<artest::RecordingEvent> event = new artest::RecordingEvent;
    EXPECT_TRUE(save ? loader_->SaveAnnotation(table_, entry, event.get())
                     : loader_->LoadAnnotation(table_, entry, event.get()));
    EXPECT_TRUE(event->completions.empty()) << "never completed inside the call";
    arhost::RunUntilIdle();
    return event->completions;
  }
};

TEST_F(LoaderRoadTest, SavedSetComesBackAndAFailedSaveSaysSoAndKeepsIt) {
  auto saved = Entry();
  saved->SetContent(ContentOf({"Door", "Window"}).get());
  EXPECT_EQ(Run(true, saved), Completions{"ok"});
  EXPECT_EQ(dir_.Listing(), "ARTargets.xml;") << "saved where the reader will look";
  auto loaded = Entry();
  EXPECT_EQ(Run(false, loaded), Completions{"ok"});
  EXPECT_EQ(artest::TargetNames(loaded), (std::multiset<std::string>{"Door", "Window"}));

  const std::string previous = artest::ReadFile(FilePath());
  saved->SetContent(ContentOf({"New", "Newer", "Newest"}).get());
  const du::FileWriter::SystemCalls real = du::FileWriter::Calls();
  du::FileWriter::Calls().write = [](int, const void*, std::size_t) -> ssize_t {
    errno = ENOSPC;  // a full disk
    return -1;
  };
  const Completions failed = Run(true, saved);
  du::FileWriter::Calls() = real;
  ASSERT_EQ(failed.size(), 1u);
  EXPECT_EQ(failed[0], "error 1 cannot write the new " + FilePath() + ": No space left on device");
  EXPECT_EQ(artest::ReadFile(FilePath()), previous);
  EXPECT_EQ(dir_.Listing(), "ARTargets.xml;");
}

TEST_F(LoaderRoadTest, LoadsAndSavesNoPluginCanDoEndInAnError) {
  EXPECT_EQ(Run(false, Entry("markup")),
            Completions{"error 1 no plug-in gives a loader for the family 'markup'"});
  EXPECT_EQ(Run(true, Entry("markup")),
            Completions{"error 1 no plug-in gives a saver for the family 'markup'"});
  EXPECT_EQ(Run(false, Entry()), Completions{"error 1"}) << "no file: the reader's own error";
}

TEST_F(LoaderRoadTest, PluginsThatCannotBeLoadedSayWhy) {
  const std::pair<std::string, const char*> rows[] = {
      {AR_PLUGIN_PATH, "loaded already"},
      {dir_.File("nothing.so"), "nothing.so"},
      {AR_HOST_PATH, "lacks OrlDllCreateComponent"}};
  for (const auto& [path, reason] : rows) {
    std::string error;
    EXPECT_FALSE(loader_->LoadPlugin(path, &error));
    EXPECT_NE(error.find(reason), std::string::npos) << error;
  }
  EXPECT_EQ(loader_->GetPluginCount(), 1u);
}

}  // namespace
