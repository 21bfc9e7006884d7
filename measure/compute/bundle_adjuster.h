// The dense least-squares kernel shared by every adjustment: accumulation of
// weighted observation equations into packed normal equations, the in-place
// inversion and solve, and the summary of a series of values.
//
// Packed symmetric storage. A symmetric n x n matrix N is held as its upper
// triangle, row after row; row i holds N[i][i] ... N[i][n-1], so
//
//   N[i][j] (i <= j)  is at  j + i*(2n - i - 1)/2      (integer division)
//
// and the array has n*(n+1)/2 doubles: N[0][0] at 0, N[1][1] at n.
//
// BundleAdjuster keeps no state between calls; every buffer belongs to the
// caller. All arithmetic is in double precision.
#pragma once

#include <cstddef>
#include <span>

namespace vistamet {

class BundleAdjuster {
 public:
  // Number of doubles of a packed symmetric n x n matrix.
  static constexpr size_t PackedSize(int n) {
    return n <= 0 ? 0 : static_cast<size_t>(n) * (static_cast<size_t>(n) + 1) / 2;
  }
  // Packed index of N[i][j], 0 <= i <= j < n.
  static constexpr size_t PackedIndex(int i, int j, int n) {
    return static_cast<size_t>(j) +
           static_cast<size_t>(i) * (2 * static_cast<size_t>(n) - i - 1) / 2;
  }

  // Adds one observation equation a.x = l with weight w to the normal
  // equations: N[i][j] += a[j]*(w*a[i]) for i <= j, u[i] += w*(l*a[i]).
  // Every coefficient is accumulated, zeros included.
  //   a  design row, at least n doubles
  //   N  packed normal matrix, at least PackedSize(n) doubles
  //   u  right-hand side, at least n doubles
  // Returns 1, or 0 (nothing changed) when n < 1 or a buffer is too short.
  static int AddObservation(std::span<const double> a, int n, double l,
                            std::span<double> N, std::span<double> u, double w);

  // Sets every element to 0.0 and returns 0; an empty array is left alone
  // and gives -1.
  static int ClearVector(std::span<double> values);

  // Inverts the packed normal matrix N (n unknowns) and solves x = N^-1 u.
  // The upper triangle of N^-1 replaces N in the same packed layout (the
  // cofactor matrix of the adjustment).
  //
  // Gauss-Jordan inversion without pivot search that rotates the matrix by
  // one row and column per step, so the pivot is always the top-left
  // element; 1e-11 is added to every pivot. A singular or badly conditioned
  // matrix is not detected here: the solution may be huge, infinite or NaN,
  // and the caller tests every component of x for being finite.
  //
  // Work space: one full n x n matrix and one row of n doubles.
  // Returns 1, or 0 (nothing changed) when n < 1 or a buffer is too short.
  static int InvertAndSolve(std::span<double> N, std::span<const double> u,
                            std::span<double> x, int n);

  // Statistics of a series of m values. s receives the sample standard
  // deviation about the mean, sqrt(sum (v - mean)^2 / (m - 1)); e the value
  // with the largest magnitude, sign kept (the earlier one on a tie); mean,
  // when given, the arithmetic mean. With fewer than 3 values s = e = 0 and
  // the mean is not written.
  static void SeriesStats(std::span<const double> values, double* s, double* e,
                          double* mean = nullptr);

  // The constant added to every pivot of InvertAndSolve.
  static constexpr double kPivotShift = 1e-11;
};

}  // namespace vistamet
