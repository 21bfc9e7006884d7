// Seven-parameter spatial similarity transformation (three shifts, three
// small rotations, one scale difference) between two Cartesian datums, and
// its least-squares estimation from common points.
//
// Model, with rotations ε in radians:
//   X' = X + dX0 + dλ·X + εz·Y − εy·Z
//   Y' = Y + dY0 + dλ·Y − εz·X + εx·Z
//   Z' = Z + dZ0 + dλ·Z + εy·X − εx·Y
#pragma once

#include "geotools/compute/matrix.h"

namespace georeckon {

inline constexpr double kArcSecondsPerRadian = 206264.80624709636;
inline constexpr double kRadiansPerArcSecond = 4.84813681109536e-06;

// The parameters as shown and stored, in the order of the unknowns and of
// the parameter file.
struct SevenParams {
  double dX0 = 0, dY0 = 0, dZ0 = 0;           // shifts, metres
  double thetaX = 0, thetaY = 0, thetaZ = 0;  // rotations, arc seconds
  double dLambda = 0;                         // scale difference; 0 = no change

  bool operator==(const SevenParams&) const = default;
};

struct Xyz {
  double X = 0, Y = 0, Z = 0;  // metres
};

// The model with rotations ex, ey, ez in radians.
void ApplySevenParams(double X, double Y, double Z, double dX0, double dY0, double dZ0, double ex,
                      double ey, double ez, double dLambda, double* X2, double* Y2, double* Z2);

// The model with the rotations of `p` (arc seconds) turned into radians.
Xyz ApplySevenParams(const SevenParams& p, const Xyz& source);

// One unweighted linear least-squares pass over n common points, computed on
// coordinates reduced to their centroids (the shifts follow from the
// centroids)
// (targets[i] and sources[i] are the same point in the two datums). The
// result has its rotations in arc seconds and is not rounded.
// kTooFewPoints for n < 3; kSingular when the inversion fails or the points
// do not determine the seven parameters (identical or collinear points);
// kOutOfMemory; *out is changed only on kOk.
SolveStatus SolveSevenParams(int n, const Xyz* targets, const Xyz* sources, SevenParams* out);

// The values as the solver dialog shows them: shifts rounded to 5 decimals,
// rotations and scale to 11, every digit the parameter file holds
// (formatted and read back).
SevenParams RoundSevenParams(const SevenParams& p);

}  // namespace georeckon
