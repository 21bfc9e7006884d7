#include "measure/compute/symmetric_solver.h"

#include <cmath>
#include <vector>

#include "measure/compute/bundle_adjuster.h"

namespace vistamet {

int SolveSymmetricSystem(std::span<const double> N, std::span<const double> u, int n,
                         std::span<double> x) {
  if (n < 1 || N.size() < BundleAdjuster::PackedSize(n) ||
      u.size() < static_cast<size_t>(n) || x.size() < static_cast<size_t>(n)) {
    return 0;
  }
  constexpr double kRelativePivot = 1e-14;
  std::vector<double> a(N.begin(), N.begin() + BundleAdjuster::PackedSize(n));
  std::vector<double> b(u.begin(), u.begin() + n);
  auto at = [&a, n](int i, int j) -> double& { return a[BundleAdjuster::PackedIndex(i, j, n)]; };

  // Forward elimination on the upper triangle: below the pivot row the
  // symmetric partner of a[k][i] is a[i][k], so the upper half is enough.
  for (int k = 0; k < n; ++k) {
    const double p = at(k, k);
    if (!std::isfinite(p) || !(p > kRelativePivot * std::fabs(N[BundleAdjuster::PackedIndex(k, k, n)]))) {
      return 0;
    }
    for (int i = k + 1; i < n; ++i) {
      const double f = at(k, i) / p;
      if (f == 0.0) continue;
      for (int j = i; j < n; ++j) at(i, j) -= f * at(k, j);
      b[i] -= f * b[k];
    }
  }
  std::vector<double> sol(n);
  for (int k = n - 1; k >= 0; --k) {
    double s = b[k];
    for (int j = k + 1; j < n; ++j) s -= at(k, j) * sol[j];
    sol[k] = s / at(k, k);
    if (!std::isfinite(sol[k])) return 0;
  }
  for (int k = 0; k < n; ++k) x[k] = sol[k];
  return 1;
}

}  // namespace vistamet
