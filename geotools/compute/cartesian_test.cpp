#include "geotools/compute/cartesian.h"

#include <gtest/gtest.h>

#include <cmath>

#include "geotools/compute/number_format.h"

namespace georeckon {
namespace {

TEST(BLHToXYZ, ReferencePointRoundedToFourDecimals) {
  // B = 30°00′, L = 120°00′ (packed), H = 0 on WGS84.
  double X, Y, Z;
  EXPECT_EQ(BLHToXYZ(30, 120, 0, kPackedDms, nullptr, &X, &Y, &Z), 1);
  EXPECT_EQ(FormatFixed(X, 13, 4), "-2764128.3196");
  EXPECT_EQ(FormatFixed(Y, 13, 4), " 4787610.6883");
  EXPECT_EQ(FormatFixed(Z, 13, 4), " 3170373.7354");
  EXPECT_EQ(RoundDecimals(X, 4), -2764128.3196);
}

TEST(BLHToXYZ, OutputsMayBeOmitted) {
  double Z = 0;
  EXPECT_EQ(BLHToXYZ(90, 0, 0, kDegree, nullptr, nullptr, nullptr, &Z), 1);
  EXPECT_NEAR(Z, Wgs84Ellipsoid().b, 1e-6);
}

TEST(XYZToBLH, CentreAxisAndEquator) {
  struct Case {
    double X, Y, Z;
    double B, L, H;
    const char* note;
  } const cases[] = {
      {0, 0, 0, 0, 0, -6378137.0, "the centre: B = L = 0, H = -a"},
      {0, 0, 6356752.314245179 + 100, 90, 0, 100, "north pole axis: H = |Z| - b"},
      {0, 0, -6356752.314245179 + 20, -90, 0, -20, "south pole axis, below the surface"},
      {6378137, 0, 0, 0, 0, 0, "equator at L = 0"},
      {0, -6378137, 0, 0, -90, 0, "equator at L = -90"},
      {-6378137, 0, 0, 0, 180, 0, "L = 180 lies in (-180, 180]"},
      {-6378137, -0.0, -0.0, 0, 180, 0, "also when Y is -0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.note);
    double B, L, H;
    EXPECT_EQ(XYZToBLH(c.X, c.Y, c.Z, kDegree, nullptr, &B, &L, &H), 1);
    EXPECT_NEAR(B, c.B, 1e-12);
    EXPECT_NEAR(L, c.L, 1e-12);
    EXPECT_NEAR(H, c.H, 1e-6);
  }
}

TEST(XYZToBLH, RoundTripOnEveryEllipsoid) {
  for (const EllipsoidParams& e :
       {Wgs84Ellipsoid(), Beijing54Ellipsoid(), Xian80Ellipsoid(), CustomEllipsoid(6400000, 250)}) {
    for (double B = -90; B <= 90; B += 7.5) {
      for (double L = -180; L < 180; L += 37.25) {
        for (double H : {-3000.0, 0.0, 1234.5678, 35786000.0}) {
          double X, Y, Z, B2, L2, H2;
          BLHToXYZ(B, L, H, kDegree, &e, &X, &Y, &Z);
          XYZToBLH(X, Y, Z, kRadian, &e, &B2, &L2, &H2);
          SCOPED_TRACE(testing::Message() << "B " << B << " L " << L << " H " << H);
          EXPECT_NEAR(B2, B * M_PI / 180, 1e-12);
          if (std::fabs(B) < 90) {
            EXPECT_NEAR(std::remainder(L2 - L * M_PI / 180, 2 * M_PI), 0, 1e-12);
          }
          EXPECT_NEAR(H2, H, 1e-4);
        }
      }
    }
  }
}

TEST(XYZToBLH, ReturnsInTheWantedUnit) {
  double X, Y, Z, B, L;
  BLHToXYZ(30.3, 120.45, 10, kPackedDms, nullptr, &X, &Y, &Z);
  XYZToBLH(X, Y, Z, kPackedDms, nullptr, &B, &L, nullptr);
  EXPECT_NEAR(B, 30.3, 1e-10);
  EXPECT_NEAR(L, 120.45, 1e-10);
}

TEST(XYZToBLH, AnyInputEndsWithoutHanging) {
  const double odd[][3] = {
      {1, 1, 1}, {1e-300, 0, 1e-300}, {30000, 0, 1}, {-1, -1, -6e6}, {1e300, 1e300, 1e300},
      {NAN, 0, 0}, {INFINITY, 0, 0}, {0, 0, INFINITY}, {42000, 0, 100}, {1e-3, 0, 6356752.3},
  };
  for (const auto& p : odd) {
    double B = 0, L = 0, H = 0;
    EXPECT_EQ(XYZToBLH(p[0], p[1], p[2], kDegree, nullptr, &B, &L, &H), 1);
  }
}

}  // namespace
}  // namespace georeckon
