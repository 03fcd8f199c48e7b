// Whatever order scene arrivals, loads, shows, hides, edits and saves come in, a save writes
// the registry: the file read back holds exactly the registered targets. Each row is a script
// run step by step on the message loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "WorldTest.h"
#include "dom/MessageLoop.h"

namespace {

using du::SmartPtr;

// Steps: "+S Name" adds scene S whose entry is Name; "1" delivers one message; "*" runs the
// loop until idle; "show", "hide"; "add N", "move N", "remove N" edit the registry; "save"
// saves, runs the loop and compares the file with the registry.
struct Row {
  const char* name;
  std::vector<std::string> steps;
};

class InterleavingTest : public artest::WorldTest {
 protected:
  void Run(const std::string& step) {
    std::istringstream words(step);
    std::string verb, name, entry;
    words >> verb >> name >> entry;
    if (verb[0] == '+') {
      scenes_.push_back(ShapeScene(verb.c_str() + 1, name.c_str()));
    } else if (verb == "1") {
      dom::MessageLoop::Get().RunOne();
    } else if (verb == "*") {
      arhost::RunUntilIdle();
    } else if (verb == "show") {
      controller_->ShowTargets(nullptr);
    } else if (verb == "hide") {
      controller_->HideTargets();
    } else if (verb == "add") {
      controller_->AddTarget(MakeTarget(name.c_str()));
    } else if (verb == "move") {
      Move(name);
    } else if (verb == "remove") {
      controller_->RemoveTarget(controller_->FindTarget(du::Symbol(name)));
    } else if (verb == "save") {
      SmartPtr<artest::RecordingEvent> event = new artest::RecordingEvent;
      controller_->SaveTargets(event.get());
      arhost::RunUntilIdle();
      ASSERT_EQ(event->completions, artest::Completions{"ok"});
      EXPECT_EQ(Saved(), Registered());
    } else {
      FAIL() << "unknown step " << step;
    }
  }
  void Move(const std::string& name) {
    dg::DPoint3D centre{++moves_, 0, 0};
    dg::DVec3 v{0, 0, 1};
    du::Symbol path("/1");
    controller_->FindTarget(du::Symbol(name))->SetLocation(centre, v, v, v, path, 0);
  }
  static std::vector<std::string> Described(const artest::TargetSet& targets) {
    std::vector<std::string> all;
    for (const auto& t : targets)
      all.push_back(t->GetName().str() + " at " + std::to_string(t->GetPosition().x));
    std::sort(all.begin(), all.end());
    return all;
  }
  std::vector<std::string> Registered() const {
    std::vector<SmartPtr<ar::ARTarget>> targets;
    controller_->GetTargets(targets);
    return Described({targets.begin(), targets.end()});
  }
  std::vector<std::string> Saved() {
    SmartPtr<orl::AnnoSetTableEntry> entry;
    EXPECT_EQ(artest::LoadWithComponent(table_, FilePath(), &entry), artest::Completions{"ok"});
    return Described(artest::Targets(entry));
  }

  std::vector<SmartPtr<orl::ShapeScene>> scenes_;
  double moves_ = 0;
};

TEST_F(InterleavingTest, EverySaveWritesTheRegistry) {
  const Row rows[] = {
      {"second load queued between the first one's reader and its completion",
       {"+A Door", "1", "+B Gate", "1", "1", "1", "1", "*", "add X", "save"}},
      {"show while the first scene's load is in flight",
       {"+A Door", "show", "1", "1", "1", "1", "*", "add X", "move Door", "save"}},
      {"show first, edits in between",
       {"show", "+A Door", "*", "add X", "move Door", "remove Gate", "save", "hide", "add Y",
        "save"}},
      {"saves between loads of two scene waves",
       {"+A Door", "+B Gate", "*", "add X", "save", "+C Door", "show", "*", "remove X", "save"}},
      {"save queued before a second load completes",
       {"+A Door", "1", "show", "1", "1", "1", "add X", "save", "move X", "save"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    AddARTargetsSet({"Door", "Gate"});
    for (const std::string& step : row.steps) {
      SCOPED_TRACE(step);
      Run(step);
    }
    arhost::RunUntilIdle();
    world_->ResetWorld();  // the next row starts from an unloaded world
    for (const auto& scene : scenes_) world_->RemoveScene(scene.get());
    scenes_.clear();
    arhost::RunUntilIdle();
    controller_->RemoveAllTargets();
  }
}

}  // namespace
