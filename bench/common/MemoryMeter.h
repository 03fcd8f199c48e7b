// Counts the bytes a benchmark holds at its peak. The program that includes MemoryMeter.cpp
// replaces the global operator new and delete, and hands pugixml the same counting functions,
// so both our code and pugixml's are measured.
#pragma once

#include <benchmark/benchmark.h>

#include <cstddef>

namespace arbench {

// Bytes held now, and the most held since the last ResetPeak.
std::size_t BytesInUse();
std::size_t PeakBytes();
void ResetPeak();
// Call first in main: routes pugixml's allocations through the meter, and keeps large blocks
// in the process (glibc's largest mmap threshold, no trimming) for ours and the baseline
// alike, so that a large parse's time does not depend on the kernel.
void StartMetering();
// Sets the "peak_bytes_per_target" counter and the items processed.
void ReportPerTarget(benchmark::State& state, std::size_t bytesBefore, int count);

}  // namespace arbench
