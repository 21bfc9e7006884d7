// Reference ellipsoids: the record every computation of the coordinate tools
// works on, its four presets and custom ellipsoids entered as a and 1/f.
#pragma once

#include <cstdint>
#include <string>

namespace georeckon {

enum EllipsoidType : int32_t {
  kCustomEllipsoid = 0,
  kWgs84 = 1,
  kBeijing54 = 2,
  kXian80 = 3,
  kCgcs2000 = 4,
};

// One reference ellipsoid. The presets keep their tabulated e2, which is not
// exactly 2f - f² (the difference is below 1e-16).
struct EllipsoidParams {
  double a = 6378137.0;             // semi-major axis, metres
  double b = 6356752.314245179;     // semi-minor axis, metres
  double f = 0.0033528106647474805; // flattening
  double e2 = 0.00669437999014132;  // first eccentricity squared
  int32_t type = kWgs84;            // EllipsoidType; other values count as custom

  bool operator==(const EllipsoidParams&) const = default;
};

EllipsoidParams Wgs84Ellipsoid();
EllipsoidParams Beijing54Ellipsoid();
EllipsoidParams Xian80Ellipsoid();
// a = 6378137 m, 1/f = 298.257222101; e2 = 2f - f², b = a(1 - f).
EllipsoidParams Cgcs2000Ellipsoid();

// The preset of `type` (1, 2, 3 or 4). False, *out untouched, for other types.
bool PresetEllipsoid(int32_t type, EllipsoidParams* out);

// A custom ellipsoid (type 0) from the semi-major axis a (metres) and the
// inverse flattening: f = 1/invf, e2 = 2f - f², b = a(1 - f).
EllipsoidParams CustomEllipsoid(double a, double inverse_flattening);

// The ranges the parameter entry accepts for a custom ellipsoid (inclusive).
inline constexpr double kMinSemiMajorAxis = 1000000.0;
inline constexpr double kMaxSemiMajorAxis = 10000000.0;
inline constexpr double kMinInverseFlattening = 2.0;
inline constexpr double kMaxInverseFlattening = 1000.0;
bool IsAcceptedCustomInput(double a, double inverse_flattening);

// 1/f.
inline double InverseFlattening(const EllipsoidParams& e) { return 1.0 / e.f; }

// The record a computation uses: *e, or WGS84 when the caller passes none.
inline const EllipsoidParams& EllipsoidOrWgs84(const EllipsoidParams* e) {
  static const EllipsoidParams kWgs84Record;
  return e ? *e : kWgs84Record;
}

// True when the record can be computed with: finite, a > 0, b > 0,
// 0 <= f < 1 and 0 <= e2 < 1.
bool IsUsableEllipsoid(const EllipsoidParams& e);

// "WGS84椭球", "北京54椭球", "西安80椭球", "CGCS2000椭球", or "自定义椭球" for every other type.
const char* EllipsoidName(int32_t type);

// "%s (a=%.4fm,alfa=1/%f)" with the name, a and 1/f, for example
// "WGS84椭球 (a=6378137.0000m,alfa=1/298.257224)".
std::string EllipsoidDescription(const EllipsoidParams& e);

}  // namespace georeckon
