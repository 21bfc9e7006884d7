// The dense least-squares solve at adjustment sizes, and one least-squares
// matching request.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "measure/compute/bundle_adjuster.h"
#include "measure/compute/lsm_matching.h"

namespace {

using vistamet::BundleAdjuster;

// A well-conditioned symmetric positive definite matrix, packed.
std::vector<double> PackedSystem(int n) {
  std::vector<double> N(BundleAdjuster::PackedSize(n));
  unsigned seed = 7;
  for (int i = 0; i < n; ++i)
    for (int j = i; j < n; ++j) {
      seed = seed * 1103515245u + 12345u;
      const double r = static_cast<double>((seed >> 8) % 2001) / 1000.0 - 1.0;
      N[BundleAdjuster::PackedIndex(i, j, n)] = i == j ? n + 1.0 : r;
    }
  return N;
}

// Each iteration copies the packed matrix (n^2/2 doubles, negligible next to
// the n^3 inversion) because the solve overwrites it with the inverse.
void BM_InvertAndSolve(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::vector<double> system = PackedSystem(n);
  std::vector<double> N(system.size()), u(n, 1.0), x(n);
  for (auto _ : state) {
    std::copy(system.begin(), system.end(), N.begin());
    BundleAdjuster::InvertAndSolve(N, u, x, n);
    benchmark::DoNotOptimize(x.data());
  }
}
BENCHMARK(BM_InvertAndSolve)->Arg(100)->Arg(300)->Arg(1000)->Unit(benchmark::kMillisecond);

double Texture(double x, double y) {
  double v = 128 + 40 * std::sin(0.45 * x + 0.2 * y) + 30 * std::cos(0.33 * y - 0.15 * x);
  const double dx = x - 100, dy = y - 90;
  v += 40 * std::exp(-(dx * dx + dy * dy) / 18.0);
  return std::clamp(v, 20.0, 235.0);
}

vistamet::ImageHolder Render(int w, int h, double sx, double sy) {
  vistamet::ImageHolder img;
  img.width = w;
  img.height = h;
  img.grey.resize(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      img.grey[static_cast<size_t>(y) * w + x] =
          static_cast<uint8_t>(Texture(x - sx, y - sy) + 0.5);
  return img;
}

// A target displaced by (1.2, -0.9) px from its true position.
void BM_LsmMatchOneRequest(benchmark::State& state) {
  const vistamet::ImageHolder ref = Render(200, 200, 0, 0);
  const vistamet::ImageHolder tgt = Render(200, 200, 2.3, 1.6);
  for (auto _ : state) {
    vistamet::MatchRequest r{100, 90, 100 + 2.3 + 1.2, 90 + 1.6 - 0.9};
    benchmark::DoNotOptimize(vistamet::MatchPoint(ref, tgt, r));
    benchmark::DoNotOptimize(r.targetX);
  }
}
BENCHMARK(BM_LsmMatchOneRequest)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
