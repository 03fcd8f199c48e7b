// The fixture of controller tests: a host session with the process-wide controller, a helper
// to make named targets, and the live-object check of HostTest at the end (shutdown releases
// the controller).
#pragma once

#include <string>

#include "HostTest.h"
#include "RecordingObserver.h"
#include "ar/ARController.h"
#include "ar/ARTarget.h"
#include "serializedContent/ValueText.h"

namespace artest {

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

}  // namespace artest
