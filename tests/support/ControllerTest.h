// The fixture of controller tests: a host session with the process-wide controller, a helper
// to make named targets, and the live-object check of HostTest at the end (shutdown releases
// the controller).
#pragma once

#include <string>

#include "HostTest.h"
#include "RecordingObserver.h"
#include "ar/ARController.h"
#include "ar/ARTarget.h"

namespace artest {

class ControllerTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    controller_ = ar::ARController::Get();
    ASSERT_NE(controller_, nullptr);
  }

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

  ar::ARController* controller_ = nullptr;
};

using Heard = std::vector<std::string>;

}  // namespace artest
