#include "geotools/compute/geodesic.h"

#include <GeographicLib/Geodesic.hpp>

#include <cmath>
#include <exception>

namespace georeckon {

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kHalfPi = 1.5707963267948966;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kTolerance = 1e-12;
// The inverse iteration converges by a factor of about f per pass on
// ordinary lines; only nearly antipodal lines come anywhere near this.
constexpr int kMaxInversePasses = 1000;
constexpr int kMaxDirectPasses = 100;

struct Series {
  double A;  // distance
  double B;  // Δσ
  double C;  // longitude
};

Series SeriesFor(double cos2_alpha, const EllipsoidParams& e) {
  const double k2 = e.e2 / (1.0 - e.e2) * cos2_alpha;
  const double t = k2 / 4.0;
  const double c = e.f * cos2_alpha / 4.0;
  Series s;
  s.A = 1.0 + t * (1.0 - t * (3.0 - t * (5.0 - 11.0 * t)) / 4.0);
  s.B = t * (1.0 - t * (2.0 - t * (37.0 - 94.0 * t) / 8.0));
  s.C = c * (1.0 + e.f + e.f * e.f - 3.0 * c - 6.75 * e.f * c + 12.5 * c * c);
  return s;
}

// Δσ(2σm, σ), from cos 2σm; cos 4σm = 2 cos²2σm - 1.
double DeltaSigma(double B, double cos_2sm, double sin_sigma, double cos_sigma) {
  const double cos_4sm = 2.0 * cos_2sm * cos_2sm - 1.0;
  const double cos_2sigma = 2.0 * cos_sigma * cos_sigma - 1.0;
  return B * sin_sigma *
         (cos_2sm + (B / 4.0) * (cos_sigma * cos_4sm - (B / 6.0) * cos_2sm *
                                                          (1.0 + 2.0 * cos_2sigma) *
                                                          (1.0 - 2.0 * cos_4sm)));
}

// The difference between the longitude difference on the auxiliary sphere
// and on the ellipsoid.
double LongitudeCorrection(const Series& s, double f, double sin_alpha, double sigma,
                           double sin_sigma, double cos_sigma, double cos_2sm) {
  return (1.0 - s.C) * f * sin_alpha *
         (sigma + s.C * sin_sigma * (cos_2sm + s.C * cos_sigma * (2.0 * cos_2sm * cos_2sm - 1.0)));
}

// An angle in radians brought into [0, 2π) in one step, so that no value,
// however large, makes this loop.
double ReduceToTurn(double x) {
  double r = std::fmod(x, kTwoPi);
  if (r < 0) r += kTwoPi;
  if (r >= kTwoPi) r -= kTwoPi;
  return r + 0.0;  // no -0
}

// One evaluation of the auxiliary-sphere quantities for a longitude
// difference λ on the sphere.
struct InversePass {
  double sin_lambda, cos_lambda;
  double sin_sigma, cos_sigma, sigma;
  double sin_alpha, cos2_alpha;
  double cos_2sm;
  Series series;
};

InversePass EvaluateInverse(double lambda, double sin_u1, double cos_u1, double sin_u2,
                            double cos_u2, const EllipsoidParams& e) {
  InversePass p;
  p.sin_lambda = std::sin(lambda);
  p.cos_lambda = std::cos(lambda);
  const double t1 = cos_u2 * p.sin_lambda;
  const double t2 = cos_u1 * sin_u2 - sin_u1 * cos_u2 * p.cos_lambda;
  p.sin_sigma = std::sqrt(t1 * t1 + t2 * t2);
  p.cos_sigma = sin_u1 * sin_u2 + cos_u1 * cos_u2 * p.cos_lambda;
  p.sigma = std::atan2(p.sin_sigma, p.cos_sigma);
  p.sin_alpha = p.sin_sigma == 0 ? 0.0 : cos_u1 * cos_u2 * p.sin_lambda / p.sin_sigma;
  p.cos2_alpha = 1.0 - p.sin_alpha * p.sin_alpha;
  // Along the equator cos²α is 0 and the term 2 sin U1 sin U2 / cos²α
  // with it; cos 2σm is then 0.
  p.cos_2sm = p.cos2_alpha == 0 ? 0.0 : p.cos_sigma - 2.0 * sin_u1 * sin_u2 / p.cos2_alpha;
  p.series = SeriesFor(p.cos2_alpha, e);
  return p;
}

}  // namespace

double SafeArcCos(double x) {
  if (std::isnan(x)) return x;
  const double r = 1.0 - x * x;
  if (r >= 1e-10) return kHalfPi - std::atan(x / std::sqrt(r));
  return x > 0 ? 0.0 : kPi;
}

namespace {

// The inverse problem by GeographicLib's geodesic solution (Karney), which
// also solves nearly and exactly antipodal points. Angles in degrees.
int KarneyInverse(double lat1, double lon1, double lat2, double lon2, AngleUnit out_unit,
                  const EllipsoidParams& e, double* S, double* A) {
  if (!IsUsableEllipsoid(e) || std::fabs(lat1) > 90 || std::fabs(lat2) > 90) return 0;
  try {
    const GeographicLib::Geodesic geodesic(e.a, e.f);
    double s12 = 0, azi1 = 0, azi2 = 0;
    geodesic.Inverse(lat1, lon1, lat2, lon2, s12, azi1, azi2);
    if (!std::isfinite(s12) || !std::isfinite(azi1)) return 0;
    const double azimuth = ReduceToTurn(azi1 * kPi / 180.0);
    if (S) *S = s12;
    if (A) *A = ConvertAngle(azimuth, kRadian, out_unit);
    return 1;
  } catch (const std::exception&) {
    return 0;
  }
}

}  // namespace

int GeodeticInverse(double B1, double L1, double B2, double L2, AngleUnit in_unit,
                    AngleUnit out_unit, const EllipsoidParams* ellipsoid, double* S, double* A) {
  if (B1 == B2 && L1 == L2) {
    if (S) *S = 0.0;
    if (A) *A = 0.0;
    return 1;
  }
  if (!std::isfinite(B1) || !std::isfinite(L1) || !std::isfinite(B2) || !std::isfinite(L2)) {
    return 0;
  }
  const EllipsoidParams& e = EllipsoidOrWgs84(ellipsoid);
  const double b1 = ConvertAngle(B1, in_unit, kRadian);
  const double l1 = ConvertAngle(L1, in_unit, kRadian);
  const double b2 = ConvertAngle(B2, in_unit, kRadian);
  const double l2 = ConvertAngle(L2, in_unit, kRadian);
  const double dl = l2 - l1;
  const double u1 = std::atan((1.0 - e.f) * std::tan(b1));
  const double u2 = std::atan((1.0 - e.f) * std::tan(b2));
  const double sin_u1 = std::sin(u1), cos_u1 = std::cos(u1);
  const double sin_u2 = std::sin(u2), cos_u2 = std::cos(u2);

  double c0 = 0.0;
  bool settled = false;
  InversePass p{};
  for (int pass = 0; pass < kMaxInversePasses; ++pass) {
    p = EvaluateInverse(dl + c0, sin_u1, cos_u1, sin_u2, cos_u2, e);
    const double c1 = LongitudeCorrection(p.series, e.f, p.sin_alpha, p.sigma, p.sin_sigma,
                                          p.cos_sigma, p.cos_2sm);
    if (!std::isfinite(c1)) break;
    if (std::fabs(c1 - c0) < kTolerance) {
      // The distance and the azimuth are taken at the settled longitude
      // difference, not at the one before the last correction: a step of up
      // to 1e-12 rad is several micrometres on the ground and turns the
      // azimuth of a 1 km line by a thousandth of an arc second.
      p = EvaluateInverse(dl + c1, sin_u1, cos_u1, sin_u2, cos_u2, e);
      settled = true;
      break;
    }
    c0 = c1;
  }
  // Nearly antipodal points keep the iteration from settling, and exactly
  // antipodal ones have no azimuth on the auxiliary sphere: both are solved
  // by Karney's method instead.
  if (!settled || (p.sin_sigma == 0 && p.cos_sigma < 0)) {
    return KarneyInverse(ConvertAngle(B1, in_unit, kDegree), ConvertAngle(L1, in_unit, kDegree),
                         ConvertAngle(B2, in_unit, kDegree), ConvertAngle(L2, in_unit, kDegree),
                         out_unit, e, S, A);
  }

  const double dsigma = DeltaSigma(p.series.B, p.cos_2sm, p.sin_sigma, p.cos_sigma);
  const double distance = e.b * p.series.A * (p.sigma - dsigma);
  double azimuth = std::atan2(cos_u2 * p.sin_lambda,
                              cos_u1 * sin_u2 - sin_u1 * cos_u2 * p.cos_lambda);
  azimuth = ReduceToTurn(azimuth);
  if (!std::isfinite(distance) || !std::isfinite(azimuth)) return 0;
  if (S) *S = distance;
  if (A) *A = ConvertAngle(azimuth, kRadian, out_unit);
  return 1;
}

int GeodeticDirect(double B1, double L1, double S, double A1, AngleUnit in_unit,
                   AngleUnit out_unit, const EllipsoidParams* ellipsoid, double* B2, double* L2) {
  if (S == 0) {
    if (B2) *B2 = ConvertAngle(B1, in_unit, out_unit);
    if (L2) *L2 = ConvertAngle(L1, in_unit, out_unit);
    return 1;
  }
  if (!std::isfinite(B1) || !std::isfinite(L1) || !std::isfinite(S) || !std::isfinite(A1)) {
    return 0;
  }
  const EllipsoidParams& e = EllipsoidOrWgs84(ellipsoid);
  const double b1 = ConvertAngle(B1, in_unit, kRadian);
  const double l1 = ConvertAngle(L1, in_unit, kRadian);
  const double a1 = ReduceToTurn(ConvertAngle(A1, in_unit, kRadian));
  const double sin_a1 = std::sin(a1), cos_a1 = std::cos(a1);

  const double u1 = std::atan((1.0 - e.f) * std::tan(b1));
  const double sin_u1 = std::sin(u1), cos_u1 = std::cos(u1);
  // α is the azimuth of the geodesic where it crosses the equator.
  const double alpha0 = SafeArcCos(sin_a1 * cos_u1);
  const double sin_alpha = std::cos(alpha0);
  const double sin_alpha0 = std::sin(alpha0);
  const double cos2_alpha = sin_alpha0 * sin_alpha0;
  const Series s = SeriesFor(cos2_alpha, e);

  // σ1 is only used through cos 2σm, which has period π in σ1, so atan
  // (rather than a four-quadrant arc tangent) is enough.
  const double sigma1 = std::atan(std::tan(u1) / cos_a1);
  const double sigma0 = S / (e.b * s.A);

  double delta = 0.0;
  double next = 0.0;
  for (int pass = 0; pass < kMaxDirectPasses; ++pass) {
    const double sigma = sigma0 + delta;
    const double two_sm = 2.0 * sigma1 + sigma;
    next = DeltaSigma(s.B, std::cos(two_sm), std::sin(sigma), std::cos(sigma));
    if (!(std::fabs(next - delta) >= kTolerance)) break;
    delta = next;
  }
  // Evaluated at the settled correction.
  const double sigma = sigma0 + next;
  const double cos_2sm = std::cos(2.0 * sigma1 + sigma);
  const double sin_sigma = std::sin(sigma), cos_sigma = std::cos(sigma);

  const double t = sin_u1 * sin_sigma - cos_u1 * cos_sigma * cos_a1;
  const double lat = std::atan2(sin_sigma * cos_a1 * cos_u1 + cos_sigma * sin_u1,
                                (1.0 - e.f) * std::sqrt(sin_alpha * sin_alpha + t * t));
  // The longitude difference on the auxiliary sphere in its true quadrant:
  // lines over a pole and westward lines along the equator included.
  const double lambda = std::atan2(sin_sigma * sin_a1,
                                   cos_u1 * cos_sigma - sin_u1 * sin_sigma * cos_a1);
  double lon = lambda + l1 -
               LongitudeCorrection(s, e.f, sin_alpha, sigma, sin_sigma, cos_sigma, cos_2sm);
  lon = std::remainder(lon, kTwoPi);
  if (lon <= -kPi) lon += kTwoPi;
  if (lon > kPi) lon -= kTwoPi;
  lon += 0.0;
  if (!std::isfinite(lat) || !std::isfinite(lon)) return 0;
  if (B2) *B2 = ConvertAngle(lat, kRadian, out_unit);
  if (L2) *L2 = ConvertAngle(lon, kRadian, out_unit);
  return 1;
}

}  // namespace georeckon
