#include "measure/compute/triangle_refinement.h"

#include "measure/compute/triangle_finder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

#include <Eigen/Dense>

namespace vistamet {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kParams = 11;  // apex, side normals, top side, blur, plate plane, contrast
enum : int { kAx, kAy, kT1, kT2, kT3, kQ, kS, kB0, kBx, kBy, kC };
using Params = std::array<double, kParams>;
using Row = Eigen::Matrix<double, kParams, 1>;
using Normal = Eigen::Matrix<double, kParams, kParams>;

// The gradient histogram reaches this far from the rough apex; a side is
// followed at most kMaxSide pixels.
constexpr int kHistogramRadius = 12;
constexpr double kMaxSide = 48.0;
constexpr int kBins = 72;  // 5 degrees
// Pixels farther than this from the outline do not take part in the fit:
// beyond 3 blur widths they tell nothing of the outline, and a plate's own
// edges often lie a little farther out.
constexpr double kBand = 2.5;
// The fit: at most kMaxPasses evaluations of the model; the apex moved
// less than kConverged px in the last step; a fit whose apex leaves its
// start by kMaxShift px or whose blur exceeds kMaxBlur px has found no
// target.
constexpr int kMaxPasses = 16;
constexpr double kConverged = 1e-3;
constexpr double kSettled = 1e-2;
// The standard deviation per axis the model itself leaves in the apex.
constexpr double kModelSigma = 0.01;  // enough when the passes run out
constexpr double kMaxShift = 4.0;
constexpr double kMaxBlur = 4.0;

inline double Cdf(double x) { return 0.5 * std::erfc(-x * (0.5 * std::numbers::sqrt2)); }

// The normal distribution and density, tabulated at 1/128 over [-6, 6] and
// interpolated linearly (off by less than 2e-6; beyond the table F is 0 or
// 1 to 1e-9).
class NormalTable {
 public:
  static constexpr double kReach = 6.0;
  static constexpr int kPerUnit = 128;
  static constexpr int kSize = static_cast<int>(2 * kReach) * kPerUnit + 2;

  NormalTable() {
    for (int i = 0; i < kSize; ++i) {
      const double x = -kReach + static_cast<double>(i) / kPerUnit;
      cdf_[i] = static_cast<float>(Cdf(x));
      pdf_[i] = static_cast<float>(std::exp(-0.5 * x * x) * 0.5 * std::numbers::inv_sqrtpi *
                                   std::numbers::sqrt2);
    }
  }
  // F(x) and the density at x.
  void Both(double x, double* f, double* d) const {
    if (!(x > -kReach)) {
      *f = 0;
      *d = 0;
      return;
    }
    if (!(x < kReach)) {
      *f = 1;
      *d = 0;
      return;
    }
    const double u = (x + kReach) * kPerUnit;
    const int i = static_cast<int>(u);
    const double a = u - i;
    *f = cdf_[i] + a * (cdf_[i + 1] - cdf_[i]);
    *d = pdf_[i] + a * (pdf_[i + 1] - pdf_[i]);
  }
  double F(double x) const {
    if (!(x > -kReach)) return 0;
    if (!(x < kReach)) return 1;
    const double u = (x + kReach) * kPerUnit;
    const int i = static_cast<int>(u);
    return cdf_[i] + (u - i) * (cdf_[i + 1] - cdf_[i]);
  }

 private:
  std::array<float, kSize> cdf_{}, pdf_{};
};

const NormalTable& Normals() {
  static const NormalTable table;
  return table;
}

struct Pixel {
  float x, y, g;
};

struct Frame {
  double x0 = 0, y0 = 0;  // origin of the background plane
  std::vector<Pixel> pixels;
};

// F2(x, y; rho) with its derivatives in x, y and rho.
struct Corner {
  double value, dx, dy, drho;
};

// One corner of the triangle for the current parameters: the correlation
// rho of its two sides and what the bivariate distribution needs of it.
// F2(h, k; rho) - F(h) F(k) = 1/(2 pi) * integral over [0, asin rho] of
// exp(-(h^2 + k^2 - 2 h k sin t) / (2 cos^2 t)) dt, by 6-point
// Gauss-Legendre (|asin rho| stays below about 1 for target corners).
// Beyond the radius `reach` around the corner the correction is below
// exp(-12) of the contrast and left out.
class CornerTerm {
 public:
  explicit CornerTerm(double rho) : rho_(std::clamp(rho, -0.999, 0.999)) {
    static constexpr double kX[] = {0.2386191860831969, 0.6612093864662645, 0.9324695142031521};
    static constexpr double kW[] = {0.4679139345726910, 0.3607615730481386, 0.1713244923791704};
    const double half = 0.5 * std::asin(rho_);
    int n = 0;
    for (int i = 0; i < 3; ++i) {
      for (double sign : {-1.0, 1.0}) {
        const double t = half + sign * half * kX[i];
        const double c = std::cos(t);
        sin_[n] = 2.0 * std::sin(t);
        scale_[n] = 1.0 / (2.0 * c * c);
        weight_[n] = kW[i] * half / (2.0 * kPi);
        ++n;
      }
    }
    r1_ = std::sqrt(1.0 - rho_ * rho_);
    inv_r1_ = 1.0 / r1_;
    density_ = 1.0 / (2.0 * kPi * r1_);
    reach2_ = 24.0 * (1.0 + std::fabs(rho_));
  }

  // F2(x, y; rho) given F and the density at x and at y.
  Corner At(double x, double y, double fx, double dfx, double fy, double dfy) const {
    const double rr = x * x + y * y;
    if (rr > reach2_) return Corner{fx * fy, dfx * fy, dfy * fx, 0.0};
    const double xy = x * y;
    double wedge = 0;
    for (int i = 0; i < 6; ++i) wedge += weight_[i] * std::exp(-(rr - sin_[i] * xy) * scale_[i]);
    const NormalTable& t = Normals();
    return Corner{fx * fy + wedge, dfx * t.F((y - rho_ * x) * inv_r1_),
                  dfy * t.F((x - rho_ * y) * inv_r1_),
                  density_ * std::exp(-(rr - 2.0 * rho_ * xy) * 0.5 * inv_r1_ * inv_r1_)};
  }

 private:
  double rho_, r1_, inv_r1_, density_, reach2_;
  std::array<double, 6> sin_{}, scale_{}, weight_{};
};

// The parts of the model that depend on the parameters only.
struct Shape {
  explicit Shape(const Params& p)
      : c1(std::cos(p[kT1])), s1(std::sin(p[kT1])), c2(std::cos(p[kT2])), s2(std::sin(p[kT2])),
        c3(std::cos(p[kT3])), s3(std::sin(p[kT3])), inv_s(1.0 / p[kS]),
        d12(std::sin(p[kT1] - p[kT2])), d13(std::sin(p[kT1] - p[kT3])),
        d23(std::sin(p[kT2] - p[kT3])), k12(std::cos(p[kT1] - p[kT2])),
        k13(-std::cos(p[kT1] - p[kT3])), k23(-std::cos(p[kT2] - p[kT3])) {}
  double c1, s1, c2, s2, c3, s3, inv_s, d12, d13, d23;
  CornerTerm k12, k13, k23;
};

// Model value of one pixel; with `row`, its derivatives. The blurred
// triangle is exact: the outside of a triangle is the union of the three
// outer half-planes, no point lies in all three, so by inclusion-exclusion
// W = 1 - sum F(-d_i) + sum over pairs F2(-d_i, -d_j; n_i . n_j).
double Model(const Params& p, const Shape& sh, const Frame& f, const Pixel& px, double* row) {
  const double dx = px.x - p[kAx], dy = px.y - p[kAy];
  const double h = (sh.c1 * dx + sh.s1 * dy) * sh.inv_s;
  const double k = (sh.c2 * dx + sh.s2 * dy) * sh.inv_s;
  const double m = (p[kQ] - (sh.c3 * dx + sh.s3 * dy)) * sh.inv_s;
  // F(-x) = 1 - F(x); the density is even.
  const NormalTable& t = Normals();
  double fh, dh, fk, dk, fm, dm;
  t.Both(-h, &fh, &dh);
  t.Both(-k, &fk, &dk);
  t.Both(-m, &fm, &dm);
  const Corner b12 = sh.k12.At(-h, -k, fh, dh, fk, dk);
  const Corner b13 = sh.k13.At(-h, -m, fh, dh, fm, dm);
  const Corner b23 = sh.k23.At(-k, -m, fk, dk, fm, dm);
  const double w = 1.0 - fh - fk - fm + b12.value + b13.value + b23.value;
  const double bx = px.x - f.x0, by = px.y - f.y0;
  // The plate is a plane, the target a flat tone printed over it.
  const double plate = p[kBx] * bx + p[kBy] * by;
  const double inner = p[kC] - plate;
  const double value = p[kB0] + plate + inner * w;
  if (row != nullptr) {
    const double c = inner * sh.inv_s;
    const double wh = dh - b12.dx - b13.dx;
    const double wk = dk - b12.dy - b23.dx;
    const double wm = dm - b13.dy - b23.dy;
    row[kAx] = c * (-wh * sh.c1 - wk * sh.c2 + wm * sh.c3);
    row[kAy] = c * (-wh * sh.s1 - wk * sh.s2 + wm * sh.s3);
    row[kT1] = c * wh * (-sh.s1 * dx + sh.c1 * dy) + inner * (-b12.drho * sh.d12 + b13.drho * sh.d13);
    row[kT2] = c * wk * (-sh.s2 * dx + sh.c2 * dy) + inner * (b12.drho * sh.d12 + b23.drho * sh.d23);
    row[kT3] = -c * wm * (-sh.s3 * dx + sh.c3 * dy) - inner * (b13.drho * sh.d13 + b23.drho * sh.d23);
    row[kQ] = c * wm;
    row[kS] = -c * (wh * h + wk * k + wm * m);
    row[kB0] = 1.0;
    row[kBx] = bx * (1.0 - w);
    row[kBy] = by * (1.0 - w);
    row[kC] = w;
  }
  return value;
}

// The sum of squared residuals at p; with n and g, the normal equations
// (n upper triangle first, then filled) and the right-hand side.
double SumOfSquares(const Params& p, const Frame& f, Normal* n, Row* g) {
  const Shape sh(p);
  double ssr = 0;
  double row[kParams];
  double upper[kParams][kParams] = {};
  double rhs[kParams] = {};
  for (const Pixel& px : f.pixels) {
    const double r = px.g - Model(p, sh, f, px, n != nullptr ? row : nullptr);
    ssr += r * r;
    if (n == nullptr) continue;
    for (int i = 0; i < kParams; ++i) {
      const double ri = row[i];
      rhs[i] += r * ri;
      for (int j = i; j < kParams; ++j) upper[i][j] += ri * row[j];
    }
  }
  if (n != nullptr) {
    for (int i = 0; i < kParams; ++i) {
      (*g)[i] = rhs[i];
      for (int j = i; j < kParams; ++j) (*n)(i, j) = (*n)(j, i) = upper[i][j];
    }
  }
  return ssr;
}

double Bilinear(const GreyImage& im, double x, double y) {
  x = std::clamp(x, 0.0, im.width - 1.001);
  y = std::clamp(y, 0.0, im.height - 1.001);
  const int ix = static_cast<int>(x), iy = static_cast<int>(y);
  const double fx = x - ix, fy = y - iy;
  const double a = im.At(ix, iy) * (1 - fx) + im.At(ix + 1, iy) * fx;
  const double b = im.At(ix, iy + 1) * (1 - fx) + im.At(ix + 1, iy + 1) * fx;
  return a * (1 - fy) + b * fy;
}

// The directions of the two rays from the apex along which the gradient
// lies across the ray, strongest first. Returns false without two.
bool SideDirections(const GreyImage& im, double x0, double y0, double* a1, double* a2) {
  std::array<double, kBins> hist{};
  const int cx = static_cast<int>(std::lround(x0)), cy = static_cast<int>(std::lround(y0));
  const int r = kHistogramRadius;
  for (int y = std::max(1, cy - r); y <= std::min(im.height - 2, cy + r); ++y) {
    for (int x = std::max(1, cx - r); x <= std::min(im.width - 2, cx + r); ++x) {
      const double vx = x - x0, vy = y - y0;
      const double len2 = vx * vx + vy * vy;
      if (len2 < 6.25 || len2 > r * r) continue;
      const double gx = 0.5 * (im.At(x + 1, y) - im.At(x - 1, y));
      const double gy = 0.5 * (im.At(x, y + 1) - im.At(x, y - 1));
      const double along = (gx * vx + gy * vy), across = (gx * vy - gy * vx);
      const double w = (across * across - 2.0 * along * along) / len2;
      if (w <= 0) continue;
      double angle = std::atan2(vy, vx);
      if (angle < 0) angle += 2 * kPi;
      hist[static_cast<int>(angle / (2 * kPi) * kBins) % kBins] += w;
    }
  }
  std::array<double, kBins> smooth{};
  for (int i = 0; i < kBins; ++i) {
    smooth[i] = hist[(i + kBins - 1) % kBins] + 2 * hist[i] + hist[(i + 1) % kBins];
  }
  auto peakAngle = [&](int i) {
    const double l = smooth[(i + kBins - 1) % kBins], c = smooth[i], rr = smooth[(i + 1) % kBins];
    const double d = l + rr - 2 * c;
    const double off = d < 0 ? 0.5 * (l - rr) / d : 0.0;
    return (i + 0.5 + off) * 2 * kPi / kBins;
  };
  // Rays that are peaks of the histogram; a side has its edge right from
  // the apex on, which rays towards a neighbour's outline have not, so the
  // pair is the one whose weaker edge near the apex is the strongest.
  const double top = *std::max_element(smooth.begin(), smooth.end());
  std::vector<std::pair<int, double>> rays;  // bin, edge strength near the apex
  for (int i = 0; i < kBins; ++i) {
    const bool peak = smooth[i] >= smooth[(i + 1) % kBins] && smooth[i] > smooth[(i + kBins - 1) % kBins];
    if (!peak || smooth[i] < 0.1 * top || top <= 0) continue;
    const double a = peakAngle(i), ux = std::cos(a), uy = std::sin(a);
    double e = 0;
    for (double t = 1.5; t <= 4.01; t += 0.5) {
      const double x = x0 + t * ux, y = y0 + t * uy;
      e += std::fabs(Bilinear(im, x - 1.5 * uy, y + 1.5 * ux) - Bilinear(im, x + 1.5 * uy, y - 1.5 * ux));
    }
    rays.emplace_back(i, e);
  }
  double best = -1;
  for (size_t i = 0; i < rays.size(); ++i) {
    for (size_t j = i + 1; j < rays.size(); ++j) {
      const int d = std::abs(rays[i].first - rays[j].first);
      const int dist = std::min(d, kBins - d);
      if (dist < 6 || dist > 32) continue;  // 30 to 160 degrees apart
      const double score = std::min(rays[i].second, rays[j].second);
      if (score > best) {
        best = score;
        *a1 = peakAngle(rays[i].first);
        *a2 = peakAngle(rays[j].first);
      }
    }
  }
  return best > 0;
}

// Follows the side from the apex along direction (ux, uy) while its edge
// keeps at least 40 % of its early strength; returns the length.
double SideLength(const GreyImage& im, double x0, double y0, double ux, double uy) {
  const double nx = -uy, ny = ux;
  auto strength = [&](double t) {
    const double x = x0 + t * ux, y = y0 + t * uy;
    return std::fabs(Bilinear(im, x + 1.5 * nx, y + 1.5 * ny) -
                     Bilinear(im, x - 1.5 * nx, y - 1.5 * ny));
  };
  double ref = 0;
  for (double t = 2.0; t <= 3.01; t += 0.5) ref = std::max(ref, strength(t));
  double t = 2.0;
  while (t + 0.5 <= kMaxSide && strength(t + 0.5) >= 0.4 * ref) t += 0.5;
  return t + 0.5;
}

// The offset along the normal (nx, ny) of the grey step that crosses the
// ray from (x, y) along (ux, uy) at distance t: the centroid of the grey
// differences of one sign (the sign of the whole step), so the other side
// of the apex, which steps the other way, does not count. False when the
// profile holds no step.
bool EdgeOffset(const GreyImage& im, double x, double y, double ux, double uy, double nx,
                double ny, double t, double* offset, double* weight) {
  constexpr int kHalf = 5;  // samples 0.5 px apart, +-2.5 px
  double g[2 * kHalf + 1];
  for (int j = -kHalf; j <= kHalf; ++j) {
    g[j + kHalf] = Bilinear(im, x + t * ux + 0.5 * j * nx, y + t * uy + 0.5 * j * ny);
  }
  const double sign = g[2 * kHalf] >= g[0] ? 1.0 : -1.0;
  double sum = 0, moment = 0;
  for (int j = 0; j < 2 * kHalf; ++j) {
    const double d = std::max(0.0, sign * (g[j + 1] - g[j]));
    sum += d;
    moment += d * (0.5 * (j - kHalf) + 0.25);
  }
  if (sum < 8.0) return false;
  *offset = moment / sum;
  *weight = sum;
  return true;
}

// Moves the rough apex onto the intersection of the two sides, each side
// a line fitted to the edge offsets along its ray a few pixels out, and
// turns the rays onto the fitted lines. Leaves everything as it was when
// a side shows too little edge or the apex would move by more than 2 px.
void SharpenApex(const GreyImage& im, double* x0, double* y0, double* a1, double* a2) {
  double px[2], py[2], dx[2], dy[2];
  const double angles[2] = {*a1, *a2};
  for (int side = 0; side < 2; ++side) {
    const double ux = std::cos(angles[side]), uy = std::sin(angles[side]);
    const double other = angles[1 - side];
    double nx = -uy, ny = ux;  // across the side, into the triangle
    if (nx * std::cos(other) + ny * std::sin(other) < 0) nx = -nx, ny = -ny;
    double sw = 0, st = 0, se = 0, stt = 0, ste = 0;
    int n = 0;
    for (double t = 2.0; t <= 8.01; t += 1.0) {
      double e = 0, w = 0;
      if (!EdgeOffset(im, *x0, *y0, ux, uy, nx, ny, t, &e, &w)) continue;
      sw += w, st += w * t, se += w * e, stt += w * t * t, ste += w * t * e;
      ++n;
    }
    const double det = sw * stt - st * st;
    if (n < 3 || det <= 1e-9 * sw * sw) return;
    const double slope = (sw * ste - st * se) / det, e0 = (se - slope * st) / sw;
    px[side] = *x0 + e0 * nx;
    py[side] = *y0 + e0 * ny;
    dx[side] = ux + slope * nx;
    dy[side] = uy + slope * ny;
  }
  // px + s d0 = qx + r d1.
  const double cross = dx[0] * dy[1] - dy[0] * dx[1];
  if (std::fabs(cross) < 1e-3) return;
  const double s = ((px[1] - px[0]) * dy[1] - (py[1] - py[0]) * dx[1]) / cross;
  const double ax = px[0] + s * dx[0], ay = py[0] + s * dy[0];
  if (std::hypot(ax - *x0, ay - *y0) > 2.0) return;
  *x0 = ax;
  *y0 = ay;
  *a1 = std::atan2(dy[0], dx[0]);
  *a2 = std::atan2(dy[1], dx[1]);
}

// The starting parameters and the pixels of the fit. False when no
// triangle can be started at (x0, y0).
bool Start(const GreyImage& im, double x0, double y0, Params* p, Frame* f) {
  double a1 = 0, a2 = 0;
  if (!SideDirections(im, x0, y0, &a1, &a2)) return false;
  SharpenApex(im, &x0, &y0, &a1, &a2);
  const double u1x = std::cos(a1), u1y = std::sin(a1), u2x = std::cos(a2), u2y = std::sin(a2);
  const double l1 = SideLength(im, x0, y0, u1x, u1y), l2 = SideLength(im, x0, y0, u2x, u2y);
  // Inner normals: across each side, towards the other one.
  double n1x = -u1y, n1y = u1x, n2x = -u2y, n2y = u2x;
  if (n1x * u2x + n1y * u2y < 0) n1x = -n1x, n1y = -n1y;
  if (n2x * u1x + n2y * u1y < 0) n2x = -n2x, n2y = -n2y;
  const double p1x = l1 * u1x, p1y = l1 * u1y, p2x = l2 * u2x, p2y = l2 * u2y;
  const double el = std::hypot(p2x - p1x, p2y - p1y);
  if (el < 1.0) return false;
  double m3x = -(p2y - p1y) / el, m3y = (p2x - p1x) / el;
  if (m3x * p1x + m3y * p1y < 0) m3x = -m3x, m3y = -m3y;
  const double q = m3x * p1x + m3y * p1y;
  *p = Params{x0, y0, std::atan2(n1y, n1x), std::atan2(n2y, n2x), std::atan2(m3y, m3x), q, 0.8,
              0, 0, 0, 0};
  // Plate just outside the apex, target at the centroid.
  const double bis = std::hypot(m3x, m3y);
  const double plate = Bilinear(im, x0 - 2.5 * m3x / bis, y0 - 2.5 * m3y / bis);
  const double inner = Bilinear(im, x0 + (p1x + p2x) / 3.0, y0 + (p1y + p2y) / 3.0);
  (*p)[kB0] = plate;
  (*p)[kC] = inner - plate;
  f->x0 = x0;
  f->y0 = y0;
  f->pixels.clear();
  const int bx0 = std::max(0, static_cast<int>(std::floor(x0 + std::min({0.0, p1x, p2x}) - kBand - 1)));
  const int bx1 = std::min(im.width - 1, static_cast<int>(std::ceil(x0 + std::max({0.0, p1x, p2x}) + kBand + 1)));
  const int by0 = std::max(0, static_cast<int>(std::floor(y0 + std::min({0.0, p1y, p2y}) - kBand - 1)));
  const int by1 = std::min(im.height - 1, static_cast<int>(std::ceil(y0 + std::max({0.0, p1y, p2y}) + kBand + 1)));
  for (int y = by0; y <= by1; ++y) {
    for (int x = bx0; x <= bx1; ++x) {
      const double dx = x - x0, dy = y - y0;
      const double d1 = n1x * dx + n1y * dy, d2 = n2x * dx + n2y * dy;
      const double d3 = q - (m3x * dx + m3y * dy);
      const bool inside = d1 > 0 && d2 > 0 && d3 > 0;
      const double dist = inside ? std::min({d1, d2, d3}) : std::max({-d1, -d2, -d3});
      if (dist <= kBand) f->pixels.push_back(Pixel{static_cast<float>(x), static_cast<float>(y), static_cast<float>(im.At(x, y))});
    }
  }
  return f->pixels.size() > 2 * kParams && std::fabs((*p)[kC]) > 1.0;
}

// Levenberg-Marquardt from *p; every pass evaluates the trial point with
// its normal equations, so an accepted step needs no second pass.
// Converged: the apex stepped (or would step) less than kConverged, or no
// step lowers the sum any more. Gives up when the apex leaves the start by kMaxShift or
// the blur grows beyond kMaxBlur: no target is there.
bool Solve(const Frame& f, Params* p, Normal* normal, double* ssr) {
  const double x0 = (*p)[kAx], y0 = (*p)[kAy];
  double lambda = 1e-4;
  Normal n, trialN;
  Row g, trialG;
  double current = SumOfSquares(*p, f, &n, &g);
  bool converged = false;
  double lastStep = 1e9;
  for (int pass = 0; pass < kMaxPasses && !converged; ++pass) {
    Normal damped = n;
    for (int i = 0; i < kParams; ++i) damped(i, i) += lambda * std::max(n(i, i), 1e-9);
    const Row step = damped.ldlt().solve(g);
    if (!step.allFinite()) return false;
    // A step this small from an accepted point changes nothing that
    // matters: no need to evaluate it.
    if (pass > 0 && lambda < 1e-3 && std::hypot(step[kAx], step[kAy]) < kConverged) {
      converged = true;
      break;
    }
    Params trial = *p;
    for (int i = 0; i < kParams; ++i) trial[i] += step[i];
    trial[kS] = std::max(trial[kS], 0.1);
    const double next = SumOfSquares(trial, f, &trialN, &trialG);
    if (next <= current) {
      *p = trial;
      n = trialN;
      g = trialG;
      current = next;
      lambda = std::max(1e-7, lambda * 0.1);
      lastStep = std::hypot(step[kAx], step[kAy]);
      converged = lastStep < kConverged;
      if (std::hypot(trial[kAx] - x0, trial[kAy] - y0) > kMaxShift || trial[kS] > kMaxBlur)
        return false;
    } else {
      lambda *= 10;
      converged = lambda > 1e4;
    }
  }
  *normal = n;
  *ssr = current;
  return converged || lastStep < kSettled;
}

void Describe(const Params& p, const Frame& f, const Normal& n, double ssr, TriangleFit* fit) {
  fit->x = p[kAx];
  fit->y = p[kAy];
  fit->contrast = p[kC];
  fit->blur = p[kS];
  const double rho = std::cos(p[kT1] - p[kT2]);
  fit->apexAngle = std::acos(std::clamp(-rho, -1.0, 1.0)) * 180.0 / kPi;
  // Side directions: along each side, into the other side's inner half.
  const double m3x = std::cos(p[kT3]), m3y = std::sin(p[kT3]);
  auto side = [&](double t, double other) {
    double ux = -std::sin(t), uy = std::cos(t);
    if (ux * std::cos(other) + uy * std::sin(other) < 0) ux = -ux, uy = -uy;
    const double along = ux * m3x + uy * m3y;
    return along > 1e-3 ? p[kQ] / along : 1e9;
  };
  fit->side1 = side(p[kT1], p[kT2]);
  fit->side2 = side(p[kT2], p[kT1]);
  fit->pixels = static_cast<int>(f.pixels.size());
  const double dof = std::max(1.0, static_cast<double>(f.pixels.size()) - kParams);
  fit->residualRms = std::sqrt(ssr / static_cast<double>(std::max<size_t>(1, f.pixels.size())));
  fit->plateSlope = std::hypot(p[kBx], p[kBy]) * 0.5 * (std::min(fit->side1, 1e3) + std::min(fit->side2, 1e3));
  const Normal inv = n.ldlt().solve(Normal::Identity());
  const double s0 = ssr / dof;
  // The noise's share, and the model's own error (the pixel area is not
  // quite a Gaussian blur), which rendered targets show to be about
  // kModelSigma per axis.
  fit->sigmaX = std::hypot(std::sqrt(std::max(0.0, s0 * inv(kAx, kAx))), kModelSigma);
  fit->sigmaY = std::hypot(std::sqrt(std::max(0.0, s0 * inv(kAy, kAy))), kModelSigma);
}

}  // namespace

int RefineTriangleApex(const GreyImage& image, double x0, double y0, TriangleFit* fit) {
  *fit = TriangleFit{};
  // Sampling needs a pixel on either side: no fit in images narrower than 3.
  if (!image.Valid() || image.width < 3 || image.height < 3 || !std::isfinite(x0) ||
      !std::isfinite(y0) || x0 < 0 || y0 < 0 || x0 > image.width - 1 || y0 > image.height - 1) {
    return 0;
  }
  Params p;
  Frame f;
  if (!Start(image, x0, y0, &p, &f)) return 0;
  Normal n;
  double ssr = 0;
  const bool ok = Solve(f, &p, &n, &ssr);
  Describe(p, f, n, ssr, fit);
  const bool inside = std::hypot(p[kAx] - x0, p[kAy] - y0) < kMaxShift && p[kS] < kMaxBlur &&
                      std::isfinite(fit->sigmaX) && std::isfinite(fit->sigmaY);
  fit->converged = ok && inside ? 1 : 0;
  return fit->converged;
}

bool IsTriangleTarget(const TriangleFit& fit) {
  const double c = std::fabs(fit.contrast);
  const double shortSide = std::min(fit.side1, fit.side2);
  const double longSide = std::max(fit.side1, fit.side2);
  return fit.converged == 1 && c >= 15.0 && fit.residualRms <= 0.1 * c + 2.0 &&
         fit.apexAngle >= 45.0 && fit.apexAngle <= 115.0 && shortSide >= 3.0 &&
         longSide <= kMaxSide && longSide <= 2.0 * shortSide && fit.blur <= 2.5 &&
         fit.plateSlope <= 0.5 * c;
}

int RemeasureTarget(const GreyImage& image, double* x, double* y) {
  TriangleFit fit;
  if (!RefineTriangleApex(image, *x, *y, &fit) || !IsTriangleTarget(fit)) return 0;
  const double moved = std::hypot(fit.x - *x, fit.y - *y);
  if (moved > 1.5) return 0;
  if (moved > std::max(kAgreement, 3.0 * std::hypot(fit.sigmaX, fit.sigmaY))) {
    *x = fit.x;
    *y = fit.y;
  }
  return 1;
}

double WeightFromSigma(double sigma) {
  if (!(sigma > 0)) return 1.0;
  const double r = kWeightSigma / sigma;
  return std::clamp(r * r, 0.01, 100.0);
}

int FindTargets(const GreyImage& image, int maxCount, const TargetOptions& options,
                std::vector<FoundTarget>* targets, const std::atomic<bool>* stop) {
  targets->clear();
  if (maxCount <= 0) return 0;
  if (!options.refine && !options.rejectFalse) {
    std::vector<TrianglePoint> points;
    FindTriangles(image, maxCount, &points, stop);
    for (const TrianglePoint& p : points) targets->push_back(FoundTarget{p.x, p.y, 0, 0});
    return static_cast<int>(targets->size());
  }
  TriangleCorrelation corr;
  if (!ComputeTriangleCorrelation(image, &corr, stop)) return 0;
  std::vector<TrianglePeak> peaks = FindTrianglePeaks(corr);
  ScoreTrianglePeaks(image, &peaks);
  OrderTrianglePeaks(&peaks, options.rejectFalse ? 4 * maxCount : maxCount);
  for (const TrianglePeak& peak : peaks) {
    if (static_cast<int>(targets->size()) >= maxCount) break;
    if (stop != nullptr && stop->load(std::memory_order_relaxed)) {
      targets->clear();
      return 0;
    }
    const TrianglePoint rough = TriangleApex(corr, peak);
    TriangleFit fit;
    const bool fitted = RefineTriangleApex(image, rough.x, rough.y, &fit) == 1;
    if (options.rejectFalse && !(fitted && IsTriangleTarget(fit))) continue;
    FoundTarget t{rough.x, rough.y, 0, 0};
    if (fitted) {
      t.sigmaX = fit.sigmaX;
      t.sigmaY = fit.sigmaY;
      if (options.refine) t.x = fit.x, t.y = fit.y;
    }
    const bool seen = std::any_of(targets->begin(), targets->end(), [&](const FoundTarget& o) {
      return std::hypot(o.x - t.x, o.y - t.y) < 2.0;
    });
    if (!seen) targets->push_back(t);
  }
  return static_cast<int>(targets->size());
}

}  // namespace vistamet
