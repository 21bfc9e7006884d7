#include "geotools/compute/matrix.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <new>
#include <utility>

#include "geotools/compute/texts.h"

namespace georeckon {

int AllocMatrix(int rows, int cols, Matrix* m) {
  m->data_.reset();
  m->rows_ = 0;
  m->cols_ = 0;
  if (rows <= 0 || cols <= 0) return 0;
  const size_t count = static_cast<size_t>(rows) * static_cast<size_t>(cols);
  if (count / static_cast<size_t>(rows) != static_cast<size_t>(cols) ||
      count > std::numeric_limits<size_t>::max() / sizeof(double)) {
    return 0;
  }
  double* block = new (std::nothrow) double[count]();
  if (!block) return 0;
  m->data_.reset(block);
  m->rows_ = rows;
  m->cols_ = cols;
  return 1;
}

int InvertInPlace(double* a, int n) {
  if (n <= 0) return 0;
  // Pivot positions of each step; on the stack for the sizes the solvers use.
  constexpr int kSmall = 64;
  int small_rows[kSmall], small_cols[kSmall];
  std::unique_ptr<int[]> big;
  int* prow = small_rows;
  int* pcol = small_cols;
  if (n > kSmall) {
    big.reset(new (std::nothrow) int[2 * static_cast<size_t>(n)]);
    if (!big) return 0;
    prow = big.get();
    pcol = big.get() + n;
  }
  auto at = [a, n](int i, int j) -> double& { return a[static_cast<long>(i) * n + j]; };

  for (int k = 0; k < n; ++k) {
    double p = 0.0;
    prow[k] = k;
    pcol[k] = k;
    for (int i = k; i < n; ++i) {
      for (int j = k; j < n; ++j) {
        const double v = std::fabs(at(i, j));
        if (v > p) {
          p = v;
          prow[k] = i;
          pcol[k] = j;
        }
      }
    }
    if (p + 1.0 == 1.0) return 0;
    if (prow[k] != k) {
      for (int j = 0; j < n; ++j) std::swap(at(k, j), at(prow[k], j));
    }
    if (pcol[k] != k) {
      for (int i = 0; i < n; ++i) std::swap(at(i, k), at(i, pcol[k]));
    }
    at(k, k) = 1.0 / at(k, k);
    const double akk = at(k, k);
    for (int j = 0; j < n; ++j) {
      if (j != k) at(k, j) *= akk;
    }
    for (int i = 0; i < n; ++i) {
      if (i == k) continue;
      const double aik = at(i, k);
      for (int j = 0; j < n; ++j) {
        if (j != k) at(i, j) -= aik * at(k, j);
      }
    }
    for (int i = 0; i < n; ++i) {
      if (i != k) at(i, k) = -at(i, k) * akk;
    }
  }
  // Undo the exchanges in reverse order: a column exchange of the
  // elimination becomes a row exchange of the inverse and vice versa.
  for (int k = n - 1; k >= 0; --k) {
    if (pcol[k] != k) {
      for (int j = 0; j < n; ++j) std::swap(at(k, j), at(pcol[k], j));
    }
    if (prow[k] != k) {
      for (int i = 0; i < n; ++i) std::swap(at(i, k), at(i, prow[k]));
    }
  }
  return 1;
}

int InvertInPlace(Matrix& m) {
  if (m.empty() || m.rows() != m.cols()) return 0;
  return InvertInPlace(m.data(), m.rows());
}

int InvertToCopy(int n, const Matrix& m, Matrix* result) {
  if (m.empty() || m.rows() < n || m.cols() < n || !AllocMatrix(n, n, result)) {
    std::fputs(texts::kNotInvertible, stdout);
    return 0;
  }
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) (*result)[i][j] = m[i][j];
  }
  if (!InvertInPlace(result->data(), n)) {
    std::fputs(texts::kNotInvertible, stdout);
    return 0;
  }
  return 1;
}

void AddObservation(const double* a, double l, int n, double* N, double* U) {
  for (int i = 0; i < n; ++i) {
    if (a[i] == 0) continue;
    for (int j = 0; j < n; ++j) N[i * n + j] += a[i] * a[j];
    U[i] += a[i] * l;
  }
}

double ScaledConditionNumber(const double* N, int n) {
  constexpr double kInfinite = std::numeric_limits<double>::infinity();
  constexpr int kMax = 16;
  if (n <= 0 || n > kMax) return kInfinite;
  double s[kMax];
  for (int i = 0; i < n; ++i) {
    const double d = N[i * n + i];
    if (!(d > 0) || !std::isfinite(d)) return kInfinite;
    s[i] = 1.0 / std::sqrt(d);
  }
  double scaled[kMax * kMax];
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) scaled[i * n + j] = N[i * n + j] * s[i] * s[j];
  }
  auto norm1 = [n](const double* m) {
    double best = 0;
    for (int j = 0; j < n; ++j) {
      double sum = 0;
      for (int i = 0; i < n; ++i) sum += std::fabs(m[i * n + j]);
      if (!(sum <= best)) best = sum;  // NaN propagates
    }
    return best;
  };
  const double norm = norm1(scaled);
  if (!InvertInPlace(scaled, n)) return kInfinite;
  const double cond = norm * norm1(scaled);
  return std::isfinite(cond) ? cond : kInfinite;
}

}  // namespace georeckon
