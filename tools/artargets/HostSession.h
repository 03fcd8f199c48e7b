// A short host session on the host runtime: a shared lock, an observable with two observers,
// an update group, a completed asynchronous event, then shutdown, narrated on `out` as the
// message loop delivers. It returns 0 when the session ends with no live object left.
#pragma once

#include <ostream>

namespace artargets {

int RunHostSession(std::ostream& out);

}  // namespace artargets
