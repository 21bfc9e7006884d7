// Angle units of the coordinate tools and the exact conversions between them.
#pragma once

#include <cstdint>

namespace georeckon {

// The unit in which angles are entered and shown; the value is also the
// index in the unit lists.
enum AngleUnit : int32_t {
  kRadian = 0,
  // Packed sexagesimal D.MMSSsss: degrees + minutes/100 + seconds/10000.
  kPackedDms = 1,
  kDegree = 2,
};

inline bool IsAngleUnit(int32_t value) { return value >= kRadian && value <= kDegree; }

// Converts `value` from one unit to another with the tools' fixed constants.
// The packed form is not validated when read: minute or second digits of 60
// or more are taken at face value (30.7500 is 30° + 75′ = 31.25°). Values
// within 1e-11 of the next whole degree or minute count as that whole value
// (a guard against binary rounding), so the packed result never shows 60
// minutes, 60 seconds or a negative part. Only radians -> packed reduces
// magnitudes above 2π; no other conversion limits its argument. A value in
// an unknown unit is returned unchanged.
double ConvertAngle(double value, AngleUnit from, AngleUnit to);

// "弧度", "度.分分秒秒", "度"; "" for values outside the three units.
const char* AngleUnitName(int32_t unit);

}  // namespace georeckon
