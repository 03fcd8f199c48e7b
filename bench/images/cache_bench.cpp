// `check --images` again on unchanged images: 40 one-megapixel JPEG images whose ratings are
// saved (RatingCache.h), checked through CheckImages as the tool does, against what no check can
// skip: reading each image and hashing its content, in the same run. (images_bench measures
// the ratings themselves.)
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "RatioReporter.h"
#include "ScratchDirectory.h"
#include "SyntheticPhoto.h"
#include "checks/ImageCheck.h"
#include "images/RatingCache.h"
#include "support/InputFile.h"

namespace {

constexpr int kImages = 40, kWidth = 1155, kHeight = 866;  // one megapixel

std::string ImageName(int i) { return "image-" + std::to_string(i) + ".jpg"; }

// Writes the images once per run (SyntheticPhoto.h).
void EnsureImages() {
  static const bool written = [] {
    for (int i = 0; i < kImages; ++i)
      arbench::WriteSyntheticPhoto(arbench::ScratchDirectory() + "/" + ImageName(i), kWidth,
                                   kHeight, unsigned(i));
    return true;
  }();
  benchmark::DoNotOptimize(written);
}

std::vector<artargets::PlacedTarget> Targets() {
  std::vector<artargets::PlacedTarget> targets;
  for (int i = 0; i < kImages; ++i)
    targets.push_back({i + 1, "target " + std::to_string(i), ImageName(i), 0.6, 0.45});
  return targets;
}

void WarmCheck(benchmark::State& state) {
  EnsureImages();
  const auto targets = Targets();
  const artargets::RatingCache cache(arbench::ScratchDirectory() + "/warm-cache");
  artargets::CheckImages(targets, arbench::ScratchDirectory(), &cache);  // fills it
  for (auto _ : state)
    benchmark::DoNotOptimize(artargets::CheckImages(targets, arbench::ScratchDirectory(), &cache));
  state.SetItemsProcessed(state.iterations() * kImages);
}
BENCHMARK(WarmCheck)->Unit(benchmark::kMillisecond)->UseRealTime();

void ReadAndHash(benchmark::State& state) {
  EnsureImages();
  for (auto _ : state) {
    for (int i = 0; i < kImages; ++i) {
      std::string bytes, why;
      artargets::ReadInputFile(arbench::ScratchDirectory() + "/" + ImageName(i), bytes, why);
      benchmark::DoNotOptimize(artargets::ContentHash(bytes));
    }
  }
  state.SetItemsProcessed(state.iterations() * kImages);
}
BENCHMARK(ReadAndHash)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  const int status = arbench::RunWithRatios(
      argc, argv,
      {{"WarmCheck", "ReadAndHash", "<= 8: a warm check costs little more than reading"}});
  std::filesystem::remove_all(arbench::ScratchDirectory());
  return status;
}
