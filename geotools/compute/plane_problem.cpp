#include "geotools/compute/plane_problem.h"

#include <cmath>

namespace georeckon {

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kThreeHalfPi = 4.71238898038469;

}  // namespace

int PlaneInverse(double x1, double y1, double x2, double y2, AngleUnit out_unit, double* S,
                 double* A) {
  const double dx = x2 - x1;
  const double dy = y2 - y1;
  double azimuth;
  if (dx == 0 && dy == 0) {
    azimuth = 0;
  } else if (dx == 0) {
    azimuth = dy > 0 ? kPi / 2 : kThreeHalfPi;
  } else if (dy == 0) {
    azimuth = dx > 0 ? 0 : kPi;
  } else if (dx > 0 && dy > 0) {
    azimuth = std::atan(dy / dx);
  } else if (dx < 0 && dy > 0) {
    azimuth = kPi - std::atan(dy / std::fabs(dx));
  } else if (dx < 0 && dy < 0) {
    azimuth = std::atan(dy / dx) + kPi;
  } else if (dx > 0 && dy < 0) {
    azimuth = kTwoPi - std::atan(std::fabs(dy) / dx);
  } else {
    azimuth = std::nan("");  // a coordinate was not a number
  }
  if (S) *S = std::sqrt(dx * dx + dy * dy);
  if (A) *A = ConvertAngle(azimuth, kRadian, out_unit);
  return 1;
}

int PlaneDirect(double x1, double y1, double S, double A, AngleUnit in_unit, double* x2,
                double* y2) {
  if (!(S >= 0)) return 0;
  // Into [0, 2π) in one step: repeated adding or subtracting of 2π would
  // never end for huge angles.
  double a = std::fmod(ConvertAngle(A, in_unit, kRadian), kTwoPi);
  if (a < 0) a += kTwoPi;
  if (S == 0) {
    if (x2) *x2 = x1;
    if (y2) *y2 = y1;
    return 1;
  }
  if (x2) *x2 = x1 + S * std::cos(a);
  if (y2) *y2 = y1 + S * std::sin(a);
  return 1;
}

}  // namespace georeckon
