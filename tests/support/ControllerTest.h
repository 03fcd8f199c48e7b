// The fixture of controller tests: a host session with the process-wide controller, a helper
// to make named targets, and the live-object check of HostTest at the end (shutdown releases
// the controller). Beside it: an observer that writes down what it hears, a bit-exact line for
// a target, and a probe of which side of the shared lock a call takes.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "HostTest.h"
#include "ar/ARContent.h"
#include "ar/ARController.h"
#include "ar/ARControllerObserver.h"
#include "ar/ARTarget.h"
#include "dp/ScopedLock.h"
#include "du/SmartPtr.h"
#include "orl/Annotation.h"
#include "serializedContent/ValueText.h"

namespace artest {

// An AR controller observer that writes down what it hears, one line per notification:
// "create A", "destroy A", "destroy all", "changed A", "moved A", "show 1", "reset",
// "scene A @S" (target A for scene S; "-" for an empty target), "destroy", and, when
// `beginEnd` is set, "begin" and "end" of the controller's update groups. Targets are named by
// their name; scenes by the label given with Label().
class RecordingObserver : public ar::ARControllerObserver {
 public:
  std::vector<std::string> heard;
  std::vector<du::SmartPtr<ar::ARTarget>> targets;  // every target received, in order
  bool beginEnd = false;

  void Label(const void* scene, std::string label) { labels_[scene] = std::move(label); }

  bool RequiresBeginEnd() const override { return beginEnd; }
  void OnBeginUpdate() override { heard.push_back("begin"); }
  void OnEndUpdate() override { heard.push_back("end"); }
  void OnDestroy() override { heard.push_back("destroy"); }
  void OnReset() override { heard.push_back("reset"); }
  void OnTargetCreate(du::SmartPtr<ar::ARTarget>& t) override { Note("create", t); }
  void OnTargetDestroy(du::SmartPtr<ar::ARTarget>& t) override { Note("destroy", t); }
  void OnTargetDestroyAll() override { heard.push_back("destroy all"); }
  void OnTargetChanged(du::SmartPtr<ar::ARTarget>& t) override { Note("changed", t); }
  void OnShowTargets(bool shown) override { heard.push_back(shown ? "show 1" : "show 0"); }
  void OnTargetMoved(du::SmartPtr<ar::ARTarget>& t) override { Note("moved", t); }
  void OnShowTargetForScene(du::SmartPtr<ar::ARTarget>& t,
                            du::SmartPtr<orl::ShapeScene>& scene) override {
    auto label = labels_.find(scene.get());
    Note("scene", t, " @" + (label == labels_.end() ? std::string("?") : label->second));
  }

 protected:
  ~RecordingObserver() override = default;

 private:
  void Note(const char* what, du::SmartPtr<ar::ARTarget>& t, const std::string& suffix = "") {
    targets.push_back(t);
    heard.push_back(std::string(what) + " " + (t ? t->GetName().str() : "-") + suffix);
  }

  std::map<const void*, std::string> labels_;
};

class ControllerTest : public HostTest {
 protected:
  void SetUp() override { ASSERT_NE(controller_, nullptr); }

  du::SmartPtr<ar::ARTarget> MakeTarget(const std::string& name, int id = 0,
                                        ar::ARTarget::EType type = ar::ARTarget::TYPE_PLAIN) {
    du::SmartPtr<ar::ARTarget> target = new ar::ARTarget(controller_);
    target->SetName(du::Symbol(name));
    target->SetTargetId(id);
    target->SetType(type);
    return target;
  }

  // New AR content holding a target of each name.
  du::SmartPtr<ar::ARContent> ContentOf(const std::vector<std::string>& names) {
    du::SmartPtr<ar::ARContent> content = new ar::ARContent;
    std::set<du::SmartPtr<ar::ARTarget>> targets;
    for (const auto& name : names) targets.insert(MakeTarget(name));
    content->SetTargets(targets);
    return content;
  }
  // The names of the registered targets, in registry order.
  std::vector<std::string> Registry() const {
    std::vector<du::SmartPtr<ar::ARTarget>> targets;
    controller_->GetTargets(targets);
    std::vector<std::string> names;
    for (const auto& t : targets) names.push_back(t->GetName().str());
    return names;
  }

  du::SmartPtr<RecordingObserver> Observe(bool init = false) {
    du::SmartPtr<RecordingObserver> observer = new RecordingObserver;
    EXPECT_TRUE(controller_->RegisterObserver(*observer, init));
    return observer;
  }

  ar::ARController* controller_ = ar::ARController::Get();
};

// Every field of a target as one line, numbers in their exact text, so that equal lines are
// equal bits: "name|image|path|type id|w h rotation x y z, then normal, xdir and ydir ".
inline std::string Exact(const ar::ARTarget& t) {
  auto n = [](double d) { return serializedContent::FormatDouble(d) + " "; };
  double w = 0, h = 0;
  t.GetSize(w, h);
  const dg::DPoint3D p = t.GetPosition();
  std::string text = t.GetName().str() + "|" + t.GetImage().str() + "|" + t.GetIDPath().str() +
                     "|" + std::to_string(t.GetType()) + " " + std::to_string(t.GetTargetId()) +
                     "|" + n(w) + n(h) + n(t.GetRotation()) + n(p.x) + n(p.y) + n(p.z);
  for (const dg::DVec3& v : {t.GetNormal(), t.GetX(), t.GetY()}) text += n(v.x) + n(v.y) + n(v.z);
  return text;
}

using Heard = std::vector<std::string>;

// Which side of the shared annotation lock a call takes: the call runs on a second thread while
// this one holds the lock for writing or for reading, and the lock's waiter counts tell whether
// it had to wait. A generous bound makes a broken lock fail the test instead of hanging it.
enum class LockMode { kNone, kShared, kExclusive };

// True when `call` had to wait while this thread held the lock (for writing when `exclusive`).
inline bool WaitsForLock(const std::function<void()>& call, bool exclusive) {
  const du::SmartPtr<orl::ReadWriteLock> shared = orl::Annotation::GetRWLock();
  dp::ReadWriteLock& lock = shared->GetLock();
  std::optional<dp::ScopedWriter<dp::ReadWriteLock>> writer;
  std::optional<dp::ScopedReader<dp::ReadWriteLock>> reader;
  if (exclusive) writer.emplace(&lock);
  if (!exclusive) reader.emplace(&lock);
  std::atomic<bool> finished{false};
  std::thread other([&] {
    call();
    finished = true;
  });
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  auto waiting = [&] {
    const auto w = lock.GetWaiters();
    return w.readers + w.writers + w.upgraders > 0;
  };
  while (!finished && !waiting() && std::chrono::steady_clock::now() < limit)
    std::this_thread::yield();
  EXPECT_TRUE(finished || waiting()) << "neither finished nor waited";
  const bool waited = !finished;
  writer.reset();
  reader.reset();
  other.join();
  return waited;
}

// Checks that `call` takes the lock in `mode`: a call that takes it waits while another thread
// writes, and one that writes waits while another thread reads.
inline void ExpectLockMode(LockMode mode, const std::function<void()>& call) {
  EXPECT_EQ(WaitsForLock(call, true), mode != LockMode::kNone) << "while another thread writes";
  EXPECT_EQ(WaitsForLock(call, false), mode == LockMode::kExclusive)
      << "while another thread reads";
}

}  // namespace artest
