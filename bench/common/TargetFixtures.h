// What the content and file benchmarks share: a content of `count` varied targets, the
// pugixml-alone baselines (the same document built directly; a parsed document walked with
// every value converted), and the peak-memory counter.
#pragma once

#include <benchmark/benchmark.h>

#include <cstddef>
#include <pugixml.hpp>

#include "ar/ARContent.h"
#include "du/SmartPtr.h"

namespace arbench {

du::SmartPtr<ar::ARContent> MakeContent(int count);
// Fills `doc` with the target file of `count` targets, as the plug-in writes it.
void PugixmlBuildTargetFile(pugi::xml_document& doc, int count);
// Walks a parsed target file and converts every value to its native type.
void PugixmlConvertTargets(const pugi::xml_document& doc);
// Sets the "peak_bytes_per_target" counter and the items processed.
void ReportPerTarget(benchmark::State& state, std::size_t bytesBefore, int count);

}  // namespace arbench
