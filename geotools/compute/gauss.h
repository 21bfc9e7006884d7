// Gauss (transverse Mercator) projection of geodetic coordinates to plane
// coordinates x (northing) and y (easting) about a central meridian, its
// inverse, and the change of plane coordinates from one zone to another.
//
// Classical series: meridian arc to e2⁵, forward series to l⁶ in x and l⁵ in
// y, footpoint latitude by five rounds of series reversion. Against the exact
// transverse Mercator projection (unit scale on the central meridian) the
// results agree within a millimetre up to 3° from the central meridian and
// within a few centimetres up to 6°.
//
// Central meridian L0 and origin latitude B0 are always decimal degrees;
// x, y, the constants added to them and heights are metres. Heights pass
// through unchanged.
#pragma once

#include "geotools/compute/angle_unit.h"
#include "geotools/compute/ellipsoid.h"

namespace georeckon {

// A projected point, in this order: x (northing, with the x constant),
// y (easting, with the y constant), h (height).
struct ProjectedPoint {
  double x = 0;
  double y = 0;
  double h = 0;
};

// A geodetic point: B and L in the unit the caller asked for, H in metres.
struct GeodeticPoint {
  double B = 0;
  double L = 0;
  double H = 0;
};

inline constexpr double kDefaultYConstant = 500000.0;

// Length of the meridian arc from the equator to latitude B (radians).
double MeridianArc(double B, const EllipsoidParams& e);

// B, L in `unit`. `ellipsoid` null means WGS84.
ProjectedPoint GaussForward(double B, double L, double h, AngleUnit unit, double L0,
                            double y_const, const EllipsoidParams* ellipsoid, double x_const = 0,
                            double B0 = 0);

// B and L of the result in `unit`.
GeodeticPoint GaussInverse(double x, double y, double h, AngleUnit unit, double L0,
                           double y_const, const EllipsoidParams* ellipsoid, double x_const = 0,
                           double B0 = 0);

// Plane coordinates of zone 1 (central meridian L0_1) to zone 2 (L0_2), both
// with the same constants. *warn (if given) is set when the two central
// meridians differ by more than 6°, where the series lose accuracy; the
// computation is done all the same.
ProjectedPoint GaussZoneChange(double x1, double y1, double h, double L0_1, double L0_2,
                               double y_const, const EllipsoidParams* ellipsoid,
                               double x_const = 0, double B0 = 0, bool* warn = nullptr);

// True when L - L0 (decimal degrees) lies outside [-3, 3]: the single-point
// projection then warns before it projects.
bool LongitudeFarFromMeridian(double L_degrees, double L0);

// Projection zones of 3° or 6° width. A 6° zone n spans [6n - 6, 6n) east
// longitude about L0 = 6n - 3 (n = 1..60); a 3° zone n lies about L0 = 3n
// (n = 1..120, zone 120 on the 180° meridian). West longitudes count as
// L + 360. A projected y may carry its zone number as a prefix:
// y = n·1,000,000 + y constant + easting.
inline constexpr double kZonePrefixUnit = 1000000.0;

// 3 or 6.
bool IsZoneWidth(int width);
// 60 zones of 6°, 120 of 3°.
int ZoneCount(int width);
// The zone of longitude L (decimal degrees): floor(L/6) + 1 or round(L/3).
int ZoneNumber(double L_degrees, int width);
// The central meridian of zone n, in (-180, 180].
double ZoneMeridian(int zone, int width);
// How far a point may lie from its central meridian before the projection
// warns: 3.5° in a 6° zone, 2° in a 3° zone.
double ZoneMaxOffset(int width);
// L - L0 brought into [-180, 180).
double MeridianOffset(double L_degrees, double L0);
// True when |MeridianOffset(L, L0)| exceeds ZoneMaxOffset(width).
bool OutsideZone(double L_degrees, double L0, int width);
// The zone number a prefixed y carries: floor((y - y_const + 500000) / 1e6).
int ZonePrefixOf(double y, double y_const);

// True when L0_1 - L0_2 lies outside [-6, 6].
bool MeridiansFarApart(double L0_1, double L0_2);

}  // namespace georeckon
