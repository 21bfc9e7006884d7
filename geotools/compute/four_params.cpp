#include "geotools/compute/four_params.h"

#include <cmath>

#include "geotools/compute/number_format.h"

namespace georeckon {

void ApplyFourParams(double x, double y, double dx0, double dy0, double theta, double dLambda,
                     double* x2, double* y2) {
  if (x2) *x2 = (1.0 + dLambda) * x - theta * y + dx0;
  if (y2) *y2 = (1.0 + dLambda) * y + theta * x + dy0;
}

Xy ApplyFourParams(const FourParams& p, const Xy& s) {
  Xy t;
  ApplyFourParams(s.x, s.y, p.dx0, p.dy0, p.dTheta * kRadiansPerArcSecond, p.dLambda, &t.x, &t.y);
  return t;
}

SolveStatus SolveFourParams(int n, const Xy* targets, const Xy* sources, FourParams* out) {
  if (n < 1) return SolveStatus::kTooFewPoints;
  if (n == 1) {
    out->dx0 = targets[0].x - sources[0].x;
    out->dy0 = targets[0].y - sources[0].y;
    out->dTheta = 0;
    out->dLambda = 0;
    return SolveStatus::kOk;
  }
  // Reduced to the centroids, the shifts drop out and the normal equations
  // of dλ and θ are diagonal: with u = s - s̄, v = t - t̄ and l = v - u,
  //   dλ = Σ(ux lx + uy ly) / Σ|u|²,  θ = Σ(ux ly - uy lx) / Σ|u|².
  // This is the least-squares solution itself, free of the cancellation
  // that coordinates of millions of metres cause in the unreduced sums.
  Xy s0, t0;
  for (int k = 0; k < n; ++k) {
    s0.x += sources[k].x;
    s0.y += sources[k].y;
    t0.x += targets[k].x;
    t0.y += targets[k].y;
  }
  s0 = Xy{s0.x / n, s0.y / n};
  t0 = Xy{t0.x / n, t0.y / n};
  double suu = 0, sa = 0, sb = 0, size = 0;
  for (int k = 0; k < n; ++k) {
    const double ux = sources[k].x - s0.x, uy = sources[k].y - s0.y;
    const double lx = (targets[k].x - t0.x) - ux, ly = (targets[k].y - t0.y) - uy;
    suu += ux * ux + uy * uy;
    sa += ux * lx + uy * ly;
    sb += ux * ly - uy * lx;
    size += sources[k].x * sources[k].x + sources[k].y * sources[k].y;
  }
  // Points that coincide (to 1e-10 of their distance from the origin)
  // determine neither scale nor rotation.
  if (!(suu > 1e-20 * size) || !(suu > 0)) return SolveStatus::kSingular;
  const double dl = sa / suu;
  const double theta = sb / suu;
  FourParams p;
  p.dx0 = t0.x - (1.0 + dl) * s0.x + theta * s0.y;
  p.dy0 = t0.y - (1.0 + dl) * s0.y - theta * s0.x;
  p.dLambda = dl;
  p.dTheta = theta * kArcSecondsPerRadian;
  for (double v : {p.dx0, p.dy0, p.dLambda, p.dTheta}) {
    if (!std::isfinite(v)) return SolveStatus::kSingular;
  }
  *out = p;
  return SolveStatus::kOk;
}

FourParams RoundFourParams(const FourParams& p) {
  FourParams r;
  r.dx0 = RoundDecimals(p.dx0, 5);
  r.dy0 = RoundDecimals(p.dy0, 5);
  r.dTheta = RoundDecimals(p.dTheta, 11);
  r.dLambda = RoundDecimals(p.dLambda, 11);
  return r;
}

}  // namespace georeckon
