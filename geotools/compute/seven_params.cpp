#include "geotools/compute/seven_params.h"

#include <cmath>

#include "geotools/compute/number_format.h"

namespace georeckon {

void ApplySevenParams(double X, double Y, double Z, double dX0, double dY0, double dZ0, double ex,
                      double ey, double ez, double dLambda, double* X2, double* Y2, double* Z2) {
  if (X2) *X2 = X + dX0 + dLambda * X + ez * Y - ey * Z;
  if (Y2) *Y2 = Y + dY0 + dLambda * Y - ez * X + ex * Z;
  if (Z2) *Z2 = Z + dZ0 + dLambda * Z + ey * X - ex * Y;
}

Xyz ApplySevenParams(const SevenParams& p, const Xyz& s) {
  Xyz t;
  ApplySevenParams(s.X, s.Y, s.Z, p.dX0, p.dY0, p.dZ0, p.thetaX * kRadiansPerArcSecond,
                   p.thetaY * kRadiansPerArcSecond, p.thetaZ * kRadiansPerArcSecond, p.dLambda,
                   &t.X, &t.Y, &t.Z);
  return t;
}

SolveStatus SolveSevenParams(int n, const Xyz* targets, const Xyz* sources, SevenParams* out) {
  if (n < 3) return SolveStatus::kTooFewPoints;
  // The shifts are eliminated by reducing both point sets to their
  // centroids; the remaining unknowns εx, εy, εz, dλ then multiply
  // coordinates of the size of the network instead of the size of the
  // earth, and the normal equations stay well conditioned.
  Xyz s0, t0;
  for (int k = 0; k < n; ++k) {
    s0.X += sources[k].X;
    s0.Y += sources[k].Y;
    s0.Z += sources[k].Z;
    t0.X += targets[k].X;
    t0.Y += targets[k].Y;
    t0.Z += targets[k].Z;
  }
  s0 = Xyz{s0.X / n, s0.Y / n, s0.Z / n};
  t0 = Xyz{t0.X / n, t0.Y / n, t0.Z / n};

  constexpr int kUnknowns = 4;
  Matrix N, U;
  if (!AllocMatrix(kUnknowns, kUnknowns, &N) || !AllocMatrix(kUnknowns, 1, &U)) {
    return SolveStatus::kOutOfMemory;
  }
  // Unknowns in the order εx, εy, εz, dλ.
  for (int k = 0; k < n; ++k) {
    const Xyz u{sources[k].X - s0.X, sources[k].Y - s0.Y, sources[k].Z - s0.Z};
    const Xyz v{targets[k].X - t0.X, targets[k].Y - t0.Y, targets[k].Z - t0.Z};
    const double row_x[kUnknowns] = {0, -u.Z, u.Y, u.X};
    const double row_y[kUnknowns] = {u.Z, 0, -u.X, u.Y};
    const double row_z[kUnknowns] = {-u.Y, u.X, 0, u.Z};
    AddObservation(row_x, v.X - u.X, kUnknowns, N.data(), U.data());
    AddObservation(row_y, v.Y - u.Y, kUnknowns, N.data(), U.data());
    AddObservation(row_z, v.Z - u.Z, kUnknowns, N.data(), U.data());
  }
  // Identical or collinear points leave rounding noise as pivots, which the
  // pivot test alone lets through; the scaled condition number catches them.
  if (ScaledConditionNumber(N.data(), kUnknowns) > kMaxConditionNumber) {
    return SolveStatus::kSingular;
  }
  if (!InvertInPlace(N)) return SolveStatus::kSingular;
  double x[kUnknowns] = {0, 0, 0, 0};
  for (int i = 0; i < kUnknowns; ++i) {
    for (int j = 0; j < kUnknowns; ++j) x[i] += N[i][j] * U[j][0];
  }
  const double ex = x[0], ey = x[1], ez = x[2], dl = x[3];
  // The shifts that carry the source centroid onto the target centroid.
  SevenParams p;
  p.dX0 = (t0.X - s0.X) - dl * s0.X - ez * s0.Y + ey * s0.Z;
  p.dY0 = (t0.Y - s0.Y) - dl * s0.Y + ez * s0.X - ex * s0.Z;
  p.dZ0 = (t0.Z - s0.Z) - dl * s0.Z - ey * s0.X + ex * s0.Y;
  p.thetaX = ex * kArcSecondsPerRadian;
  p.thetaY = ey * kArcSecondsPerRadian;
  p.thetaZ = ez * kArcSecondsPerRadian;
  p.dLambda = dl;
  for (double v : {p.dX0, p.dY0, p.dZ0, p.thetaX, p.thetaY, p.thetaZ, p.dLambda}) {
    if (!std::isfinite(v)) return SolveStatus::kSingular;
  }
  *out = p;
  return SolveStatus::kOk;
}

SevenParams RoundSevenParams(const SevenParams& p) {
  SevenParams r;
  r.dX0 = RoundDecimals(p.dX0, 5);
  r.dY0 = RoundDecimals(p.dY0, 5);
  r.dZ0 = RoundDecimals(p.dZ0, 5);
  r.thetaX = RoundDecimals(p.thetaX, 11);
  r.thetaY = RoundDecimals(p.thetaY, 11);
  r.thetaZ = RoundDecimals(p.thetaZ, 11);
  r.dLambda = RoundDecimals(p.dLambda, 11);
  return r;
}

}  // namespace georeckon
