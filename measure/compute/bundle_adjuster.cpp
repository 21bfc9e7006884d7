#include "measure/compute/bundle_adjuster.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace vistamet {

int BundleAdjuster::AddObservation(std::span<const double> a, int n, double l,
                                   std::span<double> N, std::span<double> u,
                                   double w) {
  if (n < 1 || a.size() < static_cast<size_t>(n) ||
      u.size() < static_cast<size_t>(n) || N.size() < PackedSize(n)) {
    return 0;
  }
  double* row = N.data();
  for (int i = 0; i < n; ++i) {
    const double wa = w * a[i];
    // Row i of the packed triangle starts at N[i][i] and runs to N[i][n-1].
    for (int j = i; j < n; ++j) *row++ += a[j] * wa;
    u[i] += w * (l * a[i]);
  }
  return 1;
}

int BundleAdjuster::ClearVector(std::span<double> values) {
  if (values.empty()) return -1;
  std::fill(values.begin(), values.end(), 0.0);
  return 0;
}

int BundleAdjuster::InvertAndSolve(std::span<double> N, std::span<const double> u,
                                   std::span<double> x, int n) {
  if (n < 1 || u.size() < static_cast<size_t>(n) ||
      x.size() < static_cast<size_t>(n) || N.size() < PackedSize(n)) {
    return 0;
  }
  const size_t dim = static_cast<size_t>(n);
  std::vector<double> A(dim * dim);
  auto at = [&A, dim](size_t r, size_t c) -> double& { return A[r * dim + c]; };

  // Unpack into a full matrix.
  size_t k = 0;
  for (size_t i = 0; i < dim; ++i) {
    for (size_t j = i; j < dim; ++j, ++k) at(i, j) = at(j, i) = N[k];
  }
  std::fill(x.begin(), x.begin() + n, 0.0);
  std::vector<double> t(dim, 0.0);

  // Each step eliminates the top-left pivot and moves the matrix up and to
  // the left by one row and column, so the eliminated variable comes back
  // into the last row and column. After n steps every row and column is
  // back in its place and the lower triangle holds the inverse. Rows of
  // variables already eliminated (those beyond s) change the sign of their
  // multiplier. Only the lower triangle is kept up to date.
  for (int s = n - 1; s >= 0; --s) {
    const double p = at(0, 0) + kPivotShift;
    for (size_t r = 1; r < dim; ++r) {
      const double e = at(r, 0);
      t[r] = static_cast<int>(r) > s ? e / p : -e / p;
      double* dst = &at(r - 1, 0);
      const double* src = &at(r, 1);
      for (size_t l = 0; l < r; ++l) dst[l] = t[l + 1] * e + src[l];
    }
    at(dim - 1, dim - 1) = 1.0 / p;
    for (size_t l = 0; l + 1 < dim; ++l) at(dim - 1, l) = t[l + 1];
  }

  // Mirror the lower triangle into the upper one.
  for (size_t j = 1; j < dim; ++j) {
    for (size_t c = j; c < dim; ++c) at(j - 1, c) = at(c, j - 1);
  }

  k = 0;
  for (size_t e = 0; e < dim; ++e) {
    const double* row = &at(e, 0);
    double sum = 0.0;
    for (size_t j = 0; j < dim; ++j) sum += row[j] * u[j];
    x[e] = sum;
    for (size_t j = e; j < dim; ++j) N[k++] = row[j];
  }
  return 1;
}

void BundleAdjuster::SeriesStats(std::span<const double> values, double* s,
                                 double* e, double* mean) {
  if (s) *s = 0.0;
  if (e) *e = 0.0;
  const size_t m = values.size();
  if (m < 3) return;

  double extreme = values[0];
  double sum = 0.0;
  for (double v : values) {
    if (std::fabs(v) > std::fabs(extreme)) extreme = v;
    sum += v;
  }
  const double avg = sum / static_cast<double>(m);
  double sq = 0.0;
  for (double v : values) sq += (v - avg) * (v - avg);
  if (s) *s = std::sqrt(sq / static_cast<double>(m - 1));
  if (e) *e = extreme;
  if (mean) *mean = avg;
}

}  // namespace vistamet
