#include "geotools/compute/angle_unit.h"

#include <gtest/gtest.h>

#include <cmath>

namespace georeckon {
namespace {

struct AngleCase {
  double value;
  AngleUnit from, to;
  double expected;
  double tolerance;
  const char* note;
};

constexpr double kPi = 3.141592653589793;

TEST(ConvertAngle, Table) {
  const AngleCase cases[] = {
      {0, kPackedDms, kRadian, 0, 0, "zero packed"},
      {0, kRadian, kPackedDms, 0, 0, "zero radians"},
      {0, kDegree, kPackedDms, 0, 0, "zero degrees"},
      {1.2345, kDegree, kDegree, 1.2345, 0, "same unit unchanged"},
      {-30.3000, kPackedDms, kDegree, -30.5, 1e-12, "negative packed keeps its sign"},
      {30.5959999999, kPackedDms, kDegree, 30.99999999972222, 1e-11, "no carry into 31"},
      {30.6000, kPackedDms, kDegree, 31.0, 1e-12, "60 minutes at face value"},
      {30.7500, kPackedDms, kDegree, 31.25, 1e-12, "75 minutes at face value"},
      {30.5, kDegree, kPackedDms, 30.3, 1e-12, "30 degrees 30 minutes"},
      {0.9999999999995, kDegree, kPackedDms, 1.0, 0, "guard rounds up to a whole degree"},
      {-0.9999999999995, kDegree, kPackedDms, -1.0, 0, "and keeps the sign"},
      {30.999999999998, kDegree, kPackedDms, 31.0, 0, "2e-12 below a whole degree"},
      {120.0, kDegree, kRadian, 120.0 * kPi / 180, 1e-15, "degrees to radians"},
      {1.0, kRadian, kDegree, 57.29577951308232, 0, "radians to degrees"},
      {30.3000, kPackedDms, kRadian, 30.5 * kPi / 180, 1e-15, "packed to radians"},
      {-kPi / 4, kRadian, kPackedDms, -45.0, 1e-12, "negative radians to packed"},
      // 7 rad less 2π is 41.0704566°, 41°04′13.64″.
      {7.0, kRadian, kPackedDms, 41.041364373, 1e-9, "radians above 2π are reduced"},
      {7.0, kRadian, kDegree, 401.07045659157626, 1e-10, "only radians to packed reduces"},
      {400.0, kDegree, kPackedDms, 400.0, 0, "degrees to packed does not reduce"},
  };
  for (const AngleCase& c : cases) {
    SCOPED_TRACE(c.note);
    const double got = ConvertAngle(c.value, c.from, c.to);
    if (c.tolerance == 0) {
      EXPECT_EQ(got, c.expected);
    } else {
      EXPECT_NEAR(got, c.expected, c.tolerance);
    }
  }
}

// Values a little below a whole degree or minute must give a packed value
// whose minute and second parts lie in [0, 60): never 60, never negative.
void ExpectWellFormedPacked(double packed, double degrees) {
  const double v = std::fabs(packed);
  const double d = std::floor(v + 1e-9);
  const double minutes = std::floor((v - d) * 100 + 1e-7);
  const double seconds = ((v - d) * 100 - minutes) * 100;
  EXPECT_GE(minutes, 0) << degrees << " -> " << packed;
  EXPECT_LT(minutes, 60) << degrees << " -> " << packed;
  EXPECT_GT(seconds, -1e-5) << degrees << " -> " << packed;
  EXPECT_LT(seconds, 60) << degrees << " -> " << packed;
  // And it still means the same angle.
  EXPECT_NEAR(ConvertAngle(packed, kPackedDms, kDegree), degrees, 1e-9) << packed;
}

TEST(ConvertAngle, JustBelowWholeDegreesAndMinutesIsWellFormed) {
  for (double whole : {1.0, 30.0, 89.0, 179.0}) {
    for (double below = 2e-13; below <= 1e-11; below *= 1.7) {
      const double deg = whole - below;
      EXPECT_EQ(ConvertAngle(deg, kDegree, kPackedDms), whole) << "below " << below;
      EXPECT_EQ(ConvertAngle(-deg, kDegree, kPackedDms), -whole) << "below " << below;
      const double rad = deg * kPi / 180;
      ExpectWellFormedPacked(ConvertAngle(rad, kRadian, kPackedDms), deg);
    }
    for (double minutes : {1.0, 30.0, 59.0}) {
      for (double below = 1e-14; below <= 1e-9; below *= 3.1) {
        const double deg = whole + minutes / 60 - below;
        ExpectWellFormedPacked(ConvertAngle(deg, kDegree, kPackedDms), deg);
      }
    }
  }
}

TEST(ConvertAngle, PackedJustBelowAWholeValueIsThatValue) {
  // 31 - 5e-13 in packed form is rounding noise around 31°00′00″; read
  // literally it would come out as 31°00′36″ after a negative minute.
  EXPECT_DOUBLE_EQ(ConvertAngle(30.9999999999995, kPackedDms, kDegree), 31.0);
  // Below a whole minute only by more than the guard, the digits count at
  // face value: 30°29′99.99999995″.
  EXPECT_NEAR(ConvertAngle(30.2999999999995, kPackedDms, kDegree),
              30 + 29 / 60.0 + 99.99999995 / 3600, 1e-10);
}

TEST(ConvertAngle, RoundTripsThroughEveryUnit) {
  for (double deg = -359.75; deg < 360; deg += 7.123456789) {
    for (AngleUnit u : {kRadian, kPackedDms, kDegree}) {
      const double there = ConvertAngle(deg, kDegree, u);
      EXPECT_NEAR(ConvertAngle(there, u, kDegree), deg, 1e-9) << deg << " via " << u;
    }
  }
}

TEST(ConvertAngle, UnknownUnitLeavesTheValue) {
  EXPECT_EQ(ConvertAngle(12.5, static_cast<AngleUnit>(7), kRadian), 12.5);
  EXPECT_EQ(ConvertAngle(12.5, kDegree, static_cast<AngleUnit>(-1)), 12.5);
}

TEST(AngleUnitName, NamesAndOutOfRange) {
  EXPECT_STREQ(AngleUnitName(0), "弧度");
  EXPECT_STREQ(AngleUnitName(1), "度.分分秒秒");
  EXPECT_STREQ(AngleUnitName(2), "度");
  EXPECT_STREQ(AngleUnitName(3), "");
  EXPECT_STREQ(AngleUnitName(-1), "");
}

}  // namespace
}  // namespace georeckon
