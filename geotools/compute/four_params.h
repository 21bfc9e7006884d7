// Four-parameter plane similarity transformation (two shifts, a small
// rotation, a scale difference) between two plane grids, and its
// least-squares estimation from common points.
//
// Model, with the rotation θ in radians:
//   x' = (1 + dλ)·x − θ·y + dx0
//   y' = (1 + dλ)·y + θ·x + dy0
#pragma once

#include "geotools/compute/matrix.h"
#include "geotools/compute/seven_params.h"

namespace georeckon {

// The parameters as shown and stored.
struct FourParams {
  double dx0 = 0, dy0 = 0;  // shifts, metres
  double dTheta = 0;        // rotation, arc seconds
  double dLambda = 0;       // scale difference

  bool operator==(const FourParams&) const = default;
};

struct Xy {
  double x = 0, y = 0;  // metres
};

// The model with θ in radians.
void ApplyFourParams(double x, double y, double dx0, double dy0, double theta, double dLambda,
                     double* x2, double* y2);

// The model with the rotation of `p` (arc seconds) turned into radians.
Xy ApplyFourParams(const FourParams& p, const Xy& source);

// One common point gives the two shifts alone (θ = dλ = 0). Two or more give
// the unweighted least-squares solution for (dx0, dy0, dλ, θ), computed on
// coordinates reduced to their centroids and turned back into the shifts
// of the model. The result has θ in arc seconds and is not rounded.
// kTooFewPoints for n < 1; kSingular when the inversion fails or the points
// do not determine the parameters (all points identical); kOutOfMemory;
// *out is changed only on kOk.
SolveStatus SolveFourParams(int n, const Xy* targets, const Xy* sources, FourParams* out);

// The values as the solver dialog shows them: shifts rounded to 5 decimals,
// rotation and scale to 11, every digit the parameter file holds.
FourParams RoundFourParams(const FourParams& p);

}  // namespace georeckon
