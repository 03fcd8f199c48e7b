// Work a command need not wait for, such as letting go of a million loaded targets (half a
// second: each of their names and images leaves the host's table of texts). It runs on a
// thread of its own while the command goes on; WaitForBackground, which RunCommandLine calls
// before it returns, waits for all of it, so that the host never shuts down under it.
#pragma once

#include <functional>

namespace artargets {

void InBackground(std::function<void()> work);
void WaitForBackground();

}  // namespace artargets
