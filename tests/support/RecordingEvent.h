// An asynchronous event that writes down every completion it is delivered: "ok", or
// "error <code> <message>" ("error 1" with an empty message). With `log` set, each completion
// also goes there as "completed <text>", so that its place among other deliveries shows.
#pragma once

#include <string>
#include <vector>

#include "orl/AsyncEvent.h"

namespace artest {

class RecordingEvent final : public orl::AsyncEvent {
 public:
  std::vector<std::string> completions;
  std::vector<std::string>* log = nullptr;

 private:
  ~RecordingEvent() override = default;
  void OnComplete(EventStatus status) override {
    std::string text = "ok";
    if (status != kSuccess) {
      text = "error " + std::to_string(GetErrorCode());
      if (!GetErrorMessage().empty()) text += " " + GetErrorMessage().str();
    }
    completions.push_back(text);
    if (log) log->push_back("completed " + text);
  }
};

}  // namespace artest
