#include "geotools/compute/matrix.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace georeckon {
namespace {

TEST(AllocMatrix, ZeroFilledAndRefusesImpossibleSizes) {
  Matrix m;
  ASSERT_EQ(AllocMatrix(3, 4, &m), 1);
  EXPECT_EQ(m.rows(), 3);
  EXPECT_EQ(m.cols(), 4);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 4; ++j) EXPECT_EQ(m[i][j], 0.0);
  m[2][3] = 5;
  EXPECT_EQ(m.data()[11], 5.0);

  EXPECT_EQ(AllocMatrix(0, 4, &m), 0);
  EXPECT_TRUE(m.empty());
  EXPECT_EQ(AllocMatrix(-1, 4, &m), 0);
  // More memory than any machine has: reported, the program goes on.
  EXPECT_EQ(AllocMatrix(INT_MAX, INT_MAX, &m), 0);
  EXPECT_TRUE(m.empty());
}

void ExpectIdentityProduct(const double* a, const double* inv, int n) {
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      double s = 0;
      for (int k = 0; k < n; ++k) s += a[i * n + k] * inv[k * n + j];
      EXPECT_NEAR(s, i == j ? 1.0 : 0.0, 1e-12) << i << "," << j;
    }
  }
}

TEST(InvertInPlace, InvertsMatricesThatNeedRowAndColumnExchanges) {
  // Zero diagonal and the largest element off the diagonal: every step
  // exchanges rows and columns, and undoing them in the wrong order shows.
  const double a[16] = {0, 2, 0, 1,  //
                        3, 0, 1, 0,  //
                        0, 1, 0, 4,  //
                        1, 0, 5, 0};
  double inv[16];
  std::copy(a, a + 16, inv);
  ASSERT_EQ(InvertInPlace(inv, 4), 1);
  ExpectIdentityProduct(a, inv, 4);

  // A symmetric positive definite normal matrix, as the solvers build.
  const double n[9] = {4, 1, 2, 1, 3, 0.5, 2, 0.5, 5};
  double ninv[9];
  std::copy(n, n + 9, ninv);
  ASSERT_EQ(InvertInPlace(ninv, 3), 1);
  ExpectIdentityProduct(n, ninv, 3);
}

TEST(InvertInPlace, SingularMatricesFail) {
  double zero[4] = {0, 0, 0, 0};
  EXPECT_EQ(InvertInPlace(zero, 2), 0);
  double rank_one[9] = {1, 2, 3, 2, 4, 6, 3, 6, 9};
  EXPECT_EQ(InvertInPlace(rank_one, 3), 0);
  double nan[4] = {NAN, 0, 0, NAN};
  EXPECT_EQ(InvertInPlace(nan, 2), 0);
  Matrix not_square;
  ASSERT_EQ(AllocMatrix(2, 3, &not_square), 1);
  EXPECT_EQ(InvertInPlace(not_square), 0);
}

TEST(InvertToCopy, LeavesTheSourceAndReportsFailureOnStdout) {
  Matrix m, inv;
  ASSERT_EQ(AllocMatrix(2, 2, &m), 1);
  m[0][0] = 2;
  m[1][1] = 4;
  ASSERT_EQ(InvertToCopy(2, m, &inv), 1);
  EXPECT_EQ(inv[0][0], 0.5);
  EXPECT_EQ(inv[1][1], 0.25);
  EXPECT_EQ(m[0][0], 2);

  m[1][1] = 0;
  testing::internal::CaptureStdout();
  EXPECT_EQ(InvertToCopy(2, m, &inv), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "err**not inv\n");
}

TEST(AddObservation, BuildsNormalEquations) {
  double N[4] = {0, 0, 0, 0}, U[2] = {0, 0};
  const double r1[2] = {1, 2}, r2[2] = {3, -1};
  AddObservation(r1, 5, 2, N, U);
  AddObservation(r2, 1, 2, N, U);
  const double expected_n[4] = {10, -1, -1, 5};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(N[i], expected_n[i]);
  EXPECT_EQ(U[0], 8);
  EXPECT_EQ(U[1], 9);
}

TEST(ScaledConditionNumber, IgnoresUnitsButSeesDependence) {
  // Well posed but with wildly different units: condition stays small.
  const double scaled_units[4] = {1e14, 1e6, 1e6, 2};
  EXPECT_LT(ScaledConditionNumber(scaled_units, 2), 10);
  // Dependent columns: infinite or huge.
  const double dependent[4] = {1, 1, 1, 1};
  EXPECT_GT(ScaledConditionNumber(dependent, 2), kMaxConditionNumber);
  const double nonpositive[4] = {0, 0, 0, 1};
  EXPECT_TRUE(std::isinf(ScaledConditionNumber(nonpositive, 2)));
}

}  // namespace
}  // namespace georeckon
