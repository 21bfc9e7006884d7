// The Gauss projection computed with Krüger's series to sixth order in the
// third flattening (GeographicLib's TransverseMercator, unit scale on the
// central meridian): within 5 nm of the exact transverse Mercator projection
// up to 3,900 km from the central meridian, where the classical series of
// gauss.h lose centimetres at 6°. Same arguments and conventions as
// GaussForward and GaussInverse.
#pragma once

#include "geotools/compute/gauss.h"

namespace georeckon {

// False (*out untouched) when the ellipsoid cannot be used or a value is not
// finite or out of range (|B| > 90°).
bool GaussForwardExact(double B, double L, double h, AngleUnit unit, double L0, double y_const,
                       const EllipsoidParams* ellipsoid, ProjectedPoint* out, double x_const = 0,
                       double B0 = 0);
bool GaussInverseExact(double x, double y, double h, AngleUnit unit, double L0, double y_const,
                       const EllipsoidParams* ellipsoid, GeodeticPoint* out, double x_const = 0,
                       double B0 = 0);

}  // namespace georeckon
