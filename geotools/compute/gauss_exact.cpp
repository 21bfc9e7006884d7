#include "geotools/compute/gauss_exact.h"

#include <GeographicLib/TransverseMercator.hpp>

#include <cmath>
#include <exception>

namespace georeckon {

namespace {

bool Finite(double a, double b, double c, double d) {
  return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
}

}  // namespace

bool GaussForwardExact(double B, double L, double h, AngleUnit unit, double L0, double y_const,
                       const EllipsoidParams* ellipsoid, ProjectedPoint* out, double x_const,
                       double B0) {
  const EllipsoidParams& e = EllipsoidOrWgs84(ellipsoid);
  const double lat = ConvertAngle(B, unit, kDegree);
  const double lon = ConvertAngle(L, unit, kDegree);
  if (!IsUsableEllipsoid(e) || !Finite(lat, lon, L0, B0) || std::fabs(lat) > 90 ||
      std::fabs(B0) > 90) {
    return false;
  }
  try {
    const GeographicLib::TransverseMercator tm(e.a, e.f, 1.0);
    double east = 0, north = 0, east0 = 0, north0 = 0;
    tm.Forward(L0, lat, lon, east, north);
    tm.Forward(L0, B0, L0, east0, north0);
    const ProjectedPoint p{north - north0 + x_const, east + y_const, h};
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return false;
    *out = p;
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool GaussInverseExact(double x, double y, double h, AngleUnit unit, double L0, double y_const,
                       const EllipsoidParams* ellipsoid, GeodeticPoint* out, double x_const,
                       double B0) {
  const EllipsoidParams& e = EllipsoidOrWgs84(ellipsoid);
  if (!IsUsableEllipsoid(e) || !Finite(x, y, L0, B0) || std::fabs(B0) > 90) return false;
  try {
    const GeographicLib::TransverseMercator tm(e.a, e.f, 1.0);
    double east0 = 0, north0 = 0, lat = 0, lon = 0;
    tm.Forward(L0, B0, L0, east0, north0);
    tm.Reverse(L0, y - y_const, x - x_const + north0, lat, lon);
    if (!std::isfinite(lat) || !std::isfinite(lon)) return false;
    // Keep the longitude on the central meridian's side of ±180°.
    lon = L0 + MeridianOffset(lon, L0);
    *out = GeodeticPoint{ConvertAngle(lat, kDegree, unit), ConvertAngle(lon, kDegree, unit), h};
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace georeckon
