// The roads of the plug-in through the host, each a script (see WorldTest.h): scenes arriving
// and the loads they start, the targets announced for them, showing, hiding and saving, and
// interleavings of all of these, run step by step on the message loop. Then the road of a target
// file through the host's loader, which asks the plug-in's factory for the saver and the loader,
// and application threads editing, finding and saving targets while the host's thread delivers
// scene changes, completions and every notification they cause (run under ThreadSanitizer in CI).
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "WorldTest.h"
#include "dg/Geometry.h"

namespace {

using artest::Completions;
using artest::Road;
using du::SmartPtr;

class RoadsTest : public artest::WorldTest, public ::testing::WithParamInterface<Road> {};

TEST_P(RoadsTest, Plays) { Play(GetParam().script); }

// A world whose three targets were loaded through a scene L named after none of them.
const artest::Script kLoaded = {"set Door Window Roof", "+L Nothing", "*", "heard: creations"};

artest::Script AfterLoading(std::initializer_list<std::string> then) {
  artest::Script script = kLoaded;
  script.insert(script.end(), then);
  return script;
}

const Road kSceneRoads[] = {
    {"scene arriving first loads the set and gets its target",
     {"set Door Window Roof", "+S Window", "heard:", "*", "heard: creations, scene Window @S",
      "target S: Window"}},
    {"scenes that cannot be tracked are ignored",
     {"set Door", "+P Door plain", "+E", "*", "heard:", "registry:", "observers E: 0",
      "target P: -"}},
    {"scene announced twice keeps its first observer",
     AfterLoading({"+S Door", "*", "heard: scene Door @S", "again S", "*",
                   "heard:", "observers S: 1", "target S: Door"})},
    {"scene added after loading hears its target at once",
     AfterLoading(
         {"+N Roof", "+U Chimney", "*", "heard: scene Roof @N", "target N: Roof", "target U: -"})},
    {"removed scene is forgotten but its target stays",
     AfterLoading({"+S Door", "*", "drain", "-S", "*", "heard:", "registry: Door Roof Window",
                   "observers S: 0", "target S: -", "-S", "*", "heard:"})},
    {"entry changes announce only a different target",
     AfterLoading({"+S Door", "*", "drain", "entry S Door", "*", "heard:", "entry S Cellar", "*",
                   "heard: scene - @S", "target S: -", "entry S Roof", "*", "heard: scene Roof @S",
                   "entry S -", "*", "heard:", "target S: Roof"})},
    {"entry change before any load starts one",
     {"+S Door", "*", "heard:", "set Door Window", "entry S Window", "*",
      "heard: creations, scene Window @S"}},
    {"completion for a removed scene loads but announces no scene",
     {"set Door Window", "+S Door", "-S", "*", "heard: creations", "registry: Door Window"}},
    {"two scenes before loading give one set of creations, each load in its own group",
     {"set Door Window Roof", "groups", "+A Door", "+B Roof", "*",
      "heard: begin, creations, scene Door @A, end, begin, scene Roof @B, end"}},
    {"failed load leaves nothing loaded and the next scene loads again",
     {"entry-only", "+A Door", "*", "heard:", "registry:", "file Door", "+B Door", "*",
      "heard: create Door, scene Door @B"}},
    {"targets added before the first load vanish silently",
     {"set Door", "add Early", "*", "heard: create Early", "+S Door", "*",
      "heard: create Door, scene Door @S", "registry: Door"}},
    {"world without the set loads nothing",
     {"file Door", "+A Door", "no-table", "+B Door", "*", "heard:", "registry:"}},
    {"world init and reset drop the shown state and the content",
     {"add Early", "init", "*", "heard: create Early", "registry: Early", "set Door", "+S Door",
      "show", "*", "drain", "reset", "*", "heard: show 0, reset", "registry:", "shown: 0",
      "target S: Door"}},
    {"destroyed scene detaches its observer but is tracked until removed",
     AfterLoading({"+S Door", "*", "destroy S", "*", "observers S: 0", "target S: Door", "-S", "*",
                   "target S: -"})},
};
INSTANTIATE_TEST_SUITE_P(Scenes, RoadsTest, ::testing::ValuesIn(kSceneRoads), artest::RoadName);

// The caller's event is completed before the notification that follows it: both travel
// through the loop, so the one log shows their order.
const Road kShowHideSaveRoads[] = {
    {"show loads the set, completes, then shows",
     {"set Door Window", "show", "heard:", "shown: 0", "*",
      "heard: creations, completed ok, show 1", "shown: 1"}},
    {"show and hide post only on a change",
     {"set Door", "hide", "*", "heard:", "+S Door", "*", "drain", "show", "*",
      "heard: completed ok, show 1", "show", "*", "heard: completed ok", "show-", "*", "heard:"}},
    {"hide posts once and a show without an event still shows",
     {"set Door", "+S Door", "show", "*", "drain", "hide", "hide", "*", "heard: show 0", "shown: 0",
      "registry: Door", "show-", "*", "heard: show 1"}},
    {"show in a world without the set creates an empty one",
     {"add Early", "*", "drain", "show", "*", "heard: completed ok, show 1", "registry:", "save",
      "*", "heard: completed ok", "file:"}},
    {"show and save fail without a table",
     {"no-table", "show", "save", "*", "heard: completed error 1, completed error 1", "shown: 0"}},
    {"failed load fails the show", {"entry-only", "show", "*", "heard: completed error 1"}},
    {"load that finds the table gone when it completes fails the show",
     {"set Door", "show", "1", "no-table", "*", "heard: completed error 1",
      "registry:", "shown: 0"}},
    {"load that finds the set gone when it completes fails the show",
     {"set Door", "show", "1", "new-table", "*", "heard: completed error 1", "registry:"}},
    {"save before any load fails and keeps the file",
     {"set Door", "add Early", "save", "save-", "*", "heard: create Early, completed error 1",
      "file: Door"}},
    {"save fails when the set or the table is gone",
     {"set Door", "show", "*", "drain", "new-table", "save", "no-table", "save", "*",
      "heard: completed error 1, completed error 1"}},
    {"saved registry comes back in a new world",
     {"set Door Window Roof", "show", "*", "add Cellar", "remove Window", "move Door", "save", "*",
      "saved", "reset", "new-table", "entry-only", "*", "registry:", "show", "*",
      "registry: Cellar Door Roof", "saved"}},
    {"saves without events change nothing else",
     {"set Door", "show", "*", "drain", "add X", "save-", "*", "heard: create X", "saved"}},
};
INSTANTIATE_TEST_SUITE_P(ShowHideSave, RoadsTest, ::testing::ValuesIn(kShowHideSaveRoads),
                         artest::RoadName);

// Whatever order scene arrivals, loads, shows and edits come in, a save writes the registry.
const Road kInterleavings[] = {
    {"second load queued between the first one's reader and its completion",
     {"set Door Gate", "+A Door", "1", "+B Gate", "1", "1", "1", "1", "*", "set: registry", "add X",
      "save", "*", "saved"}},
    {"show while the first scene's load is in flight",
     {"set Door Gate", "+A Door", "show", "1", "1", "1", "1", "*", "add X", "move Door", "save",
      "*", "saved"}},
    {"show first, edits in between",
     {"set Door Gate", "show", "+A Door", "*", "add X", "move Door", "remove Gate", "save", "*",
      "saved", "hide", "add Y", "save", "*", "saved"}},
    {"saves between loads of two scene waves",
     {"set Door Gate", "+A Door", "+B Gate", "*", "add X", "save", "*", "saved", "+C Door", "show",
      "*", "remove X", "save", "*", "saved"}},
    {"save queued before a second load completes",
     {"set Door Gate", "+A Door", "1", "show", "1", "1", "1", "add X", "save", "*", "saved",
      "move X", "save", "*", "saved"}},
};
INSTANTIATE_TEST_SUITE_P(Interleavings, RoadsTest, ::testing::ValuesIn(kInterleavings),
                         artest::RoadName);

class RoadsEndTest : public artest::WorldTest {};

TEST_F(RoadsEndTest, RemovedSceneObserverLeavesTheLoop) {
  Play(AfterLoading({"+S Door", "*"}));
  const std::size_t managed = arhost::GetLiveCounts().managedObjects;
  Play({"-S", "*"});
  EXPECT_EQ(arhost::GetLiveCounts().managedObjects, managed - 1);
}

TEST_F(RoadsEndTest, CreatedSetIsMarkedForSavingInThePluginsFamily) {
  Play({"show", "*"});
  du::SmartPtr<orl::AnnoSetTableEntry> entry;
  ASSERT_TRUE(table_->GetAnnotationEntry(du::Symbol("ARTargets"), orl::ANNO_SET_CONTENT_AR, entry));
  EXPECT_TRUE(entry->needsSave);
  EXPECT_EQ(entry->GetFamily().str(), "augmentedreality");
}

// What the loop delivers to the controller changes it under the exclusive lock: after each
// script, the next message runs on a second thread while this one holds the lock for reading,
// and must wait.
TEST_F(RoadsEndTest, DeliveredChangesTakeTheLockExclusively) {
  const std::pair<artest::Script, const char*> rows[] = {
      {{"set Door", "+S Door"}, "scene added"},
      {{"1"}, "load completed"},  // the reader ran; its completion is next
      {{"*", "entry S Gate"}, "entry changed"},
      {{"*", "reset"}, "world reset"},
      {{"*", "-S"}, "scene removed"},
  };
  for (const auto& [script, name] : rows) {
    SCOPED_TRACE(name);
    Play(script);
    EXPECT_TRUE(artest::WaitsForLock([] { dom::MessageLoop::Get().RunOne(); }, false));
  }
  Play({"*", "registry:", "target S: -"});
}

TEST_F(RoadsEndTest, DestroyedControllerHearsNothingMore) {
  Play(AfterLoading({"+S Door", "*"}));
  const std::size_t worldObservers = world_->GetObserverCount();
  controller_->Destroy();
  EXPECT_EQ(world_->GetObserverCount(), worldObservers - 1);
  Play({"observers S: 0", "observers L: 0", "+T Window", "entry S Roof", "reset", "*",
        "registry: Door Roof Window", "target T: -", "target S: -"});
}

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

// (A failed save that keeps the file: file_writer_test.cpp, and hostile_input_test.cpp's tool.)
TEST_F(LoaderRoadTest, SavedSetComesBackFromWhereItWasSaved) {
  auto saved = Entry();
  saved->SetContent(ContentOf({"Door", "Window"}).get());
  EXPECT_EQ(Run(true, saved), Completions{"ok"});
  EXPECT_EQ(dir_.Listing(), "ARTargets.xml;") << "saved where the reader will look";
  auto loaded = Entry();
  EXPECT_EQ(Run(false, loaded), Completions{"ok"});
  EXPECT_EQ(artest::TargetNames(loaded), (std::multiset<std::string>{"Door", "Window"}));
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

// What a job frees goes back to the system after it, unless the program keeps it for what it
// builds next.
TEST_F(LoaderRoadTest, FreedMemoryGoesBackAfterAJobUnlessKept) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "a sanitizer's allocator holds freed memory itself";
#endif
  const auto residentKiB = [] {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
  };
  auto saved = Entry();
  saved->SetContent(ContentOf({"Door"}).get());
  ASSERT_EQ(Run(true, saved), Completions{"ok"});
  for (const bool returns : {true, false}) {
    loader_->SetReturnsFreedMemory(returns);
    // 64 MiB in blocks of 1 KiB, every 64th still in use: free() alone hands none of the
    // others back, for no free stretch lies at the heap's end.
    std::vector<char*> blocks(1 << 16);
    for (char*& block : blocks) {
      block = static_cast<char*>(std::memset(std::malloc(1024), 1, 1024));
      asm volatile("" : : "g"(block) : "memory");  // or the optimiser leaves the blocks out
    }
    for (std::size_t i = 0; i < blocks.size(); ++i)
      if (i % 64 != 63) std::free(blocks[i]);
    const long before = residentKiB();
    EXPECT_EQ(Run(false, Entry()), Completions{"ok"});
    const long after = residentKiB();
    for (std::size_t i = 63; i < blocks.size(); i += 64) std::free(blocks[i]);
    EXPECT_EQ(before - after > 32 * 1024, returns) << before << " KiB, then " << after;
  }
  loader_->SetReturnsFreedMemory(true);
}

constexpr int kRounds = 60;

class RoadsConcurrencyTest : public artest::WorldTest {
 protected:
  // Adds, finds and moves numbered targets of its own, and removes every other one.
  void Editor(int index) {
    for (int round = 0; round < kRounds; ++round) {
      const std::string name = "edit" + std::to_string(index) + "-" + std::to_string(round);
      SmartPtr<ar::ARTarget> target = MakeTarget(name, round, ar::ARTarget::TYPE_NUMBERED);
      controller_->AddTarget(target);
      EXPECT_EQ(controller_->FindTarget(du::Symbol(name)), target);
      if (!controller_->FindTarget(round)) ++misses_;
      dg::DPoint3D centre{double(round), 0, 0};
      dg::DVec3 normal{0, 0, 1}, x{1, 0, 0}, y{0, 1, 0};
      du::Symbol path("/1");
      target->SetLocation(centre, normal, x, y, path, 0);
      if (round % 2 == 0) controller_->RemoveTarget(target);
    }
  }
  void Finder() {
    for (int round = 0; round < kRounds * 4; ++round) {
      if (!controller_->FindTarget(du::Symbol("T" + std::to_string(round % 10)))) ++misses_;
      controller_->GetTargetForScene(scene_.get());
    }
  }
  void Saver(std::vector<SmartPtr<artest::RecordingEvent>>& events) {
    for (int round = 0; round < kRounds / 4; ++round) {
      events.push_back(new artest::RecordingEvent);
      controller_->SaveTargets(events.back().get());
    }
  }

  SmartPtr<orl::ShapeScene> scene_;
  std::atomic<int> misses_{0};
};

TEST_F(RoadsConcurrencyTest, ApplicationThreadsAndTheLoopShareTheController) {
  Play({"set T0 T1 T2 T3 T4 T5 T6 T7 T8 T9"});
  scene_ = ShapeScene("S", "T0");
  arhost::RunUntilIdle();
  ASSERT_EQ(Registry().size(), 10u);

  std::vector<SmartPtr<artest::RecordingEvent>> saves[2];
  std::atomic<int> running{5};
  auto worker = [&running](auto work) {
    return std::thread([&running, work] {
      work();
      --running;
    });
  };
  std::thread threads[] = {
      worker([this] { Editor(0); }), worker([this] { Editor(1); }), worker([this] { Finder(); }),
      worker([this, &saves] { Saver(saves[0]); }), worker([this, &saves] { Saver(saves[1]); })};

  // The host's thread: scenes come and go and change their entries while the loop delivers.
  for (int round = 0; running > 0; ++round) {
    scene_->SetAnnotationSetTableEntry(SceneEntry(("T" + std::to_string(round % 10)).c_str()));
    auto passing = ShapeScene("P", "T1");
    world_->RemoveScene(passing.get());
    arhost::RunUntilIdle();
    std::this_thread::yield();
  }
  for (auto& thread : threads) thread.join();
  arhost::RunUntilIdle();

  EXPECT_EQ(misses_, 0);
  EXPECT_EQ(Registry().size(), 10u + kRounds) << "every editor removed half of what it added";
  for (const char* heard : {"create edit", "moved edit", "destroy edit"})
    EXPECT_EQ(std::count_if(observer_->heard.begin(), observer_->heard.end(),
                            [&](const std::string& h) { return h.rfind(heard, 0) == 0; }),
              std::string(heard) == "destroy edit" ? kRounds : 2 * kRounds)
        << heard << ": every notification of every thread arrives";
  for (const auto& events : saves) {
    ASSERT_EQ(events.size(), std::size_t(kRounds / 4));
    for (const auto& event : events) EXPECT_EQ(event->completions, Completions{"ok"});
  }
  scene_ = nullptr;
  SmartPtr<artest::RecordingEvent> last = new artest::RecordingEvent;
  controller_->SaveTargets(last.get());
  arhost::RunUntilIdle();
  EXPECT_EQ(last->completions, Completions{"ok"});
  SmartPtr<orl::AnnoSetTableEntry> loaded;
  EXPECT_EQ(artest::LoadWithComponent(table_, FilePath(), &loaded), Completions{"ok"});
  EXPECT_EQ(artest::TargetNames(loaded).size(), 10u + kRounds)
      << "a save after the threads holds the registry";
}

}  // namespace
