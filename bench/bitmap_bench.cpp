// Decoding a large 24-bit photo (with its grey buffer) from a file that is
// in the page cache.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/atomic_file.h"
#include "measure/model/bitmap.h"
#include "measure/model/photo_encode.h"
#include "measure/model/photo_file.h"

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

// A 24-megapixel JPEG like a camera's: smooth shading with fine texture.
const std::string& Jpeg24Mp() {
  static const std::string jpeg = [] {
    const int w = 6000, h = 4000;
    std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        uint8_t* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
        const int t = ((x * 7 + y * 13) ^ (x * y)) & 15;
        p[0] = static_cast<uint8_t>((x / 24 + t) & 0xFF);
        p[1] = static_cast<uint8_t>((y / 16 + t) & 0xFF);
        p[2] = static_cast<uint8_t>(((x + y) / 40 + t) & 0xFF);
      }
    return vistamet::EncodeJpeg(w, h, 3, rgb.data(), 92);
  }();
  return jpeg;
}

// One 24 MP JPEG decoded: to the grey image only (extraction, matching),
// with its colour rows (the image view), and at 1/8 (thumbnails).
void BM_DecodeJpeg24Mp(benchmark::State& state) {
  const std::string& jpeg = Jpeg24Mp();
  vistamet::DecodeOptions options;
  options.colour = state.range(0) == 1;
  options.reduce = static_cast<int>(state.range(1));
  vistamet::ImageHolder img;
  for (auto _ : state) {
    std::string error;
    if (!vistamet::DecodePhoto(jpeg, "bench.jpg", options, &img, &error))
      state.SkipWithError(error.c_str());
    benchmark::DoNotOptimize(img.grey.data());
  }
  state.SetLabel(options.colour ? "colour" : "grey");
}
BENCHMARK(BM_DecodeJpeg24Mp)->Args({0, 1})->Args({1, 1})->Args({0, 8})->Unit(benchmark::kMillisecond);

// The header probe that opening a project does per photo.
void BM_ProbeJpeg24Mp(benchmark::State& state) {
  const std::string path = "/tmp/vistamet_bench_24mp.jpg";
  common::SaveFileAtomically(path, Jpeg24Mp());
  vistamet::PhotoInfo info;
  for (auto _ : state) {
    if (!vistamet::ProbePhotoFile(path, &info)) state.SkipWithError("probe failed");
    benchmark::DoNotOptimize(info.width);
  }
  std::remove(path.c_str());
}
BENCHMARK(BM_ProbeJpeg24Mp)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
