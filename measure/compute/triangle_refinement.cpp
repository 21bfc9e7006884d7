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
constexpr int kParams = 13;  // apex, side normals, top side, blur, plate plane, target plane
enum : int { kAx, kAy, kT1, kT2, kT3, kQ, kS, kB0, kBx, kBy, kC, kTx, kTy };
using Params = std::array<double, kParams>;
using Row = Eigen::Matrix<double, kParams, 1>;
using Normal = Eigen::Matrix<double, kParams, kParams>;

// The gradient histogram reaches this far from the rough apex; a side is
// followed at most kMaxSide pixels.
constexpr int kHistogramRadius = 36;
constexpr double kMaxSide = 48.0;
constexpr int kBins = 72;  // 5 degrees
// Pixels farther than this from the outline do not take part in the fit.
constexpr double kBand = 3.5;

inline double Cdf(double x) { return 0.5 * std::erfc(-x * (0.5 * std::numbers::sqrt2)); }
inline double Pdf(double x) { return 0.5 * std::numbers::inv_sqrtpi * std::numbers::sqrt2 * std::exp(-0.5 * x * x); }

// F2(h, k; rho) - F(h) F(k) = 1/(2 pi) * integral over [0, asin rho] of
// exp(-(h^2 + k^2 - 2 h k sin t) / (2 cos^2 t)) dt, by 6-point
// Gauss-Legendre (|asin rho| stays below about 1 for target apexes).
double WedgeCorrection(double h, double k, double rho) {
  static constexpr double kX[] = {0.2386191860831969, 0.6612093864662645, 0.9324695142031521};
  static constexpr double kW[] = {0.4679139345726910, 0.3607615730481386, 0.1713244923791704};
  const double top = std::asin(rho);
  const double half = 0.5 * top;
  const double hk = h * h + k * k, cross = 2.0 * h * k;
  double sum = 0;
  for (int i = 0; i < 3; ++i) {
    for (double sign : {-1.0, 1.0}) {
      const double t = half + sign * half * kX[i];
      const double c = std::cos(t);
      sum += kW[i] * std::exp(-(hk - cross * std::sin(t)) / (2.0 * c * c));
    }
  }
  return sum * half / (2.0 * kPi);
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

Corner CornerCdf(double x, double y, double rho) {
  const double fx = Cdf(x), fy = Cdf(y), px = Pdf(x), py = Pdf(y);
  if (x * x + y * y > 80.0) return Corner{fx * fy, px * fy, py * fx, 0.0};
  const double r1 = std::sqrt(std::max(1e-12, 1.0 - rho * rho));
  return Corner{fx * fy + WedgeCorrection(x, y, rho), px * Cdf((y - rho * x) / r1),
                py * Cdf((x - rho * y) / r1),
                std::exp(-(x * x - 2.0 * rho * x * y + y * y) / (2.0 * r1 * r1)) / (2.0 * kPi * r1)};
}

// Model value of one pixel; with `row`, its derivatives. The blurred
// triangle is exact: the outside of a triangle is the union of the three
// outer half-planes, no point lies in all three, so by inclusion-exclusion
// W = 1 - sum F(-d_i) + sum over pairs F2(-d_i, -d_j; n_i . n_j).
double Model(const Params& p, const Frame& f, const Pixel& px, Row* row) {
  const double dx = px.x - p[kAx], dy = px.y - p[kAy];
  const double c1 = std::cos(p[kT1]), s1 = std::sin(p[kT1]);
  const double c2 = std::cos(p[kT2]), s2 = std::sin(p[kT2]);
  const double c3 = std::cos(p[kT3]), s3 = std::sin(p[kT3]);
  const double s = p[kS];
  const double h = (c1 * dx + s1 * dy) / s;
  const double k = (c2 * dx + s2 * dy) / s;
  const double m = (p[kQ] - (c3 * dx + s3 * dy)) / s;
  const double r12 = std::cos(p[kT1] - p[kT2]);
  const double r13 = -std::cos(p[kT1] - p[kT3]);
  const double r23 = -std::cos(p[kT2] - p[kT3]);
  const Corner b12 = CornerCdf(-h, -k, r12), b13 = CornerCdf(-h, -m, r13),
               b23 = CornerCdf(-k, -m, r23);
  const double w = 1.0 - Cdf(-h) - Cdf(-k) - Cdf(-m) + b12.value + b13.value + b23.value;
  const double bx = px.x - f.x0, by = px.y - f.y0;
  const double inner = p[kC] + p[kTx] * bx + p[kTy] * by;
  const double value = p[kB0] + p[kBx] * bx + p[kBy] * by + inner * w;
  if (row != nullptr) {
    const double c = inner / s;
    const double wh = Pdf(h) - b12.dx - b13.dx;
    const double wk = Pdf(k) - b12.dy - b23.dx;
    const double wm = Pdf(m) - b13.dy - b23.dy;
    const double d12 = std::sin(p[kT1] - p[kT2]), d13 = std::sin(p[kT1] - p[kT3]),
                 d23 = std::sin(p[kT2] - p[kT3]);
    Row& r = *row;
    r[kAx] = c * (-wh * c1 - wk * c2 + wm * c3);
    r[kAy] = c * (-wh * s1 - wk * s2 + wm * s3);
    r[kT1] = c * wh * (-s1 * dx + c1 * dy) + inner * (-b12.drho * d12 + b13.drho * d13);
    r[kT2] = c * wk * (-s2 * dx + c2 * dy) + inner * (b12.drho * d12 + b23.drho * d23);
    r[kT3] = -c * wm * (-s3 * dx + c3 * dy) - inner * (b13.drho * d13 + b23.drho * d23);
    r[kQ] = c * wm;
    r[kS] = -c * (wh * h + wk * k + wm * m);
    r[kB0] = 1.0;
    r[kBx] = bx;
    r[kBy] = by;
    r[kC] = w;
    r[kTx] = w * bx;
    r[kTy] = w * by;
  }
  return value;
}

double SumOfSquares(const Params& p, const Frame& f, Normal* n, Row* g) {
  double ssr = 0;
  if (n != nullptr) {
    n->setZero();
    g->setZero();
  }
  Row row;
  for (const Pixel& px : f.pixels) {
    const double r = px.g - Model(p, f, px, n != nullptr ? &row : nullptr);
    ssr += r * r;
    if (n != nullptr) {
      n->selfadjointView<Eigen::Upper>().rankUpdate(row);
      *g += r * row;
    }
  }
  if (n != nullptr) *n = n->selfadjointView<Eigen::Upper>();
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

// The starting parameters and the pixels of the fit. False when no
// triangle can be started at (x0, y0).
bool Start(const GreyImage& im, double x0, double y0, Params* p, Frame* f) {
  double a1 = 0, a2 = 0;
  if (!SideDirections(im, x0, y0, &a1, &a2)) return false;
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
              0, 0, 0, 0, 0, 0};
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

// Levenberg-Marquardt from *p. Converged: the apex steps below 2e-5 px,
// no step lowers the sum any more, or the last step stayed below 0.01 px.
bool Solve(const Frame& f, Params* p, Normal* normal, double* ssr) {
  double lambda = 1e-3, lastStep = 1e9;
  Normal n;
  Row g;
  double current = SumOfSquares(*p, f, &n, &g);
  bool converged = false;
  for (int iter = 0; iter < 30 && !converged; ++iter) {
    Normal damped = n;
    for (int i = 0; i < kParams; ++i) damped(i, i) += lambda * std::max(n(i, i), 1e-9);
    const Row step = damped.ldlt().solve(g);
    if (!step.allFinite()) return false;
    Params trial = *p;
    for (int i = 0; i < kParams; ++i) trial[i] += step[i];
    if (trial[kS] < 0.1) trial[kS] = 0.1;
    const double next = SumOfSquares(trial, f, nullptr, nullptr);
    if (next <= current) {
      *p = trial;
      lambda = std::max(1e-7, lambda * 0.1);
      lastStep = std::hypot(step[kAx], step[kAy]);
      converged = lastStep < 2e-5;
      current = SumOfSquares(*p, f, &n, &g);
    } else {
      lambda *= 10;
      converged = lambda > 1e6;
    }
  }
  *normal = n;
  *ssr = current;
  return converged || lastStep < 1e-2;
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
  fit->sigmaX = std::sqrt(std::max(0.0, s0 * inv(kAx, kAx)));
  fit->sigmaY = std::sqrt(std::max(0.0, s0 * inv(kAy, kAy)));
}

}  // namespace

int RefineTriangleApex(const GreyImage& image, double x0, double y0, TriangleFit* fit) {
  *fit = TriangleFit{};
  if (!image.Valid() || !std::isfinite(x0) || !std::isfinite(y0) || x0 < 0 || y0 < 0 ||
      x0 > image.width - 1 || y0 > image.height - 1) {
    return 0;
  }
  Params p;
  Frame f;
  if (!Start(image, x0, y0, &p, &f)) return 0;
  Normal n;
  double ssr = 0;
  const bool ok = Solve(f, &p, &n, &ssr);
  Describe(p, f, n, ssr, fit);
  const bool inside = std::hypot(p[kAx] - x0, p[kAy] - y0) < 4.0 && p[kS] < 4.0 &&
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
