// The adjustment core on the synthetic projects of adjustment_problems.h,
// to convergence with tolerances of 0.01 mm and 1e-6 rad. Time per run,
// iterations and the peak memory of the process (run one benchmark per
// process for a fair peak: --benchmark_filter=...).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include "bench/adjustment_problems.h"

namespace {

using namespace vistamet;
using namespace vistamet::bench;

void Run(benchmark::State& state, const Project& base, AdjustEngine engine, bool precision) {
  AdjustSettings settings = BenchSettings();
  settings.precision = precision;
  settings.engine = engine;
  AdjustSummary sum;
  for (auto _ : state) {
    Project p = base;
    Adjust(p.observations, p.points, p.photos, settings, nullptr, AdjustmentReports(), nullptr,
           &sum);
    benchmark::DoNotOptimize(sum.rms);
  }
  struct rusage ru;
  getrusage(RUSAGE_SELF, &ru);
  state.counters["iterations"] = sum.iterations;
  state.counters["converged"] = sum.status == AdjustStatus::kConverged;
  state.counters["sparse"] = sum.usedSparse;
  state.counters["peak_MB"] = static_cast<double>(ru.ru_maxrss) / 1024.0;
  state.counters["image_points"] = static_cast<double>(base.observations.size());
}

void BM_Ring(benchmark::State& state) {
  const Project base = Ring(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  Run(state, base, state.range(2) ? AdjustEngine::kDense : AdjustEngine::kReduced,
      state.range(3) != 0);
}
// Args: photos, points, dense engine, precision of every unknown.
BENCHMARK(BM_Ring)
    ->Args({4, 60, 0, 0})
    ->Args({4, 60, 1, 0})
    ->Args({8, 200, 0, 0})
    ->Args({8, 200, 1, 0})
    ->Args({40, 1500, 0, 0})
    ->Args({50, 2000, 0, 0})
    ->Args({50, 2000, 0, 1})
    ->Unit(benchmark::kMillisecond);

void BM_Block(benchmark::State& state) {
  const Project base = Block(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                             1.0 / static_cast<double>(state.range(2)));
  Run(state, base, AdjustEngine::kReduced, state.range(3) != 0);
}
// Args: photos, points, each photo sees 1/n of the points, precision.
BENCHMARK(BM_Block)
    ->Args({200, 10000, 5, 0})
    ->Args({200, 10000, 5, 1})
    ->Args({500, 20000, 10, 0})
    ->Args({500, 20000, 10, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
