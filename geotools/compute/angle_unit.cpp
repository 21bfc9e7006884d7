#include "geotools/compute/angle_unit.h"

#include <cmath>

#include "geotools/compute/texts.h"

namespace georeckon {

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kInvTwoPi = 0.15915494309189535;
constexpr double kDegPerRad = 57.29577951308232;
constexpr double kInv180 = 0.005555555555555556;
constexpr double kPi = 3.141592653589793;
constexpr double kRadPerDeg = 0.017453292519943295;
constexpr double kInv60 = 0.016666666666666666;
constexpr double kInv3600 = 0.0002777777777777778;
// Absorbs binary rounding just below a whole degree or minute.
constexpr double kGuard = 1e-11;

double Sign(double x) { return x > 0 ? 1.0 : (x < 0 ? -1.0 : 0.0); }

// Decimal degrees (D >= 0) to the packed form. A fraction that comes out
// slightly negative because D lies just below the whole value that the guard
// rounded up to counts as zero, so no part is ever negative or 60.
double PackDegrees(double D) {
  double d = std::floor(D + kGuard);
  double M = (D - d) * 60.0;
  if (M < 0) M = 0;
  double m = std::floor(M + kGuard);
  if (m >= 60) {
    d += 1;
    M = 0;
    m = 0;
  }
  double seconds_part = M - m;
  if (seconds_part < 0) seconds_part = 0;
  return d + (seconds_part * 60.0 * 0.0001 + m * 0.01);
}

// The packed form (v >= 0) to decimal degrees, digits taken at face value.
double UnpackDegrees(double v) {
  const double d = std::floor(v + kGuard);
  double r = (v - d) * 100.0;
  if (r < 0) r = 0;
  const double m = std::floor(r + kGuard);
  double seconds_part = r - m;
  if (seconds_part < 0) seconds_part = 0;
  return d + (seconds_part * 100.0 * kInv3600 + m * kInv60);
}

}  // namespace

double ConvertAngle(double value, AngleUnit from, AngleUnit to) {
  if (from == to || !IsAngleUnit(from) || !IsAngleUnit(to)) return value;
  const double x = value;
  switch (from) {
    case kRadian:
      if (to == kDegree) return x * kDegPerRad;
      {
        const double s = Sign(x);
        double v = std::fabs(x);
        if (v > kTwoPi) v = v - std::floor(v * kInvTwoPi) * kTwoPi;
        return PackDegrees(std::fabs(v * kDegPerRad)) * s;
      }
    case kDegree:
      if (to == kRadian) return (x * kPi) * kInv180;
      return PackDegrees(std::fabs(x)) * Sign(x);
    case kPackedDms: {
      const double degrees = UnpackDegrees(std::fabs(x)) * Sign(x);
      if (to == kDegree) return degrees;
      return degrees * kRadPerDeg;
    }
  }
  return value;
}

const char* AngleUnitName(int32_t unit) {
  if (!IsAngleUnit(unit)) return "";
  return texts::kAngleUnitNames[unit];
}

}  // namespace georeckon
