// Application threads editing, finding and saving targets while the host's thread delivers
// scene changes, load and save completions, and every notification they cause. Run under
// ThreadSanitizer in CI.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "WorldTest.h"
#include "dg/Geometry.h"

namespace {

using artest::Completions;
using du::SmartPtr;

constexpr int kRounds = 60;

class RoadsConcurrencyTest : public artest::WorldTest {
 protected:
  // Adds, finds and moves numbered targets of its own, and removes every other one.
  void Editor(int index) {
    for (int round = 0; round < kRounds; ++round) {
      const std::string name = "edit" + std::to_string(index) + "-" + std::to_string(round);
      SmartPtr<ar::ARTarget> target = MakeTarget(name);
      target->SetType(ar::ARTarget::TYPE_NUMBERED);
      target->SetTargetId(round);
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
