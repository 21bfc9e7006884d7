#include "geotools/compute/cartesian.h"

#include <cmath>

namespace georeckon {

namespace {

constexpr int kMaxLatitudePasses = 100;
constexpr double kHalfPi = 1.5707963267948966;
// Below this cos B the height p / cos B - N loses digits to the rounding of B
// (a tenth of a millimetre within a few metres of the axis); there the
// equivalent form p cos B + Z sin B - a sqrt(1 - e2 sin²B) is used.
constexpr double kSmallCosLatitude = 0.01;

}  // namespace

int BLHToXYZ(double B, double L, double H, AngleUnit unit, const EllipsoidParams* ellipsoid,
             double* X, double* Y, double* Z) {
  const EllipsoidParams& e = EllipsoidOrWgs84(ellipsoid);
  const double b = ConvertAngle(B, unit, kRadian);
  const double l = ConvertAngle(L, unit, kRadian);
  const double sin_b = std::sin(b);
  const double cos_b = std::cos(b);
  const double N = e.a / std::sqrt(1.0 - e.e2 * sin_b * sin_b);
  if (X) *X = (N + H) * cos_b * std::cos(l);
  if (Y) *Y = (N + H) * cos_b * std::sin(l);
  if (Z) *Z = (N * (1.0 - e.e2) + H) * sin_b;
  return 1;
}

int XYZToBLH(double X, double Y, double Z, AngleUnit unit, const EllipsoidParams* ellipsoid,
             double* B, double* L, double* H) {
  const EllipsoidParams& e = EllipsoidOrWgs84(ellipsoid);
  const double p = std::sqrt(X * X + Y * Y);
  double lat;
  double height;
  if (p == 0 && Z != 0) {
    lat = Z > 0 ? kHalfPi : -kHalfPi;
    height = std::fabs(Z) - e.b;
  } else {
    double bk = std::atan2(Z, p);
    double next = bk;
    double N = e.a;
    for (int pass = 0; pass < kMaxLatitudePasses; ++pass) {
      const double s = std::sin(bk);
      N = e.a / std::sqrt(1.0 - e.e2 * s * s);
      next = std::atan2(Z + N * e.e2 * s, p);
      // A comparison that cannot be made (not-a-number) also ends the loop.
      if (!(std::fabs(next - bk) >= 1e-12)) break;
      bk = next;
    }
    lat = next;
    const double cos_lat = std::cos(lat);
    if (std::fabs(cos_lat) >= kSmallCosLatitude) {
      height = p / cos_lat - N;
    } else {
      const double sin_lat = std::sin(lat);
      height = p * cos_lat + Z * sin_lat - e.a * std::sqrt(1.0 - e.e2 * sin_lat * sin_lat);
    }
  }
  // + 0.0 turns a -0 into 0: no "-0.0000" latitude, and Y = -0 on the
  // negative X axis still gives L = +180°.
  if (B) *B = ConvertAngle(lat + 0.0, kRadian, unit);
  if (L) *L = ConvertAngle(std::atan2(Y + 0.0, X), kRadian, unit);
  if (H) *H = height;
  return 1;
}

}  // namespace georeckon
