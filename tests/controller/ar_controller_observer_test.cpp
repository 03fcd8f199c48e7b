// Decoding of notification records, including malformed ones written by hand.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "ControllerTest.h"
#include "ar/ARController.h"
#include "ar/ARControllerObserver.h"
#include "dom/ObserverProxy.h"
#include "orl/Scene.h"

namespace {

using artest::Heard;
using artest::RecordingObserver;
using du::SmartPtr;

class ARControllerObserverTest : public artest::ControllerTest {
 protected:
  void SetUp() override {
    ControllerTest::SetUp();
    observer_ = new RecordingObserver;
    proxy_ = new dom::ObserverProxy(*observer_);
  }
  void TearDown() override {
    proxy_ = nullptr;
    observer_ = nullptr;
    ControllerTest::TearDown();
  }

  static unsigned char Tag(unsigned char offset) {
    return ar::ARController::GetBaseEventId() + offset;
  }
  void PushCounted(du::RefCounted* counted, void* object) {
    counted->AddReference(du::kRecordOwnerTag);
    proxy_->PushSmartPtr(object, counted);
  }
  // Delivers what was recorded; returns the message of what the observer threw, or "".
  std::string Deliver() {
    try {
      arhost::RunUntilIdle();
    } catch (const std::runtime_error& e) {
      return e.what();
    }
    return "";
  }

  SmartPtr<RecordingObserver> observer_;
  SmartPtr<dom::ObserverProxy> proxy_;
};

struct MissingPayload {
  unsigned char offset;
  const char* message;
};

TEST_F(ARControllerObserverTest, RecordWithoutItsPayloadThrowsTheOffsetsMessage) {
  const MissingPayload cases[] = {
      {1, "Could not retrieve Target pointer from TargetCreateEvent."},
      {2, "Could not retrieve Target pointer from TargetDestroyEvent."},
      {4, "Could not retrieve Target pointer from TargetChangedEvent."},
      {5, "Could not retrieve bShow from ShowTargetsEvent."},
      {6, "Could not retrieve Target pointer from TargetMovedEvent."},
      {7, "Could not retrieve Target pointer from ShowTargetForSceneEvent."},
  };
  for (const auto& c : cases) {
    proxy_->Begin();
    proxy_->PushUInt8Value(Tag(c.offset));
    proxy_->PushUInt8Value(1);  // a value of the wrong kind is as good as none
    proxy_->End();
    EXPECT_EQ(Deliver(), c.message) << "offset " << int(c.offset);
  }
  EXPECT_TRUE(observer_->heard.empty());
}

TEST_F(ARControllerObserverTest, SceneMissingAfterTheTargetThrowsAndReleasesTheTarget) {
  auto target = MakeTarget("T");
  proxy_->Begin();
  proxy_->PushUInt8Value(Tag(ar::ARController::SHOW_TARGET_FOR_SCENE_EVENT));
  PushCounted(target.get(), target.get());
  proxy_->End();
  EXPECT_EQ(Deliver(), "Could not retrieve Scene pointer from ShowTargetForSceneEvent.");
  EXPECT_EQ(target->GetReferenceCount(), 1) << "the record's reference was dropped";
  EXPECT_TRUE(observer_->heard.empty());
}

TEST_F(ARControllerObserverTest, TargetAndSceneArriveTogether) {
  auto target = MakeTarget("T");
  SmartPtr<orl::ShapeScene> scene = orl::ShapeScene::Create();
  observer_->Label(scene.get(), "S");
  proxy_->Begin();
  proxy_->PushUInt8Value(Tag(ar::ARController::SHOW_TARGET_FOR_SCENE_EVENT));
  PushCounted(target.get(), target.get());
  PushCounted(scene.get(), scene.get());
  proxy_->End();
  EXPECT_EQ(Deliver(), "");
  EXPECT_EQ(observer_->heard, Heard{"scene T @S"});
  observer_->targets.clear();
  EXPECT_EQ(target->GetReferenceCount(), 1);
  EXPECT_EQ(scene->GetReferenceCount(), 1);
}

TEST_F(ARControllerObserverTest, UnrecognisedTagNamesTheWholeTag) {
  for (unsigned tag : {unsigned(Tag(8)), 255u}) {
    proxy_->Begin();
    proxy_->PushUInt8Value(static_cast<unsigned char>(tag));
    proxy_->End();
    EXPECT_EQ(Deliver(), "Unrecognised ARController Observer tag <" + std::to_string(tag) + ">.");
  }
}

TEST_F(ARControllerObserverTest, TagBelowTheBaseGoesToTheHost) {
  proxy_->Begin();
  proxy_->PushUInt8Value(Tag(0) - 1);  // the host's destruction notice
  proxy_->End();
  EXPECT_EQ(Deliver(), "");
  EXPECT_EQ(observer_->heard, Heard{"destroy"});
}

TEST_F(ARControllerObserverTest, EveryOffsetReachesItsOperation) {
  auto target = MakeTarget("T");
  auto record = [&](unsigned char offset, bool withTarget, int flag = -1) {
    proxy_->Begin();
    proxy_->PushUInt8Value(Tag(offset));
    if (withTarget) PushCounted(target.get(), target.get());
    if (flag >= 0) proxy_->PushBooleanValue(flag == 1);
    proxy_->End();
  };
  record(0, false);
  record(1, true);
  record(2, true);
  record(3, false);
  record(4, true);  // never posted by the controller, decoded all the same
  record(5, false, 1);
  record(6, true);
  EXPECT_EQ(Deliver(), "");
  EXPECT_EQ(observer_->heard, (Heard{"reset", "create T", "destroy T", "destroy all", "changed T",
                                     "show 1", "moved T"}));
  observer_->targets.clear();
  EXPECT_EQ(target->GetReferenceCount(), 1) << "every record reference was dropped";
}

}  // namespace
