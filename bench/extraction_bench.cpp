// Triangle target search on large photos: a textured background with a few
// hundred targets of 10 to 20 px, the way a control field is photographed.
#include <benchmark/benchmark.h>

#include <array>
#include <map>
#include <random>

#include "measure/compute/rectangle_corners.h"
#include "measure/compute/target_images_test_support.h"
#include "measure/compute/triangle_finder.h"
#include "measure/compute/triangle_refinement.h"

namespace {

using vistamet::testing::Canvas;

std::map<std::pair<int, int>, std::vector<std::array<double, 2>>> apexes;

const Canvas& Photo(int w, int h) {
  static std::map<std::pair<int, int>, Canvas> cache;
  auto it = cache.find({w, h});
  if (it != cache.end()) return it->second;
  Canvas img(w, h);
  vistamet::testing::FillTexture(&img, 150, 50, 4, 17);
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> u(0.0, 1.0);
  // About 300 targets on a grid, dark and light ones.
  const int cols = 20, rows = 15;
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < cols; ++c) {
      const double base = 10 + 10 * u(rng);
      const double x = (c + 0.5) * w / cols + 10 * u(rng);
      const double y = (r + 0.5) * h / rows + 10 * u(rng);
      vistamet::testing::DrawTriangle(&img, x, y, base, base * 0.62, (r + c) % 2 ? 30 : 240,
                                      -10 + 20 * u(rng));
      apexes[{w, h}].push_back({x, y});
    }
  }
  return cache.emplace(std::make_pair(w, h), std::move(img)).first->second;
}

void BM_FindTriangles(benchmark::State& state) {
  const Canvas& img = Photo(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  std::vector<vistamet::TrianglePoint> points;
  for (auto _ : state) {
    const int n = vistamet::FindTriangles(img.View(), vistamet::kMaxTrianglesPerPhoto, &points);
    if (n != vistamet::kMaxTrianglesPerPhoto) state.SkipWithError("expected 50 targets");
    benchmark::DoNotOptimize(points.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(1));
}
BENCHMARK(BM_FindTriangles)->Args({3000, 2000})->Args({6000, 4000})->Unit(benchmark::kMillisecond);

// The model fit of every target of a 6000 x 4000 photo (300 targets), each
// started 0.7 px off its apex as the finder leaves it.
void BM_RefineTargets(benchmark::State& state) {
  const Canvas& img = Photo(6000, 4000);
  const auto& truth = apexes[{6000, 4000}];
  vistamet::TriangleFit fit;
  for (auto _ : state) {
    int n = 0;
    for (const auto& a : truth) n += vistamet::RefineTriangleApex(img.View(), a[0] + 0.5, a[1] - 0.5, &fit);
    if (n != static_cast<int>(truth.size())) state.SkipWithError("a target was not fitted");
    benchmark::DoNotOptimize(fit);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(truth.size()));
}
BENCHMARK(BM_RefineTargets)->Unit(benchmark::kMillisecond);

// The whole target search of one photo as the extraction runs it: the
// finder, then the fit of each candidate until 50 targets are kept
// (argument 1), or the finder's points alone (argument 0).
void BM_FindTargets(benchmark::State& state) {
  const Canvas& img = Photo(6000, 4000);
  const int32_t on = static_cast<int32_t>(state.range(0));
  const vistamet::TargetOptions options{on, on, 0};
  std::vector<vistamet::FoundTarget> found;
  for (auto _ : state) {
    const int n = vistamet::FindTargets(img.View(), vistamet::kMaxTrianglesPerPhoto, options, &found);
    if (n != vistamet::kMaxTrianglesPerPhoto) state.SkipWithError("expected 50 targets");
    benchmark::DoNotOptimize(found.data());
  }
}
BENCHMARK(BM_FindTargets)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_TriangleCorrelation(benchmark::State& state) {
  const Canvas& img = Photo(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  vistamet::TriangleCorrelation corr;
  for (auto _ : state) {
    vistamet::ComputeTriangleCorrelation(img.View(), &corr);
    benchmark::DoNotOptimize(corr.values.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(1));
}
BENCHMARK(BM_TriangleCorrelation)->Args({6000, 4000})->Unit(benchmark::kMillisecond);

void BM_RectangleCorners(benchmark::State& state) {
  Canvas img(1600, 1200);
  vistamet::testing::FillTexture(&img, 60, 20, 3, 3);
  const auto truth = vistamet::testing::TurnedRectangle(800, 600, 900, 600, 20);
  vistamet::testing::DrawQuad(&img, truth, 215);
  vistamet::CornerQuad clicks;
  for (int i = 0; i < 4; ++i) {
    const double dx = truth[i][0] - 800, dy = truth[i][1] - 600;
    clicks[i] = {static_cast<float>(truth[i][0] + 0.005 * dx),
                 static_cast<float>(-(truth[i][1] + 0.005 * dy))};
  }
  vistamet::CornerQuad corners;
  for (auto _ : state) {
    if (vistamet::LocateRectangleCorners(img.View(), clicks, &corners) != 4) {
      state.SkipWithError("corners not found");
    }
    benchmark::DoNotOptimize(corners.data());
  }
}
BENCHMARK(BM_RectangleCorners)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
