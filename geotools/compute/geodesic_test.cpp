#include "geotools/compute/geodesic.h"

#include <gtest/gtest.h>

#include <cmath>

namespace georeckon {
namespace {

constexpr double kPi = 3.141592653589793;

TEST(SafeArcCos, Table) {
  struct Case {
    double x, expected, tolerance;
  } const cases[] = {
      {0, kPi / 2, 1e-15},        {0.5, kPi / 3, 1e-15},
      {-0.5, 2 * kPi / 3, 1e-15}, {1, 0, 0},
      {-1, kPi, 0},               {1 - 1e-12, 0, 0},
      {-1 + 1e-12, kPi, 0},       {0.99999, std::acos(0.99999), 1e-12},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.x);
    EXPECT_NEAR(SafeArcCos(c.x), c.expected, c.tolerance);
  }
  EXPECT_TRUE(std::isnan(SafeArcCos(NAN)));
}

TEST(GeodeticInverse, ReferenceLine) {
  // WGS84, (30°, 0°) to (31°, 10°): 966032.06 m at 80.8867040°.
  double S, A;
  ASSERT_EQ(GeodeticInverse(30, 0, 31, 10, kDegree, kDegree, nullptr, &S, &A), 1);
  EXPECT_NEAR(S, 966032.060, 1e-3);
  EXPECT_NEAR(A, 80.88670400921808, 1e-9);
  // The same line in packed and radian units.
  ASSERT_EQ(GeodeticInverse(30, 0, 31, 10, kPackedDms, kPackedDms, nullptr, &S, &A), 1);
  EXPECT_NEAR(A, ConvertAngle(80.88670400921808, kDegree, kPackedDms), 1e-9);
}

TEST(GeodeticInverse, DirectionsAndDegenerateLines) {
  struct Case {
    double B1, L1, B2, L2;
    double S, A;  // from an exact geodesic solution
    const char* note;
  } const cases[] = {
      {30, 120, 30, 120, 0, 0, "identical points"},
      {10, 25, 60, 25, 5548217.986256, 0, "meridian northwards"},
      {60, 25, 10, 25, 5548217.986256, 180, "meridian southwards"},
      {0, 10, 0, 15, 556597.453966, 90, "equator eastwards"},
      {0, 10, 0, 5, 556597.453966, 270, "equator westwards"},
      {0, 170, 0, -175, 1669792.361899, 90, "equator eastwards over the date line"},
      {80, 10, 85, -170, 1675281.446022, 0, "northwards over the pole"},
      {-75, -100, -80, 80, 2791853.999408, 180, "southwards over the pole"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.note);
    double S = -1, A = -1;
    ASSERT_EQ(GeodeticInverse(c.B1, c.L1, c.B2, c.L2, kDegree, kDegree, nullptr, &S, &A), 1);
    EXPECT_NEAR(S, c.S, 1e-4);
    EXPECT_NEAR(std::remainder(A - c.A, 360), 0, 1e-9);
    EXPECT_FALSE(std::signbit(A));
  }
}

TEST(GeodeticInverse, NearlyAntipodalIsSolvedInsteadOfHanging) {
  // The iteration does not settle here; the line found must lead back to
  // the second point by the direct problem and be no longer than the
  // half meridian, the longest geodesic of the ellipsoid.
  const double half_meridian = 20003931.4586;
  struct Case {
    double B1, L1, B2, L2;
  } const cases[] = {{0, 0, 0.5, 179.7}, {0, 0, -0.3, 179.8}, {10, 20, -10.2, -160.3},
                     {-45, 170, 44.99, -10.01}, {0.1, 0, -0.1, 179.5}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.B1 << " " << c.L1 << " " << c.B2 << " " << c.L2);
    double S = -1, A = -1;
    ASSERT_EQ(GeodeticInverse(c.B1, c.L1, c.B2, c.L2, kDegree, kDegree, nullptr, &S, &A), 1);
    EXPECT_GT(S, 19.0e6);
    EXPECT_LE(S, half_meridian + 1e-3);
    EXPECT_GE(A, 0);
    EXPECT_LT(A, 360);
    double B2, L2;
    ASSERT_EQ(GeodeticDirect(c.B1, c.L1, S, A, kDegree, kDegree, nullptr, &B2, &L2), 1);
    EXPECT_NEAR(B2, c.B2, 1e-8);
    EXPECT_NEAR(std::remainder(L2 - c.L2, 360.0), 0, 1e-8);
  }
  // Exactly antipodal on the equator: over a pole, half a meridian.
  double S = -1, A = -1;
  ASSERT_EQ(GeodeticInverse(0, 0, 0, 180, kDegree, kDegree, nullptr, &S, &A), 1);
  EXPECT_NEAR(S, half_meridian, 1e-3);
  EXPECT_TRUE(A == 0 || A == 180) << A;
  // On another ellipsoid the same.
  const EllipsoidParams bj = Beijing54Ellipsoid();
  ASSERT_EQ(GeodeticInverse(0, 0, 0.5, 179.7, kDegree, kRadian, &bj, &S, &A), 1);
  EXPECT_LT(A, 6.2831853071795865);
}

TEST(GeodeticInverse, NotFiniteInputFails) {
  double S, A;
  EXPECT_EQ(GeodeticInverse(NAN, 0, 1, 1, kDegree, kDegree, nullptr, &S, &A), 0);
  EXPECT_EQ(GeodeticInverse(0, INFINITY, 1, 1, kDegree, kDegree, nullptr, &S, &A), 0);
  // A latitude beyond the pole near the antipode: refused, outputs untouched.
  S = A = -1;
  EXPECT_EQ(GeodeticInverse(0, 0, 179.5, 179.7, kDegree, kDegree, nullptr, &S, &A), 0);
  EXPECT_EQ(S, -1);
  EXPECT_EQ(A, -1);
}

TEST(GeodeticDirect, ZeroDistanceReturnsTheFirstPoint) {
  double B2, L2;
  ASSERT_EQ(GeodeticDirect(30.3, 120.45, 0, 45, kPackedDms, kDegree, nullptr, &B2, &L2), 1);
  EXPECT_NEAR(B2, 30.5, 1e-12);
  EXPECT_NEAR(L2, 120.75, 1e-12);
}

TEST(GeodeticDirect, QuadrantsOfTheLongitude) {
  struct Case {
    double B1, L1, A1, S;
    double B2, L2;  // from an exact geodesic solution
    const char* note;
  } const cases[] = {
      {0, 10, 270, 5e6, 0, -34.91576420598, "westward along the equator"},
      {0, 10, 90, 5e6, 0, 54.91576420598, "eastward along the equator"},
      {0, -170, 270, 2e6, 0, 172.03369431761, "westward over the date line"},
      {80, 10, 0, 3e6, 73.13504061832, -170, "northwards over the pole"},
      {-80, -170, 180, 3e6, -73.13504061832, 10, "southwards over the pole"},
      {45, 179, 90, 1e6, 44.30140294695, -168.41876957183, "eastward over the date line"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.note);
    double B2, L2;
    ASSERT_EQ(GeodeticDirect(c.B1, c.L1, c.S, c.A1, kDegree, kDegree, nullptr, &B2, &L2), 1);
    EXPECT_NEAR(B2, c.B2, 1e-9);
    EXPECT_NEAR(L2, c.L2, 1e-9);
  }
}

TEST(GeodeticDirect, InvertsTheInverseProblem) {
  for (double B1 = -70; B1 <= 70; B1 += 35) {
    for (double B2 = -60; B2 <= 60; B2 += 40) {
      for (double dL = -120; dL <= 120; dL += 30) {
        double S, A, B, L;
        ASSERT_EQ(GeodeticInverse(B1, 20, B2, 20 + dL, kDegree, kDegree, nullptr, &S, &A), 1);
        ASSERT_EQ(GeodeticDirect(B1, 20, S, A, kDegree, kDegree, nullptr, &B, &L), 1);
        SCOPED_TRACE(testing::Message() << B1 << " " << B2 << " " << dL);
        EXPECT_NEAR(B, B2, 1e-10);
        EXPECT_NEAR(std::remainder(L - (20 + dL), 360), 0, 1e-10);
      }
    }
  }
}

TEST(GeodeticDirect, HugeAzimuthsAndDistancesEnd) {
  double B2 = 0, L2 = 0;
  EXPECT_EQ(GeodeticDirect(30, 120, 1e29, 45, kDegree, kDegree, nullptr, &B2, &L2), 1);
  EXPECT_EQ(GeodeticDirect(30, 120, 1000, 1e300, kRadian, kDegree, nullptr, &B2, &L2), 1);
  EXPECT_EQ(GeodeticDirect(30, 120, NAN, 45, kDegree, kDegree, nullptr, &B2, &L2), 0);
}

}  // namespace
}  // namespace georeckon
