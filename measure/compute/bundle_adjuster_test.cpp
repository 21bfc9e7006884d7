#include "measure/compute/bundle_adjuster.h"

#include <cmath>
#include <vector>

#include <Eigen/Dense>
#include <gtest/gtest.h>

namespace vistamet {
namespace {

using BA = BundleAdjuster;

std::vector<double> Pack(const Eigen::MatrixXd& m) {
  const int n = static_cast<int>(m.rows());
  std::vector<double> packed(BA::PackedSize(n));
  for (int i = 0; i < n; ++i)
    for (int j = i; j < n; ++j) packed[BA::PackedIndex(i, j, n)] = m(i, j);
  return packed;
}

TEST(PackedIndex, FollowsTheRowByRowUpperTriangle) {
  const int n = 5;
  size_t expected = 0;
  for (int i = 0; i < n; ++i)
    for (int j = i; j < n; ++j) EXPECT_EQ(BA::PackedIndex(i, j, n), expected++);
  EXPECT_EQ(BA::PackedSize(n), expected);
  EXPECT_EQ(BA::PackedIndex(1, 1, n), 5u);
}

TEST(AddObservation, AccumulatesWeightedOuterProduct) {
  const int n = 3;
  const std::vector<double> a1 = {1.0, -2.0, 0.5};
  const std::vector<double> a2 = {0.0, 3.0, 4.0};
  std::vector<double> N(BA::PackedSize(n), 0.0), u(n, 0.0);
  ASSERT_EQ(BA::AddObservation(a1, n, 2.0, N, u, 0.5), 1);
  ASSERT_EQ(BA::AddObservation(a2, n, -1.0, N, u, 2.0), 1);

  Eigen::Vector3d v1(a1.data()), v2(a2.data());
  const Eigen::Matrix3d want = 0.5 * v1 * v1.transpose() + 2.0 * v2 * v2.transpose();
  const Eigen::Vector3d wantU = 0.5 * 2.0 * v1 + 2.0 * -1.0 * v2;
  for (int i = 0; i < n; ++i) {
    EXPECT_DOUBLE_EQ(u[i], wantU(i));
    for (int j = i; j < n; ++j)
      EXPECT_DOUBLE_EQ(N[BA::PackedIndex(i, j, n)], want(i, j)) << i << "," << j;
  }
}

TEST(AddObservation, ShortBuffersChangeNothing) {
  std::vector<double> a = {1, 2, 3}, N(6, 7.0), u(3, 7.0);
  std::vector<double> shortN(5, 7.0);
  EXPECT_EQ(BA::AddObservation(a, 3, 1.0, shortN, u, 1.0), 0);
  EXPECT_EQ(BA::AddObservation(std::span<const double>(a).first(2), 3, 1.0, N, u, 1.0), 0);
  EXPECT_EQ(BA::AddObservation(a, 0, 1.0, N, u, 1.0), 0);
  for (double v : N) EXPECT_EQ(v, 7.0);
  for (double v : u) EXPECT_EQ(v, 7.0);
}

TEST(ClearVector, ZeroesOrRefusesAnEmptyArray) {
  std::vector<double> v = {1, 2, 3};
  EXPECT_EQ(BA::ClearVector(v), 0);
  for (double d : v) EXPECT_EQ(d, 0.0);
  std::vector<double> w = {5.0};
  EXPECT_EQ(BA::ClearVector(std::span<double>(w).first(0)), -1);
  EXPECT_EQ(w[0], 5.0);
}

TEST(InvertAndSolve, OneByOneAddsThePivotShift) {
  std::vector<double> N = {4.0}, u = {2.0}, x = {99.0};
  ASSERT_EQ(BA::InvertAndSolve(N, u, x, 1), 1);
  EXPECT_DOUBLE_EQ(x[0], 2.0 / (4.0 + 1e-11));
  EXPECT_DOUBLE_EQ(N[0], 1.0 / (4.0 + 1e-11));
}

// Symmetric positive definite systems of several sizes, built as B*B^T + n*I
// from a fixed pseudo-random B: the packed array must hold the inverse and x
// must solve the system.
TEST(InvertAndSolve, RecoversInverseAndSolutionOfPositiveDefiniteSystems) {
  for (int n : {2, 3, 5, 9, 24}) {
    SCOPED_TRACE(n);
    Eigen::MatrixXd B(n, n);
    unsigned seed = 12345u + n;
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j) {
        seed = seed * 1103515245u + 12345u;
        B(i, j) = static_cast<double>((seed >> 8) % 2001) / 1000.0 - 1.0;
      }
    const Eigen::MatrixXd M = B * B.transpose() + n * Eigen::MatrixXd::Identity(n, n);
    Eigen::VectorXd rhs(n);
    for (int i = 0; i < n; ++i) rhs(i) = std::sin(1.0 + i) * 10.0;

    std::vector<double> N = Pack(M), u(rhs.data(), rhs.data() + n), x(n);
    ASSERT_EQ(BA::InvertAndSolve(N, u, x, n), 1);
    const Eigen::MatrixXd inv = M.inverse();
    const Eigen::VectorXd sol = inv * rhs;
    for (int i = 0; i < n; ++i) {
      EXPECT_NEAR(x[i], sol(i), 1e-10 * (1 + std::fabs(sol(i))));
      for (int j = i; j < n; ++j)
        EXPECT_NEAR(N[BA::PackedIndex(i, j, n)], inv(i, j), 1e-10) << i << "," << j;
    }
  }
}

TEST(InvertAndSolve, IndefiniteSymmetricMatrixIsInvertedToo) {
  // No pivot search: any matrix whose leading minors are non-zero works.
  Eigen::Matrix3d M;
  M << 2, 1, 0, 1, -3, 2, 0, 2, 1;
  std::vector<double> N = Pack(M), u = {1, 2, 3}, x(3);
  ASSERT_EQ(BA::InvertAndSolve(N, u, x, 3), 1);
  const Eigen::Vector3d sol = M.inverse() * Eigen::Vector3d(1, 2, 3);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(x[i], sol(i), 1e-9);
}

TEST(InvertAndSolve, ZeroMatrixGivesHugeButFiniteValues) {
  const int n = 3;
  std::vector<double> N(BA::PackedSize(n), 0.0), u = {1e-3, 0, 0}, x(n);
  ASSERT_EQ(BA::InvertAndSolve(N, u, x, n), 1);
  EXPECT_TRUE(std::isfinite(x[0]));
  EXPECT_NEAR(x[0], 1e-3 / 1e-11, 1.0);
  EXPECT_NEAR(N[0], 1e11, 1.0);
}

TEST(InvertAndSolve, ShortBuffersChangeNothing) {
  std::vector<double> N = {1, 0, 1}, u = {1, 1}, x = {5, 5};
  EXPECT_EQ(BA::InvertAndSolve(std::span<double>(N).first(2), u, x, 2), 0);
  EXPECT_EQ(BA::InvertAndSolve(N, u, x, 0), 0);
  EXPECT_EQ(x[0], 5.0);
  EXPECT_EQ(N[1], 0.0);
}

TEST(SeriesStats, Table) {
  struct Case {
    std::vector<double> v;
    double s, e, mean;
    bool meanWritten;
    const char* note;
  };
  const Case cases[] = {
      {{}, 0, 0, -7, false, "empty"},
      {{4.0, -9.0}, 0, 0, -7, false, "two values give zeros"},
      {{1, -3, 2}, std::sqrt(7.0), -3, 0, true, "sign of the extreme kept"},
      {{2, -2, 1}, std::sqrt(13.0 / 3.0), 2, 1.0 / 3, true, "earlier value wins a tie"},
      {{5, 5, 5, 5}, 0, 5, 5, true, "constant series"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.note);
    double s = -1, e = -1, mean = -7;
    BA::SeriesStats(c.v, &s, &e, &mean);
    EXPECT_NEAR(s, c.s, 1e-12);
    EXPECT_EQ(e, c.e);
    EXPECT_NEAR(mean, c.meanWritten ? c.mean : -7.0, 1e-12);
  }
}

}  // namespace
}  // namespace vistamet
