// Decoding a large 24-bit photo (with its grey buffer) from a file that is
// in the page cache.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/atomic_file.h"
#include "measure/model/bitmap.h"

namespace {

void BM_LoadBitmap24(benchmark::State& state) {
  const int w = 6000, h = 4000;
  const std::string path = "/tmp/vistamet_bench_6000x4000.bmp";
  {
    std::vector<uint8_t> bgr(static_cast<size_t>(w) * h * 3);
    for (size_t k = 0; k < bgr.size(); ++k) bgr[k] = static_cast<uint8_t>(k * 31 + (k >> 12));
    common::SaveFileAtomically(path, vistamet::EncodeBitmap24(w, h, bgr.data()));
  }
  const double bytes = 54.0 + 18000.0 * h;
  vistamet::ImageHolder img;
  for (auto _ : state) {
    if (!vistamet::LoadBitmapFile(path, &img)) state.SkipWithError("decode failed");
    benchmark::DoNotOptimize(img.grey.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
  std::remove(path.c_str());
}
BENCHMARK(BM_LoadBitmap24)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
