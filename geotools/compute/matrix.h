// Small dense matrices and the normal-equation routines of the parameter
// solvers: allocation that reports failure instead of ending the program,
// Gauss–Jordan inversion with full pivoting, and the products that build
// normal equations from observation rows.
#pragma once

#include <memory>

namespace georeckon {

// A rows × cols matrix of doubles in one zero-filled block, row after row:
// element (i, j) is m[i][j] = data()[i * cols + j].
class Matrix {
 public:
  Matrix() = default;
  int rows() const { return rows_; }
  int cols() const { return cols_; }
  bool empty() const { return !data_; }
  double* data() { return data_.get(); }
  const double* data() const { return data_.get(); }
  double* operator[](int i) { return data_.get() + static_cast<long>(i) * cols_; }
  const double* operator[](int i) const { return data_.get() + static_cast<long>(i) * cols_; }

 private:
  friend int AllocMatrix(int rows, int cols, Matrix* m);
  int rows_ = 0;
  int cols_ = 0;
  std::unique_ptr<double[]> data_;
};

// Makes *m a zero-filled rows × cols matrix. Returns 0 (and leaves *m empty)
// when a dimension is not positive, the size overflows or the memory cannot
// be had; the caller then reports "Failure in memory applying!" and stops
// its action. Returns 1 otherwise.
int AllocMatrix(int rows, int cols, Matrix* m);

// Inverts the n × n matrix `a` (row after row) in place by Gauss–Jordan
// elimination with full pivoting: at step k the largest |a(i, j)| with
// i, j >= k is the pivot (rows scanned in order, columns in order within a
// row, a later element replacing the pivot only when strictly larger).
// Returns 0 when a pivot p is so small that 1 + p == 1 (the matrix is then
// left partly transformed), 1 otherwise.
int InvertInPlace(double* a, int n);
int InvertInPlace(Matrix& m);  // 0 also when m is not square

// Inverts an n × n matrix into *result (allocated here), leaving `m` as it
// is. On failure prints "err**not inv\n" on the standard output and returns
// 0; *result then holds no inverse.
int InvertToCopy(int n, const Matrix& m, Matrix* result);

// Adds one observation row a[0 .. n-1] with observed value l to the normal
// equations: N += aᵀa (n × n, row after row) and U += aᵀl.
void AddObservation(const double* a, double l, int n, double* N, double* U);

// The 1-norm condition number of the normal matrix N (n × n) after scaling
// it to a unit diagonal, which removes the effect of the units of the
// unknowns (metres against radians against a scale). Infinite when N has a
// diagonal element <= 0 or cannot be inverted. Values near 1/ε (4.5e15) mean
// the unknowns are not determined by the observations.
double ScaledConditionNumber(const double* N, int n);

// Solutions whose scaled normal matrix exceeds this condition number keep
// fewer than about three significant digits and are refused.
inline constexpr double kMaxConditionNumber = 1e13;

// Outcome of the parameter solvers.
enum class SolveStatus {
  kOk,
  kTooFewPoints,    // fewer common points than the solver needs
  kSingular,        // no pivot passed the inversion test, or the points
                    // do not determine the parameters (identical, collinear…)
  kOutOfMemory,
};

}  // namespace georeckon
