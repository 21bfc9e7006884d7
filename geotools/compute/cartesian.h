// Geodetic coordinates (latitude B, longitude L, ellipsoidal height H) to and
// from space Cartesian coordinates (X, Y, Z) on a reference ellipsoid.
//
// X points to B = 0, L = 0, Z to the north pole; X, Y, Z and H in metres.
// Against an exact reference the round trip and both directions agree to
// well below 0.1 mm for points near the Earth's surface.
#pragma once

#include "geotools/compute/angle_unit.h"
#include "geotools/compute/ellipsoid.h"

namespace georeckon {

// B and L in `unit`. Any output pointer may be null. `ellipsoid` null means
// WGS84. Always returns 1.
int BLHToXYZ(double B, double L, double H, AngleUnit unit, const EllipsoidParams* ellipsoid,
             double* X, double* Y, double* Z);

// B and L are given in `unit`, L in (-180°, 180°]. Fixed-point iteration on
// the latitude until it changes by less than 1e-12 rad (at most 100 passes,
// which only points deep inside the Earth need). Points on the polar axis
// get B = ±90° and H = |Z| - b; the origin gives B = L = 0, H = -a. Any
// output pointer may be null. Always returns 1.
int XYZToBLH(double X, double Y, double Z, AngleUnit unit, const EllipsoidParams* ellipsoid,
             double* B, double* L, double* H);

}  // namespace georeckon
