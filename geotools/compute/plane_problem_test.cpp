#include "geotools/compute/plane_problem.h"

#include <gtest/gtest.h>

#include <cmath>

namespace georeckon {
namespace {

TEST(PlaneInverse, AzimuthInEveryDirection) {
  struct Case {
    double x2, y2;
    double S, A;  // A in degrees
  } const cases[] = {
      {0, 0, 0, 0},          {10, 0, 10, 0},          {0, 10, 10, 90},
      {-10, 0, 10, 180},     {0, -10, 10, 270},       {10, 10, std::sqrt(200), 45},
      {-10, 10, std::sqrt(200), 135}, {-10, -10, std::sqrt(200), 225},
      {10, -10, std::sqrt(200), 315}, {3, 4, 5, 53.13010235415598},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "to " << c.x2 << ", " << c.y2);
    double S, A;
    EXPECT_EQ(PlaneInverse(0, 0, c.x2, c.y2, kDegree, &S, &A), 1);
    EXPECT_NEAR(S, c.S, 1e-12);
    EXPECT_NEAR(A, c.A, 1e-12);
  }
  double S, A;
  PlaneInverse(100, 100, 100, 110, kPackedDms, &S, &A);
  EXPECT_NEAR(A, 90.0, 1e-12);
  PlaneInverse(0, 0, 0, -1, kRadian, &S, &A);
  EXPECT_EQ(A, 4.71238898038469);
}

TEST(PlaneDirect, InvertsTheInverseProblem) {
  for (double a = 0; a < 360; a += 22.5) {
    double x2, y2, S, A;
    ASSERT_EQ(PlaneDirect(1000, 2000, 150, a, kDegree, &x2, &y2), 1);
    PlaneInverse(1000, 2000, x2, y2, kDegree, &S, &A);
    EXPECT_NEAR(S, 150, 1e-9);
    EXPECT_NEAR(std::remainder(A - a, 360), 0, 1e-9);
  }
}

TEST(PlaneDirect, ZeroNegativeAndOddInput) {
  double x2 = -1, y2 = -1;
  ASSERT_EQ(PlaneDirect(5, 6, 0, 33, kDegree, &x2, &y2), 1);
  EXPECT_EQ(x2, 5);
  EXPECT_EQ(y2, 6);
  x2 = y2 = 42;
  EXPECT_EQ(PlaneDirect(5, 6, -1, 33, kDegree, &x2, &y2), 0);
  EXPECT_EQ(PlaneDirect(5, 6, NAN, 33, kDegree, &x2, &y2), 0);
  EXPECT_EQ(x2, 42);  // untouched after a failure
  EXPECT_EQ(y2, 42);
  // Angles far outside one turn are reduced in one step (no endless loop).
  ASSERT_EQ(PlaneDirect(0, 0, 10, 1e300, kRadian, &x2, &y2), 1);
  EXPECT_NEAR(std::hypot(x2, y2), 10, 1e-9);
  ASSERT_EQ(PlaneDirect(0, 0, 10, -720 - 90, kDegree, &x2, &y2), 1);
  EXPECT_NEAR(x2, 0, 1e-9);
  EXPECT_NEAR(y2, -10, 1e-9);
}

}  // namespace
}  // namespace georeckon
