// The direct and inverse problems in the plane: x northwards, y eastwards,
// azimuth clockwise from +x. Coordinates and distances in metres.
#pragma once

#include "geotools/compute/angle_unit.h"

namespace georeckon {

// Distance *S and azimuth *A (in `out_unit`, in [0, 2π) before conversion)
// from point 1 to point 2; A = 0 for identical points. Always returns 1.
int PlaneInverse(double x1, double y1, double x2, double y2, AngleUnit out_unit, double* S,
                 double* A);

// Point 2 from point 1, distance S and azimuth A (in `in_unit`). Returns 0
// without touching the outputs when S < 0 (the caller says that distances
// cannot be negative) or S is not a number; 1 otherwise.
int PlaneDirect(double x1, double y1, double S, double A, AngleUnit in_unit, double* x2,
                double* y2);

}  // namespace georeckon
