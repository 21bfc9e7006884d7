// The 3D model window's frame: N space points (a tenth of them control
// points) and N/10 distances drawn in an 800 x 600 window, one frame drawn
// and finished per iteration. Without a GPU this measures the software
// renderer. Needs a display: run it under xvfb-run.
#include <benchmark/benchmark.h>

#include <cmath>

#include <wx/app.h>
#include <wx/frame.h>
#include <wx/init.h>

#include "measure/views/ogl_view.h"

namespace {

using vistamet::CModelCanvas;
using vistamet::Model3D;
using vistamet::Vec3;

// Points on a wavy surface filling the normalised 10-unit cube.
Model3D MakeModel(int n) {
  Model3D model;
  const int side = static_cast<int>(std::ceil(std::sqrt(n)));
  for (int i = 0; i < n; ++i) {
    const float u = static_cast<float>(i % side) / side - 0.5f;
    const float v = static_cast<float>(i / side) / side - 0.5f;
    model.points.push_back({10 * u, 2 * std::sin(6 * u) * std::cos(5 * v), 10 * v});
    model.numbers.push_back(i + 1);
    model.control.push_back(i % 10 == 0);
  }
  for (int i = 0; i + 1 < n; i += 10) {
    model.segments.push_back(model.points[i]);
    model.segments.push_back(model.points[i + 1]);
  }
  return model;
}

void BM_ModelFrame(benchmark::State& state) {
  auto* frame = new wxFrame(nullptr, wxID_ANY, "3D", wxDefaultPosition, wxSize(800, 600));
  auto* canvas = new CModelCanvas(frame);
  frame->Show();
  wxTheApp->Yield();
  canvas->SetModel(MakeModel(static_cast<int>(state.range(0))));
  int w = 0, h = 0;
  if (canvas->ReadFrame(&w, &h).empty()) {
    state.SkipWithError("no OpenGL context");
  } else {
    for (auto _ : state) benchmark::DoNotOptimize(canvas->DrawFrame());
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  }
  frame->Destroy();
  wxTheApp->Yield();
}

BENCHMARK(BM_ModelFrame)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

#include "bench/wx_bench_main.h"
