// An asynchronous event that writes down every completion it is delivered: "ok", or
// "error <code> <message>" ("error 1" with an empty message).
#pragma once

#include <string>
#include <vector>

#include "orl/AsyncEvent.h"

namespace artest {

class RecordingEvent final : public orl::AsyncEvent {
 public:
  std::vector<std::string> completions;

 private:
  ~RecordingEvent() override = default;
  void OnComplete(EventStatus status) override {
    if (status == kSuccess) {
      completions.push_back("ok");
      return;
    }
    std::string text = "error " + std::to_string(GetErrorCode());
    if (!GetErrorMessage().empty()) text += " " + GetErrorMessage().str();
    completions.push_back(text);
  }
};

}  // namespace artest
