// Showing, hiding and saving the targets through the controller, with the loads, creations and
// saves they start completed by the message loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "WorldTest.h"
#include "dg/Geometry.h"

namespace {

using artest::Completions;
using artest::Heard;
using artest::RecordingEvent;
using du::SmartPtr;

class ShowSaveRoadTest : public artest::WorldTest {
 protected:
  // Runs `operation` with a new event; gives the event's completions once the loop is idle.
  template <class Operation>
  Completions Run(Operation operation) {
    SmartPtr<RecordingEvent> event = new RecordingEvent;
    operation(event.get());
    arhost::RunUntilIdle();
    return event->completions;
  }
  Completions Show() {
    return Run([this](orl::AsyncEvent* e) { controller_->ShowTargets(e); });
  }
  Completions Save() {
    return Run([this](orl::AsyncEvent* e) { controller_->SaveTargets(e); });
  }
};

TEST_F(ShowSaveRoadTest, ShowLoadsTheSetThenShows) {
  AddARTargetsSet({"Door", "Window"});
  SmartPtr<RecordingEvent> event = new RecordingEvent;
  controller_->ShowTargets(event.get());
  EXPECT_TRUE(event->completions.empty()) << "completed by the load, later";
  EXPECT_FALSE(controller_->GetShowTargets());
  arhost::RunUntilIdle();
  EXPECT_EQ(event->completions, Completions{"ok"});
  EXPECT_TRUE(controller_->GetShowTargets());
  const Heard heard = TakeHeard();
  EXPECT_EQ(heard, artest::Then(Creations(), {"show 1"}));
}

// The caller's event is completed before the notification that follows it is posted, on every
// road that has both; both travel through the loop, so one log shows their order.
TEST_F(ShowSaveRoadTest, CallersEventIsCompletedBeforeTheNotificationThatFollows) {
  AddARTargetsSet({"Door", "Gate"});
  struct Row {
    const char* name;
    std::function<void(orl::AsyncEvent*)> run;
    Heard expected;
  };
  const Row rows[] = {
      {"load, then show",
       [&](orl::AsyncEvent* e) { controller_->ShowTargets(e); },
       {"create ?", "create ?", "completed ok", "show 1"}},
      {"hide", [&](orl::AsyncEvent*) { controller_->HideTargets(); }, {"show 0"}},
      {"show what is loaded",
       [&](orl::AsyncEvent* e) { controller_->ShowTargets(e); },
       {"completed ok", "show 1"}},
      {"show again", [&](orl::AsyncEvent* e) { controller_->ShowTargets(e); }, {"completed ok"}},
      {"save", [&](orl::AsyncEvent* e) { controller_->SaveTargets(e); }, {"completed ok"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SmartPtr<RecordingEvent> event = new RecordingEvent;
    event->log = &observer_->heard;
    row.run(event.get());
    Heard heard = TakeHeard();
    for (auto& line : heard)
      if (line.rfind("create ", 0) == 0) line = "create ?";  // registry order is by address
    EXPECT_EQ(heard, row.expected);
  }
}

TEST_F(ShowSaveRoadTest, ShowWithContentOrWhileShownPostsOnlyOnAChange) {
  AddARTargetsSet({"Door"});
  ShapeScene("S", "Door");
  TakeHeard();
  EXPECT_EQ(Show(), Completions{"ok"});
  EXPECT_EQ(TakeHeard(), Heard{"show 1"});
  EXPECT_EQ(Show(), Completions{"ok"});
  EXPECT_EQ(TakeHeard(), Heard{});
  controller_->ShowTargets(nullptr);  // no event: nothing to complete, nothing breaks
  EXPECT_EQ(TakeHeard(), Heard{});
}

TEST_F(ShowSaveRoadTest, ShowInAWorldWithoutTheSetCreatesAnEmptyOne) {
  controller_->AddTarget(MakeTarget("Early"));
  TakeHeard();
  EXPECT_EQ(Show(), Completions{"ok"});
  EXPECT_EQ(TakeHeard(), Heard{"show 1"});
  EXPECT_TRUE(Registry().empty()) << "the registry is a copy of the new, empty set";
  SmartPtr<orl::AnnoSetTableEntry> entry;
  ASSERT_TRUE(table_->GetAnnotationEntry(du::Symbol("ARTargets"), orl::ANNO_SET_CONTENT_AR, entry));
  EXPECT_TRUE(entry->needsSave);
  EXPECT_EQ(entry->GetFamily().str(), "augmentedreality");

  EXPECT_EQ(Save(), Completions{"ok"}) << "an empty registry saves a file without targets";
  const std::string saved = artest::ReadFile(FilePath());
  EXPECT_NE(saved.find("<targets"), std::string::npos);
  EXPECT_EQ(saved.find("artarget"), std::string::npos);
}

TEST_F(ShowSaveRoadTest, ShowAndSaveFailWithoutATable) {
  world_->SetAnnoSetTable(nullptr);
  EXPECT_EQ(Show(), Completions{"error 1"});
  EXPECT_EQ(TakeHeard(), Heard{});
  EXPECT_FALSE(controller_->GetShowTargets());
}

TEST_F(ShowSaveRoadTest, FailedLoadFailsTheShow) {
  table_->CreateAnnotationSet(artest::ArEntry(), nullptr);  // no file behind it
  EXPECT_EQ(Show(), Completions{"error 1"});
  EXPECT_FALSE(controller_->GetShowTargets());
  EXPECT_EQ(TakeHeard(), Heard{});
}

TEST_F(ShowSaveRoadTest, HidePostsOnlyWhenShown) {
  AddARTargetsSet({"Door"});
  controller_->HideTargets();
  EXPECT_EQ(TakeHeard(), Heard{});
  Show();
  TakeHeard();
  controller_->HideTargets();
  controller_->HideTargets();
  EXPECT_EQ(TakeHeard(), Heard{"show 0"});
  EXPECT_FALSE(controller_->GetShowTargets());
  EXPECT_EQ(Registry().size(), 1u) << "hiding keeps the registry";
}

TEST_F(ShowSaveRoadTest, SaveBeforeAnyLoadFails) {
  AddARTargetsSet({"Door"});
  controller_->AddTarget(MakeTarget("Early"));
  const std::string before = artest::ReadFile(FilePath());
  EXPECT_EQ(Save(), Completions{"error 1"});
  EXPECT_EQ(artest::ReadFile(FilePath()), before);
}

TEST_F(ShowSaveRoadTest, SaveFailsWhenTheSetOrTableIsGone) {
  AddARTargetsSet({"Door"});
  Show();
  world_->SetAnnoSetTable(orl::AnnoSetTable::Create(du::Symbol(dir_.path().string())));
  EXPECT_EQ(Save(), Completions{"error 1"});
  world_->SetAnnoSetTable(nullptr);
  EXPECT_EQ(Save(), Completions{"error 1"});
}

TEST_F(ShowSaveRoadTest, SavedRegistryComesBackInANewWorld) {
  AddARTargetsSet({"Door", "Window", "Roof"});
  Show();
  controller_->AddTarget(MakeTarget("Cellar"));
  controller_->RemoveTarget(controller_->FindTarget(du::Symbol("Window")));
  dg::DPoint3D centre{1.5, -2.25, 1e-300};
  dg::DVec3 normal{0, 0, 1}, x{1, 0, 0}, y{0, 1, 0};
  du::Symbol path("/2/7");
  controller_->FindTarget(du::Symbol("Door"))->SetLocation(centre, normal, x, y, path, 0.5);
  EXPECT_EQ(Save(), Completions{"ok"});

  world_->ResetWorld();  // a new model: the controller drops what it loaded
  world_->SetAnnoSetTable(orl::AnnoSetTable::Create(du::Symbol(dir_.path().string())));
  table_ = world_->GetAnnoSetTable();
  table_->CreateAnnotationSet(artest::ArEntry(), nullptr);
  TakeHeard();
  EXPECT_TRUE(Registry().empty());
  EXPECT_EQ(Show(), Completions{"ok"});
  std::vector<std::string> names = Registry();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"Cellar", "Door", "Roof"}));
  const dg::DPoint3D loaded = controller_->FindTarget(du::Symbol("Door"))->GetPosition();
  EXPECT_EQ(loaded.x, 1.5);
  EXPECT_EQ(loaded.y, -2.25);
  EXPECT_EQ(loaded.z, 1e-300);
  EXPECT_EQ(controller_->FindTarget(du::Symbol("Door"))->GetIDPath().str(), "/2/7");
}

}  // namespace
