// The image view's paint path: one repaint of a 1600 x 1000 window showing a
// 6000 x 4000 photo, at every zoom from 64 photo pixels a screen pixel to 32
// screen pixels a photo pixel, with the reduction levels ready (the steady
// state) and before they are (the first paints after a photo is shown).
// Needs a display: run it under xvfb-run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>

#include <wx/app.h>
#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/image.h>
#include <wx/init.h>

#include "measure/views/photo_renderer.h"

namespace {

using vistamet::PhotoRenderer;

const wxImage& Photo() {
  static const wxImage photo = [] {
    wxImage image(6000, 4000, false);
    unsigned char* p = image.GetData();
    for (int y = 0; y < 4000; ++y)
      for (int x = 0; x < 6000; ++x, p += 3) {
        p[0] = static_cast<unsigned char>(x * 7 + y);
        p[1] = static_cast<unsigned char>(y * 3);
        p[2] = static_cast<unsigned char>((x ^ y) & 0xFF);
      }
    return image;
  }();
  return photo;
}

// range(0): log2 of the divisor d, from -5 (32 screen pixels a photo pixel)
// to 6 (64 photo pixels a screen pixel).
void Paint(benchmark::State& state, bool levels) {
  const double d = std::ldexp(1.0, static_cast<int>(state.range(0)));
  PhotoRenderer renderer(levels);
  renderer.SetPhoto(Photo());
  renderer.WaitForLevels();
  wxBitmap window(1600, 1000, 24);
  wxMemoryDC dc(window);
  // The middle of the photo, as far as the zoom allows.
  const int w = static_cast<int>(6000 / d), h = static_cast<int>(4000 / d);
  const wxRect area(std::max(0, (w - 1600) / 2), std::max(0, (h - 1000) / 2), 1600, 1000);
  for (auto _ : state) {
    renderer.Draw(dc, area, d);
    benchmark::ClobberMemory();
  }
  state.SetLabel(levels ? "levels ready" : "sampled");
}

void BM_PaintWithLevels(benchmark::State& state) { Paint(state, true); }
void BM_PaintBeforeLevels(benchmark::State& state) { Paint(state, false); }

void BM_BuildLevels(benchmark::State& state) {
  for (auto _ : state) {
    PhotoRenderer renderer;
    renderer.SetPhoto(Photo());
    renderer.WaitForLevels();
  }
}

BENCHMARK(BM_PaintWithLevels)->DenseRange(-5, 6)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintBeforeLevels)->DenseRange(1, 6)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildLevels)->Unit(benchmark::kMillisecond);

}  // namespace

#include "bench/wx_bench_main.h"
