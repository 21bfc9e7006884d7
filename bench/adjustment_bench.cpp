// The adjustment core on synthetic projects of growing size: time per
// iteration (the run starts at the truth, so it takes one iteration) and the
// peak memory of the process.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cmath>
#include <random>

#include "measure/compute/adjustment.h"
#include "measure/compute/camera_model.h"

namespace {

using namespace vistamet;

struct Project {
  std::vector<ImagePoint> observations;
  std::vector<SpacePoint> points;
  std::vector<PhotoParams> photos;
};

// `photos` stations on a ring 2 m above a 2 m x 2 m field of `points`
// points, the first eight of them control points; every point is seen on
// every photo.
Project Make(int photos, int points) {
  Project p;
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> xy(-1000, 1000), z(-300, 300);
  for (int i = 0; i < photos; ++i) {
    const double a = 2 * M_PI * i / photos;
    PhotoParams ph;
    ph.Xs = 700 * std::cos(a);
    ph.Ys = 700 * std::sin(a);
    ph.Zs = 2600;
    ph.phi = -0.25 * std::cos(a);
    ph.omega = 0.25 * std::sin(a);
    ph.kappa = 0.01 * i;
    p.photos.push_back(ph);
  }
  for (int k = 0; k < points; ++k) {
    SpacePoint s;
    s.pointNumber = k;
    s.X = xy(rng);
    s.Y = xy(rng);
    s.Z = z(rng);
    s.controlFlag = k < 8 ? -1 : 0;
    p.points.push_back(s);
    for (int i = 0; i < photos; ++i)
      p.observations.push_back(ProjectSpacePoint(s.X, s.Y, s.Z, i, k, p.photos));
  }
  return p;
}

void BM_AdjustIteration(benchmark::State& state) {
  const Project base = Make(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  AdjustSettings settings;
  settings.iterationLimit = 60;
  for (auto _ : state) {
    Project p = base;
    AdjustSummary sum;
    Adjust(p.observations, p.points, p.photos, settings, nullptr, AdjustmentReports(), nullptr,
           &sum);
    benchmark::DoNotOptimize(sum.rms);
    state.counters["iterations"] = sum.iterations;
  }
  struct rusage ru;
  getrusage(RUSAGE_SELF, &ru);
  state.counters["peak_MB"] = static_cast<double>(ru.ru_maxrss) / 1024.0;
  state.counters["unknowns"] = 6 * state.range(0) + 3 * (state.range(1) - 8);
}
BENCHMARK(BM_AdjustIteration)
    ->Args({8, 200})
    ->Args({20, 500})
    ->Args({40, 1500})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
