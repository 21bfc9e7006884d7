#include "geotools/compute/gauss.h"

#include <cmath>

namespace georeckon {

namespace {

constexpr double kInv6 = 0.16666666666666666;
constexpr double kInv24 = 0.041666666666666664;
constexpr double kInv120 = 0.008333333333333333;
constexpr double kInv720 = 0.001388888888888889;

// Coefficients of the meridian arc A0·B + A2·sin 2B + A4·sin 4B + A6·sin 6B.
// The e10 factor of A6 is 2.38563341493268 where the textbook series has
// 0.2379…; the tools have always used it and its effect stays below 0.05 mm.
struct ArcCoefficients {
  double A0, A2, A4, A6;
};

ArcCoefficients ArcCoefficientsFor(const EllipsoidParams& e) {
  const double e2 = e.e2;
  const double e4 = e2 * e2;
  const double e6 = e4 * e2;
  const double e8 = e6 * e2;
  const double e10 = e8 * e2;
  const double m = e.a * (1.0 - e2);
  ArcCoefficients c;
  c.A0 = m * (1.0 + 0.75 * e2 + 0.703125 * e4 + 0.68359375 * e6 + 0.67291259765625 * e8 +
              0.6661834716796875 * e10);
  c.A2 = -0.5 * m *
         (0.75 * e2 + 0.9375 * e4 + 1.025390625 * e6 + 1.07666015625 * e8 +
          1.1103057861328125 * e10);
  c.A4 = 0.25 * m *
         (0.234375 * e4 + 0.41015625 * e6 + 0.538330078125 * e8 + 0.63446044921875 * e10);
  c.A6 = -0.16666666666666666 * m *
         (0.068359375 * e6 + 0.15380859375 * e8 + 2.38563341493268 * e10);
  return c;
}

// A0·B − cos B·(K1 sin B + K3 sin³B + K5 sin⁵B), the sine series rewritten in
// powers of sin B.
double ArcFromCoefficients(const ArcCoefficients& c, double B) {
  const double K1 = -2.0 * c.A2 - 4.0 * c.A4 - 6.0 * c.A6;
  const double K3 = 32.0 * c.A6 + 8.0 * c.A4;
  const double K5 = -32.0 * c.A6;
  const double s = std::sin(B);
  const double s2 = s * s;
  return c.A0 * B - std::cos(B) * (K1 * s + K3 * s * s2 + K5 * s * s2 * s2);
}

double DegreesToRadians(double degrees) { return ConvertAngle(degrees, kDegree, kRadian); }

}  // namespace

double MeridianArc(double B, const EllipsoidParams& e) {
  return ArcFromCoefficients(ArcCoefficientsFor(e), B);
}

ProjectedPoint GaussForward(double B, double L, double h, AngleUnit unit, double L0,
                            double y_const, const EllipsoidParams* ellipsoid, double x_const,
                            double B0) {
  const EllipsoidParams& e = EllipsoidOrWgs84(ellipsoid);
  const ArcCoefficients arc = ArcCoefficientsFor(e);
  const double b = ConvertAngle(B, unit, kRadian);
  const double l_abs = ConvertAngle(L, unit, kRadian);
  const double l0 = DegreesToRadians(L0);
  const double b0 = DegreesToRadians(B0);

  const double cos_b = std::cos(b);
  const double t = std::tan(b);
  const double t2 = t * t;
  const double eta2 = cos_b * cos_b * e.e2 / (1.0 - e.e2);
  const double N = (e.a / std::sqrt(1.0 - e.e2)) / std::sqrt(1.0 + eta2);
  const double l = cos_b * (l_abs - l0);
  const double l2 = l * l;
  const double l4 = l2 * l2;
  const double l6 = l4 * l2;

  ProjectedPoint p;
  p.x = ArcFromCoefficients(arc, b) - ArcFromCoefficients(arc, b0) +
        N * t *
            (l2 * 0.5 + l4 * (5.0 - t2 + 9.0 * eta2 + 4.0 * eta2 * eta2) * kInv24 +
             l6 * (61.0 - 58.0 * t2 + t2 * t2) * kInv720) +
        x_const;
  p.y = N * l *
            (1.0 + l2 * (1.0 - t2 + eta2) * kInv6 +
             l4 * (5.0 - 18.0 * t2 + t2 * t2 + 14.0 * eta2 - 58.0 * eta2 * t2) * kInv120) +
        y_const;
  p.h = h;
  return p;
}

GeodeticPoint GaussInverse(double x, double y, double h, AngleUnit unit, double L0,
                           double y_const, const EllipsoidParams* ellipsoid, double x_const,
                           double B0) {
  const EllipsoidParams& e = EllipsoidOrWgs84(ellipsoid);
  const ArcCoefficients arc = ArcCoefficientsFor(e);

  // Footpoint series coefficients by five rounds of series reversion.
  const double p = -arc.A2 / arc.A0;
  const double q = -arc.A4 / arc.A0;
  const double r = -arc.A6 / arc.A0;
  double b2 = p, b4 = q, b6 = 0.0;
  for (int round = 0; round < 5; ++round) {
    const double nb2 = p * (1.0 + b4) - 2.0 * q * b2 - 1.5 * p * b2 * b2;
    const double nb4 = p * b2 + q;
    const double nb6 = r + b2 * (2.0 * q + 0.5 * p * b2) + p * b4;
    b2 = nb2;
    b4 = nb4;
    b6 = nb6;
  }

  const double psi = (ArcFromCoefficients(arc, DegreesToRadians(B0)) + (x - x_const)) / arc.A0;
  const double sp = std::sin(psi);
  const double sp2 = sp * sp;
  const double bf = psi + sp * std::cos(psi) *
                              ((2.0 * b2 + 4.0 * b4 + 6.0 * b6) + sp2 * (-8.0 * b4 - 32.0 * b6) +
                               32.0 * b6 * sp2 * sp2);

  const double cos_bf = std::cos(bf);
  const double t = std::tan(bf);
  const double t2 = t * t;
  const double t4 = t2 * t2;
  const double eta2 = cos_bf * cos_bf * e.e2 / (1.0 - e.e2);
  const double V2 = 1.0 + eta2;
  const double Nf = (e.a / std::sqrt(1.0 - e.e2)) / std::sqrt(V2);
  const double u = (y - y_const) / Nf;
  const double u2 = u * u;
  const double u4 = u2 * u2;
  const double u6 = u4 * u2;

  const double lat = bf - t * V2 * u2 * 0.5 +
                     t * V2 * u4 * (5.0 + 3.0 * t2 + eta2 - 9.0 * eta2 * t2) * kInv24 -
                     t * V2 * u6 * (61.0 + 90.0 * t2 + 45.0 * t4) * kInv720;
  const double lon =
      DegreesToRadians(L0) +
      (u - u2 * u * (1.0 + 2.0 * t2 + eta2) * kInv6 +
       u4 * u * (5.0 + 28.0 * t2 + 24.0 * t4 + 6.0 * eta2 + 8.0 * eta2 * t2) * kInv120) /
          cos_bf;

  GeodeticPoint g;
  g.B = ConvertAngle(lat, kRadian, unit);
  g.L = ConvertAngle(lon, kRadian, unit);
  g.H = h;
  return g;
}

ProjectedPoint GaussZoneChange(double x1, double y1, double h, double L0_1, double L0_2,
                               double y_const, const EllipsoidParams* ellipsoid, double x_const,
                               double B0, bool* warn) {
  if (warn) *warn = MeridiansFarApart(L0_1, L0_2);
  const GeodeticPoint g = GaussInverse(x1, y1, h, kRadian, L0_1, y_const, ellipsoid, x_const, B0);
  return GaussForward(g.B, g.L, h, kRadian, L0_2, y_const, ellipsoid, x_const, B0);
}

bool LongitudeFarFromMeridian(double L_degrees, double L0) {
  const double d = L_degrees - L0;
  return d < -3.0 || d > 3.0;
}

bool IsZoneWidth(int width) { return width == 3 || width == 6; }

int ZoneCount(int width) { return width == 3 ? 120 : 60; }

int ZoneNumber(double L_degrees, int width) {
  double L = std::fmod(L_degrees, 360.0);
  if (L < 0) L += 360.0;
  if (width == 3) {
    const int n = static_cast<int>(std::lround(L / 3.0));
    return n == 0 ? 120 : n;
  }
  const int n = static_cast<int>(std::floor(L / 6.0)) + 1;
  return n > 60 ? 60 : n;
}

double ZoneMeridian(int zone, int width) {
  const double L0 = width == 3 ? 3.0 * zone : 6.0 * zone - 3.0;
  return L0 > 180.0 ? L0 - 360.0 : L0;
}

double ZoneMaxOffset(int width) { return width == 3 ? 2.0 : 3.5; }

double MeridianOffset(double L_degrees, double L0) {
  double d = std::fmod(L_degrees - L0, 360.0);
  if (d < -180.0) d += 360.0;
  if (d >= 180.0) d -= 360.0;
  return d;
}

bool OutsideZone(double L_degrees, double L0, int width) {
  return std::fabs(MeridianOffset(L_degrees, L0)) > ZoneMaxOffset(width);
}

int ZonePrefixOf(double y, double y_const) {
  const double n = std::floor((y - y_const + 500000.0) / kZonePrefixUnit);
  if (!(n > -1e6 && n < 1e6)) return -1;
  return static_cast<int>(n);
}

bool MeridiansFarApart(double L0_1, double L0_2) {
  const double d = L0_1 - L0_2;
  return d < -6.0 || d > 6.0;
}

}  // namespace georeckon
