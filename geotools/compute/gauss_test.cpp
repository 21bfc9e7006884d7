#include "geotools/compute/gauss.h"

#include <gtest/gtest.h>

#include <cmath>

#include "geotools/compute/number_format.h"

namespace georeckon {
namespace {

TEST(Gauss, PointOnTheCentralMeridian) {
  const ProjectedPoint p = GaussForward(30, 120, 12.5, kDegree, 120, 500000, nullptr);
  EXPECT_EQ(FormatFixed(p.x, 13, 4), " 3320113.3980");
  EXPECT_EQ(FormatFixed(p.y, 13, 4), "  500000.0000");
  EXPECT_EQ(p.h, 12.5);
  EXPECT_NEAR(MeridianArc(30 * M_PI / 180, Wgs84Ellipsoid()), 3320113.3980, 5e-5);
}

TEST(Gauss, ForwardAndInverseReferencePoint) {
  const ProjectedPoint p = GaussForward(30.5, 119.9, 0, kDegree, 117, 500000, nullptr);
  EXPECT_EQ(FormatFixed(p.x, 13, 4), " 3379120.2416");
  EXPECT_EQ(FormatFixed(p.y, 13, 4), "  778454.9492");
  const GeodeticPoint g = GaussInverse(p.x, p.y, 0, kDegree, 117, 500000, nullptr);
  EXPECT_NEAR(g.B, 30.5, 3e-9);
  EXPECT_NEAR(g.L, 119.9, 3e-9);
}

TEST(Gauss, ConstantsAndOriginLatitudeShiftTheResult) {
  const ProjectedPoint base = GaussForward(30.3, 118.15, 0, kPackedDms, 117, 500000, nullptr);
  const ProjectedPoint moved =
      GaussForward(30.3, 118.15, 0, kPackedDms, 117, 0, nullptr, 1000, 30.5);
  EXPECT_NEAR(moved.y, base.y - 500000, 1e-9);
  EXPECT_NEAR(moved.x, base.x + 1000 - MeridianArc(30.5 * M_PI / 180, Wgs84Ellipsoid()), 1e-6);
  const GeodeticPoint g = GaussInverse(moved.x, moved.y, 0, kPackedDms, 117, 0, nullptr, 1000, 30.5);
  EXPECT_NEAR(g.B, 30.3, 1e-9);
  EXPECT_NEAR(g.L, 118.15, 1e-9);
}

TEST(Gauss, RoundTripAcrossTheZone) {
  for (const EllipsoidParams& e : {Wgs84Ellipsoid(), Beijing54Ellipsoid(), Xian80Ellipsoid()}) {
    for (double B = -80; B <= 80; B += 10) {
      for (double dl = -3; dl <= 3; dl += 0.75) {
        const ProjectedPoint p = GaussForward(B, 111 + dl, 0, kDegree, 111, 500000, &e);
        const GeodeticPoint g = GaussInverse(p.x, p.y, 0, kDegree, 111, 500000, &e);
        SCOPED_TRACE(testing::Message() << "B " << B << " dl " << dl);
        EXPECT_NEAR(g.B, B, 2e-8);
        EXPECT_NEAR(g.L, 111 + dl, 2e-8);
      }
    }
  }
}

TEST(Gauss, ZoneChangeWithTheSameMeridianReturnsThePoint) {
  bool warn = true;
  const ProjectedPoint p =
      GaussZoneChange(3379120.2416, 778454.9492, 7, 117, 117, 500000, nullptr, 0, 0, &warn);
  EXPECT_FALSE(warn);
  // Inverse and forward series agree to a fraction of a millimetre 2.9° out.
  EXPECT_NEAR(p.x, 3379120.2416, 5e-4);
  EXPECT_NEAR(p.y, 778454.9492, 5e-4);
  EXPECT_EQ(p.h, 7);
}

TEST(Gauss, ZoneChangeMatchesProjectingAgain) {
  const ProjectedPoint in120 = GaussForward(35.2, 118.6, 0, kDegree, 120, 500000, nullptr);
  const ProjectedPoint in117 = GaussForward(35.2, 118.6, 0, kDegree, 117, 500000, nullptr);
  bool warn = true;
  const ProjectedPoint moved =
      GaussZoneChange(in120.x, in120.y, 0, 120, 117, 500000, nullptr, 0, 0, &warn);
  EXPECT_FALSE(warn);
  EXPECT_NEAR(moved.x, in117.x, 1e-3);
  EXPECT_NEAR(moved.y, in117.y, 1e-3);
}

TEST(Gauss, ZoneNumbersAndMeridians) {
  // 6° zones: [6n - 6, 6n) about 6n - 3.
  EXPECT_EQ(ZoneNumber(117, 6), 20);
  EXPECT_EQ(ZoneNumber(114.0, 6), 20);
  EXPECT_EQ(ZoneNumber(113.999, 6), 19);
  EXPECT_EQ(ZoneNumber(0, 6), 1);
  EXPECT_EQ(ZoneNumber(179.9, 6), 30);
  EXPECT_EQ(ZoneNumber(-0.5, 6), 60);  // 359.5° east
  EXPECT_EQ(ZoneNumber(-179, 6), 31);
  EXPECT_EQ(ZoneMeridian(20, 6), 117);
  EXPECT_EQ(ZoneMeridian(31, 6), -177);
  // 3° zones: round(L/3) about 3n, zone 120 on 180°.
  EXPECT_EQ(ZoneNumber(117, 3), 39);
  EXPECT_EQ(ZoneNumber(118.49, 3), 39);
  EXPECT_EQ(ZoneNumber(118.51, 3), 40);
  EXPECT_EQ(ZoneNumber(0.2, 3), 120);
  EXPECT_EQ(ZoneNumber(-179.5, 3), 60);
  EXPECT_EQ(ZoneMeridian(39, 3), 117);
  EXPECT_EQ(ZoneMeridian(60, 3), 180);
  EXPECT_EQ(ZoneMeridian(120, 3), 0);
  EXPECT_TRUE(IsZoneWidth(3));
  EXPECT_FALSE(IsZoneWidth(0));
  EXPECT_FALSE(IsZoneWidth(4));
  // Every longitude lies within its own zone's limits.
  for (double L = -180; L <= 180; L += 0.37) {
    for (int w : {3, 6}) {
      const int n = ZoneNumber(L, w);
      ASSERT_GE(n, 1);
      ASSERT_LE(n, ZoneCount(w));
      EXPECT_LE(std::fabs(MeridianOffset(L, ZoneMeridian(n, w))), w / 2.0 + 1e-9) << L << " " << w;
    }
  }
}

TEST(Gauss, ZoneLimitsAndPrefixes) {
  EXPECT_FALSE(OutsideZone(120.5, 117, 6));  // 3.5° is still inside
  EXPECT_TRUE(OutsideZone(120.51, 117, 6));
  EXPECT_FALSE(OutsideZone(119, 117, 3));
  EXPECT_TRUE(OutsideZone(119.01, 117, 3));
  EXPECT_TRUE(OutsideZone(114.9, 117, 3));
  EXPECT_FALSE(OutsideZone(-179, 179, 3));  // across the 180° meridian
  EXPECT_DOUBLE_EQ(MeridianOffset(-179, 179), 2);
  EXPECT_EQ(ZonePrefixOf(20778454.9492, 500000), 20);
  EXPECT_EQ(ZonePrefixOf(20206898.17, 500000), 20);  // west of the meridian
  EXPECT_EQ(ZonePrefixOf(778454.9492, 500000), 0);
  EXPECT_EQ(ZonePrefixOf(39100000, 0), 39);
  EXPECT_EQ(ZonePrefixOf(std::nan(""), 500000), -1);
}

TEST(Gauss, Warnings) {
  EXPECT_FALSE(LongitudeFarFromMeridian(120, 117));
  EXPECT_TRUE(LongitudeFarFromMeridian(120.5, 117));  // L - L0 = 3.5
  EXPECT_TRUE(LongitudeFarFromMeridian(113.5, 117));
  EXPECT_FALSE(MeridiansFarApart(111, 117));
  EXPECT_TRUE(MeridiansFarApart(111, 120));  // 9° apart
  EXPECT_TRUE(MeridiansFarApart(120, 111));
  bool warn = false;
  const ProjectedPoint p = GaussZoneChange(3e6, 500000, 0, 111, 120, 500000, nullptr, 0, 0, &warn);
  EXPECT_TRUE(warn);
  EXPECT_TRUE(std::isfinite(p.x));  // computed all the same
}

}  // namespace
}  // namespace georeckon
