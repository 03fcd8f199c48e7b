// Counts the bytes a benchmark holds at its peak. The program that includes MemoryMeter.cpp
// replaces the global operator new and delete, and hands pugixml the same counting functions,
// so both our code and pugixml's are measured.
#pragma once

#include <cstddef>

namespace arbench {

// Bytes held now, and the most held since the last ResetPeak.
std::size_t BytesInUse();
std::size_t PeakBytes();
void ResetPeak();
// Routes pugixml's allocations through the meter; call once before any XML is made.
void MeterPugixml();

}  // namespace arbench
