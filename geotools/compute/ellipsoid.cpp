#include "geotools/compute/ellipsoid.h"

#include <cmath>

#include "geotools/compute/number_format.h"
#include "geotools/compute/texts.h"

namespace georeckon {

EllipsoidParams Wgs84Ellipsoid() {
  return EllipsoidParams{6378137.0, 6356752.314245179, 0.0033528106647474805,
                         0.00669437999014132, kWgs84};
}

EllipsoidParams Beijing54Ellipsoid() {
  return EllipsoidParams{6378245.0, 6356863.018773047, 0.003352329869259135,
                         0.00669342162296594, kBeijing54};
}

EllipsoidParams Xian80Ellipsoid() {
  return EllipsoidParams{6378140.0, 6356755.288157528, 0.0033528131778969143,
                         0.006694384999588, kXian80};
}

EllipsoidParams Cgcs2000Ellipsoid() {
  return EllipsoidParams{6378137.0, 6356752.314140356, 0.003352810681182319,
                         0.006694380022900787, kCgcs2000};
}

bool PresetEllipsoid(int32_t type, EllipsoidParams* out) {
  switch (type) {
    case kWgs84:
      *out = Wgs84Ellipsoid();
      return true;
    case kBeijing54:
      *out = Beijing54Ellipsoid();
      return true;
    case kXian80:
      *out = Xian80Ellipsoid();
      return true;
    case kCgcs2000:
      *out = Cgcs2000Ellipsoid();
      return true;
    default:
      return false;
  }
}

EllipsoidParams CustomEllipsoid(double a, double inverse_flattening) {
  EllipsoidParams e;
  e.a = a;
  e.f = 1.0 / inverse_flattening;
  e.e2 = 2.0 * e.f - e.f * e.f;
  e.b = a * (1.0 - e.f);
  e.type = kCustomEllipsoid;
  return e;
}

bool IsAcceptedCustomInput(double a, double inverse_flattening) {
  return a >= kMinSemiMajorAxis && a <= kMaxSemiMajorAxis &&
         inverse_flattening >= kMinInverseFlattening &&
         inverse_flattening <= kMaxInverseFlattening;
}

bool IsUsableEllipsoid(const EllipsoidParams& e) {
  return std::isfinite(e.a) && std::isfinite(e.b) && std::isfinite(e.f) && std::isfinite(e.e2) &&
         e.a > 0 && e.b > 0 && e.f >= 0 && e.f < 1 && e.e2 >= 0 && e.e2 < 1;
}

const char* EllipsoidName(int32_t type) {
  if (type >= kWgs84 && type <= kCgcs2000) return texts::kEllipsoidNames[type];
  return texts::kEllipsoidNames[kCustomEllipsoid];
}

std::string EllipsoidDescription(const EllipsoidParams& e) {
  std::string s = EllipsoidName(e.type);
  s += " (a=";
  AppendFixed(&s, e.a, 0, 4);
  s += "m,alfa=1/";
  AppendFixed(&s, InverseFlattening(e), 0, 6);
  s += ")";
  return s;
}

}  // namespace georeckon
