// `check --images` at the size of a real set: 1,000 targets sharing 150 distinct 1.6-megapixel
// JPEG images (textured, each its own), rated through CheckImages as the tool does (on all
// cores, with the look-alike search across images), against decoding the same 150 images once
// with stb_image alone, on one thread, in the same run. The processor time of the whole process
// per image is reported as cpu_ms_per_image: what a rating costs, whatever the cores.
#include <benchmark/benchmark.h>
#include <time.h>

#include <filesystem>
#include <string>
#include <vector>

#include "RatioReporter.h"
#include "ScratchDirectory.h"
#include "SyntheticPhoto.h"
#include "checks/ImageCheck.h"
#include "stb/stb_image.h"

namespace {

constexpr int kImages = 150, kTargets = 1000, kWidth = 1460, kHeight = 1095;  // 1.6 megapixels

std::string ImagePath(int i) {
  return arbench::ScratchDirectory() + "/image-" + std::to_string(i) + ".jpg";
}

// Writes the 150 images once per run: blobs and squares of many sizes and greys, placed at
// random with a seed of their own.
void EnsureImages() {
  static const bool written = [] {
    for (int i = 0; i < kImages; ++i)
      arbench::WriteSyntheticPhoto(ImagePath(i), kWidth, kHeight, unsigned(i));
    return true;
  }();
  benchmark::DoNotOptimize(written);
}

double ProcessMilliseconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

void CheckImages(benchmark::State& state) {
  EnsureImages();
  std::vector<artargets::PlacedTarget> targets;
  for (int t = 0; t < kTargets; ++t)
    targets.push_back({t + 1, "target " + std::to_string(t),
                       "image-" + std::to_string(t % kImages) + ".jpg", 0.4, 0.3});
  const double start = ProcessMilliseconds();
  for (auto _ : state)
    benchmark::DoNotOptimize(artargets::CheckImages(targets, arbench::ScratchDirectory()));
  state.counters["cpu_ms_per_image"] =
      (ProcessMilliseconds() - start) / double(state.iterations() * kImages);
  state.SetItemsProcessed(state.iterations() * kTargets);
}
BENCHMARK(CheckImages)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void DecodeOnly(benchmark::State& state) {
  EnsureImages();
  for (auto _ : state) {
    for (int i = 0; i < kImages; ++i) {
      int w = 0, h = 0, n = 0;
      stbi_image_free(stbi_load(ImagePath(i).c_str(), &w, &h, &n, 1));
    }
  }
  state.SetItemsProcessed(state.iterations() * kTargets);
}
BENCHMARK(DecodeOnly)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  const int status = arbench::RunWithRatios(
      argc, argv, {{"CheckImages", "DecodeOnly", "the whole check against decoding alone"}});
  std::filesystem::remove_all(arbench::ScratchDirectory());
  return status;
}
