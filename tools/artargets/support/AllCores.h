// artargets::OnAllCores: runs one piece of work per index on as many threads as there are cores,
// each thread taking the next index when it is free, so that long and short pieces even out.
// Used for the work of many independent images (rating, thumbnails, look-alike searches).
// Thread rules: `work` runs on the helper threads, for different indices at once; `finished`
// runs on the calling thread, which returns once every piece is done.
#pragma once

#include <cstddef>
#include <functional>

namespace artargets {

// Calls work(i) for every i below `count`. `finished`, when given, is told how many pieces have
// ended each time one or more has, so that the caller can show progress.
void OnAllCores(std::size_t count, const std::function<void(std::size_t)>& work,
                const std::function<void(std::size_t done)>& finished = {});

// The threads OnAllCores runs (at least one).
unsigned CoreCount();

}  // namespace artargets
