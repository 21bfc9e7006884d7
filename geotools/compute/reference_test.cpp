// Comparison with independent reference values (testdata/, made by
// make_reference.py from an exact geodesic and transverse Mercator library).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "geotools/compute/cartesian.h"
#include "geotools/compute/gauss.h"
#include "geotools/compute/gauss_exact.h"
#include "geotools/compute/geodesic.h"

namespace georeckon {
namespace {

// The numeric rows of a reference file, comment lines left out.
std::vector<std::vector<double>> ReadTable(const std::string& name, size_t columns) {
  std::vector<std::vector<double>> rows;
  std::ifstream in(std::string(GEORECKON_TESTDATA_DIR) + "/" + name);
  EXPECT_TRUE(in.good()) << "cannot open " << name;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    fields.imbue(std::locale::classic());
    std::vector<double> row;
    double v;
    while (fields >> v) row.push_back(v);
    EXPECT_EQ(row.size(), columns) << name << ": " << line;
    if (row.size() == columns) rows.push_back(row);
  }
  return rows;
}

EllipsoidParams ByType(double type) {
  EllipsoidParams e;
  EXPECT_TRUE(PresetEllipsoid(static_cast<int32_t>(type), &e));
  return e;
}

// Ground distance of a latitude/longitude difference (degrees), metres.
double GroundError(double b1, double l1, double b2, double l2) {
  const double kMetresPerDegree = 111319.5;
  double dl = std::remainder(l2 - l1, 360.0);
  const double east = dl * kMetresPerDegree * std::cos(b1 * M_PI / 180);
  const double north = (b2 - b1) * kMetresPerDegree;
  return std::hypot(east, north);
}

double AngleDifferenceDegrees(double a, double b) { return std::fabs(std::remainder(a - b, 360.0)); }

TEST(Reference, BlhToXyzWithinATenthOfAMillimetre) {
  const auto rows = ReadTable("blh_to_xyz.txt", 7);
  ASSERT_GE(rows.size(), 1000u);
  double worst = 0;
  for (const auto& r : rows) {
    const EllipsoidParams e = ByType(r[0]);
    double X, Y, Z;
    BLHToXYZ(r[1], r[2], r[3], kDegree, &e, &X, &Y, &Z);
    const double err = std::hypot(X - r[4], Y - r[5], Z - r[6]);
    worst = std::max(worst, err);
    EXPECT_LT(err, 1e-4) << "B " << r[1] << " L " << r[2] << " H " << r[3];
  }
  std::printf("BLH->XYZ: worst %.2e mm\n", worst * 1e3);
}

TEST(Reference, XyzToBlhWithinATenthOfAMillimetre) {
  const auto rows = ReadTable("xyz_to_blh.txt", 7);
  ASSERT_GE(rows.size(), 1000u);
  double worst_pos = 0, worst_h = 0;
  for (const auto& r : rows) {
    const EllipsoidParams e = ByType(r[0]);
    double B, L, H;
    XYZToBLH(r[1], r[2], r[3], kDegree, &e, &B, &L, &H);
    SCOPED_TRACE(testing::Message() << "X " << r[1] << " Y " << r[2] << " Z " << r[3]);
    const double err = GroundError(r[4], r[5], B, L);
    EXPECT_LT(err, 1e-4);
    EXPECT_NEAR(H, r[6], 1e-4);
    worst_pos = std::max(worst_pos, err);
    worst_h = std::max(worst_h, std::fabs(H - r[6]));
  }
  std::printf("XYZ->BLH: worst %.2e mm in position, %.2e mm in height\n", worst_pos * 1e3,
              worst_h * 1e3);
}

TEST(Reference, GeodeticInverseDistanceAndAzimuth) {
  const auto rows = ReadTable("geodesic_inverse.txt", 7);
  ASSERT_GE(rows.size(), 1000u);
  double worst_s = 0, worst_a = 0;
  for (const auto& r : rows) {
    const EllipsoidParams e = ByType(r[0]);
    double S = -1, A = -1;
    SCOPED_TRACE(testing::Message() << r[1] << " " << r[2] << " -> " << r[3] << " " << r[4]);
    ASSERT_EQ(GeodeticInverse(r[1], r[2], r[3], r[4], kDegree, kDegree, &e, &S, &A), 1);
    EXPECT_NEAR(S, r[5], 1e-4);
    EXPECT_GE(A, 0);
    EXPECT_LT(A, 360);
    worst_s = std::max(worst_s, std::fabs(S - r[5]));
    if (r[5] >= 1000) {
      const double da = AngleDifferenceDegrees(A, r[6]) * 3600;
      EXPECT_LT(da, 1e-4) << "A " << A << " vs " << r[6];
      worst_a = std::max(worst_a, da);
    }
  }
  std::printf("Geodetic inverse: worst %.2e mm in S, %.2e arc seconds in A (lines >= 1 km)\n",
              worst_s * 1e3, worst_a);
}

TEST(Reference, GeodeticDirectEndPoint) {
  const auto rows = ReadTable("geodesic_direct.txt", 7);
  ASSERT_GE(rows.size(), 1000u);
  double worst = 0;
  for (const auto& r : rows) {
    const EllipsoidParams e = ByType(r[0]);
    double B2 = 0, L2 = 0;
    SCOPED_TRACE(testing::Message() << r[1] << " " << r[2] << " az " << r[3] << " S " << r[4]);
    ASSERT_EQ(GeodeticDirect(r[1], r[2], r[4], r[3], kDegree, kDegree, &e, &B2, &L2), 1);
    const double err = GroundError(r[5], r[6], B2, L2);
    EXPECT_LT(err, 1e-4) << B2 << " " << L2;
    EXPECT_GT(L2, -180);
    EXPECT_LE(L2, 180);
    worst = std::max(worst, err);
  }
  std::printf("Geodetic direct: worst %.2e mm\n", worst * 1e3);
}

TEST(Reference, GaussForwardWithinAMillimetreInsideThreeDegrees) {
  const auto rows = ReadTable("gauss_forward.txt", 7);
  ASSERT_GE(rows.size(), 1000u);
  double worst3 = 0, worst6 = 0;
  for (const auto& r : rows) {
    const EllipsoidParams e = ByType(r[0]);
    const ProjectedPoint p = GaussForward(r[3], r[4], 0, kDegree, r[2], 500000, &e);
    const double err = std::hypot(p.x - r[5], p.y - 500000 - r[6]);
    if (r[1] == 3) {
      worst3 = std::max(worst3, err);
      EXPECT_LT(err, 1e-3) << "L0 " << r[2] << " B " << r[3] << " L " << r[4];
    } else {
      worst6 = std::max(worst6, err);
    }
  }
  std::printf("Gauss forward against exact TM: worst %.3f mm within 3 deg, %.3f mm within 6 deg\n",
              worst3 * 1e3, worst6 * 1e3);
  EXPECT_LT(worst6, 0.1);  // stays at centimetres out to the zone edge of 6° zones
}

TEST(Reference, GaussInverseWithinAMillimetreInsideThreeDegrees) {
  const auto rows = ReadTable("gauss_inverse.txt", 7);
  ASSERT_GE(rows.size(), 1000u);
  double worst3 = 0, worst6 = 0;
  for (const auto& r : rows) {
    const EllipsoidParams e = ByType(r[0]);
    const GeodeticPoint g = GaussInverse(r[3], r[4] + 500000, 0, kDegree, r[2], 500000, &e);
    const double err = GroundError(r[5], r[6], g.B, g.L);
    if (r[1] == 3) {
      worst3 = std::max(worst3, err);
      EXPECT_LT(err, 1e-3) << "L0 " << r[2] << " x " << r[3] << " y " << r[4];
    } else {
      worst6 = std::max(worst6, err);
    }
  }
  std::printf("Gauss inverse against exact TM: worst %.3f mm within 3 deg, %.3f mm within 6 deg\n",
              worst3 * 1e3, worst6 * 1e3);
  EXPECT_LT(worst6, 0.1);
}

TEST(Reference, ExactGaussWithinAMicrometreOutToSixDegrees) {
  double worst_forward = 0, worst_inverse = 0;
  for (const auto& r : ReadTable("gauss_forward.txt", 7)) {
    const EllipsoidParams e = ByType(r[0]);
    ProjectedPoint p;
    ASSERT_TRUE(GaussForwardExact(r[3], r[4], 0, kDegree, r[2], 500000, &e, &p));
    worst_forward = std::max(worst_forward, std::hypot(p.x - r[5], p.y - 500000 - r[6]));
  }
  for (const auto& r : ReadTable("gauss_inverse.txt", 7)) {
    const EllipsoidParams e = ByType(r[0]);
    GeodeticPoint g;
    ASSERT_TRUE(GaussInverseExact(r[3], r[4] + 500000, 0, kDegree, r[2], 500000, &e, &g));
    worst_inverse = std::max(worst_inverse, GroundError(r[5], r[6], g.B, g.L));
  }
  std::printf("Exact Gauss: worst %.2e mm forward, %.2e mm inverse\n", worst_forward * 1e3,
              worst_inverse * 1e3);
  EXPECT_LT(worst_forward, 1e-6);
  EXPECT_LT(worst_inverse, 1e-6);
}

TEST(Reference, ExactGaussHonoursConstantsAndRefusesBadInput) {
  const EllipsoidParams e = Cgcs2000Ellipsoid();
  ProjectedPoint p, q;
  ASSERT_TRUE(GaussForwardExact(30.5, 119.9, 7, kDegree, 117, 500000, &e, &p));
  ASSERT_TRUE(GaussForwardExact(30.5, 119.9, 7, kDegree, 117, 20500000, &e, &q, 100, 30));
  EXPECT_NEAR(q.y - p.y, 20000000, 1e-6);
  EXPECT_NEAR(p.x - q.x + 100, MeridianArc(30 * 0.017453292519943295, e), 0.5);
  EXPECT_EQ(q.h, 7);
  // Within a millimetre of the classical series this close to the meridian.
  const ProjectedPoint c = GaussForward(30.5, 119.9, 7, kDegree, 117, 500000, &e);
  EXPECT_NEAR(c.x, p.x, 1e-3);
  EXPECT_NEAR(c.y, p.y, 1e-3);
  GeodeticPoint g;
  ASSERT_TRUE(GaussInverseExact(q.x, q.y, 7, kPackedDms, 117, 20500000, &e, &g, 100, 30));
  EXPECT_NEAR(ConvertAngle(g.B, kPackedDms, kDegree), 30.5, 1e-10);
  EXPECT_NEAR(ConvertAngle(g.L, kPackedDms, kDegree), 119.9, 1e-10);

  const ProjectedPoint untouched = p;
  EXPECT_FALSE(GaussForwardExact(91, 119, 0, kDegree, 117, 500000, &e, &p));
  EXPECT_FALSE(GaussForwardExact(std::nan(""), 119, 0, kDegree, 117, 500000, &e, &p));
  EllipsoidParams broken = e;
  broken.a = -1;
  EXPECT_FALSE(GaussForwardExact(30, 119, 0, kDegree, 117, 500000, &broken, &p));
  EXPECT_FALSE(GaussInverseExact(3e6, std::numeric_limits<double>::infinity(), 0, kDegree, 117,
                                 500000, &e, &g));
  EXPECT_EQ(p.x, untouched.x);
}

}  // namespace
}  // namespace georeckon
