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
  constexpr int kUnknowns = 7;
  Matrix N, U;
  if (!AllocMatrix(kUnknowns, kUnknowns, &N) || !AllocMatrix(kUnknowns, 1, &U)) {
    return SolveStatus::kOutOfMemory;
  }
  // Unknowns in the order dX0, dY0, dZ0, εx, εy, εz, dλ.
  for (int k = 0; k < n; ++k) {
    const Xyz& s = sources[k];
    const Xyz& t = targets[k];
    const double row_x[kUnknowns] = {1, 0, 0, 0, -s.Z, s.Y, s.X};
    const double row_y[kUnknowns] = {0, 1, 0, s.Z, 0, -s.X, s.Y};
    const double row_z[kUnknowns] = {0, 0, 1, -s.Y, s.X, 0, s.Z};
    AddObservation(row_x, t.X - s.X, kUnknowns, N.data(), U.data());
    AddObservation(row_y, t.Y - s.Y, kUnknowns, N.data(), U.data());
    AddObservation(row_z, t.Z - s.Z, kUnknowns, N.data(), U.data());
  }
  // The pivot test alone lets nearly singular systems through (three
  // identical points leave rounding noise as pivots); the scaled condition
  // number catches them.
  if (ScaledConditionNumber(N.data(), kUnknowns) > kMaxConditionNumber) {
    return SolveStatus::kSingular;
  }
  if (!InvertInPlace(N)) return SolveStatus::kSingular;
  double x[kUnknowns] = {0, 0, 0, 0, 0, 0, 0};
  for (int i = 0; i < kUnknowns; ++i) {
    for (int j = 0; j < kUnknowns; ++j) x[i] += N[i][j] * U[j][0];
  }
  for (double v : x) {
    if (!std::isfinite(v)) return SolveStatus::kSingular;
  }
  out->dX0 = x[0];
  out->dY0 = x[1];
  out->dZ0 = x[2];
  out->thetaX = x[3] * kArcSecondsPerRadian;
  out->thetaY = x[4] * kArcSecondsPerRadian;
  out->thetaZ = x[5] * kArcSecondsPerRadian;
  out->dLambda = x[6];
  return SolveStatus::kOk;
}

SevenParams RoundSevenParams(const SevenParams& p) {
  SevenParams r;
  r.dX0 = RoundDecimals(p.dX0, 5);
  r.dY0 = RoundDecimals(p.dY0, 5);
  r.dZ0 = RoundDecimals(p.dZ0, 5);
  r.thetaX = RoundDecimals(p.thetaX, 9);
  r.thetaY = RoundDecimals(p.thetaY, 9);
  r.thetaZ = RoundDecimals(p.thetaZ, 9);
  r.dLambda = RoundDecimals(p.dLambda, 9);
  return r;
}

}  // namespace georeckon
