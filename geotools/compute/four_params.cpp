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
  constexpr int kUnknowns = 4;
  Matrix N, U, Ninv;
  if (!AllocMatrix(kUnknowns, kUnknowns, &N) || !AllocMatrix(kUnknowns, 1, &U)) {
    return SolveStatus::kOutOfMemory;
  }
  // Unknowns in the order dx0, dy0, dλ, θ.
  for (int k = 0; k < n; ++k) {
    const Xy& s = sources[k];
    const Xy& t = targets[k];
    const double row_x[kUnknowns] = {1, 0, s.x, -s.y};
    const double row_y[kUnknowns] = {0, 1, s.y, s.x};
    AddObservation(row_x, t.x - s.x, kUnknowns, N.data(), U.data());
    AddObservation(row_y, t.y - s.y, kUnknowns, N.data(), U.data());
  }
  if (ScaledConditionNumber(N.data(), kUnknowns) > kMaxConditionNumber) {
    return SolveStatus::kSingular;
  }
  if (!InvertToCopy(kUnknowns, N, &Ninv)) return SolveStatus::kSingular;
  double x[kUnknowns] = {0, 0, 0, 0};
  for (int i = 0; i < kUnknowns; ++i) {
    for (int j = 0; j < kUnknowns; ++j) x[i] += Ninv[i][j] * U[j][0];
  }
  for (double v : x) {
    if (!std::isfinite(v)) return SolveStatus::kSingular;
  }
  out->dx0 = x[0];
  out->dy0 = x[1];
  out->dLambda = x[2];
  out->dTheta = x[3] * kArcSecondsPerRadian;
  return SolveStatus::kOk;
}

FourParams RoundFourParams(const FourParams& p) {
  FourParams r;
  r.dx0 = RoundDecimals(p.dx0, 5);
  r.dy0 = RoundDecimals(p.dy0, 5);
  r.dTheta = RoundDecimals(p.dTheta, 9);
  r.dLambda = RoundDecimals(p.dLambda, 9);
  return r;
}

}  // namespace georeckon
