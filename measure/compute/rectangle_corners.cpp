#include "measure/compute/rectangle_corners.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vistamet {
namespace {

constexpr int kSteepReachInside = 30;   // columns scanned beyond a steep side
constexpr int kSteepReachOutside = 1;   // columns scanned before it
constexpr int kFlatReach = 50;          // rows scanned from a flat side
constexpr int kStopGradient = 10;       // a flat bright area ends the scan...
constexpr int kBrightGrey = 179;        // ...when both pixels exceed this
constexpr double kOutlierLimit = 1.0;   // pixels
constexpr int kPolarityBand = 8;        // pixels around the outline

struct Vec {
  double x = 0, y = 0;
};

Vec ToVec(CornerPoint p) { return Vec{p.x, p.y}; }

double Cross(Vec a, Vec b, Vec p) { return (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x); }

// Direction angle of a -> b in [0, 2 pi).
double DirectionAngle(Vec a, Vec b) {
  double t = std::atan2(b.y - a.y, b.x - a.x);
  if (t < 0) t += 2.0 * std::numbers::pi;
  return t;
}

// The clicked quadrilateral: a point is inside when it lies on the same side
// of all four sides (on a side counts as inside).
class Outline {
 public:
  explicit Outline(const CornerQuad& q) {
    for (int i = 0; i < 4; ++i) p_[i] = ToVec(q[i]);
  }
  bool Contains(double x, double y) const {
    int pos = 0, neg = 0;
    for (int i = 0; i < 4; ++i) {
      const double c = Cross(p_[i], p_[(i + 1) % 4], Vec{x, y});
      if (c > 0) ++pos;
      if (c < 0) ++neg;
    }
    return pos == 0 || neg == 0;
  }
  // Opposite sides that cross each other, or no area at all.
  bool Degenerate() const {
    double area = 0;
    for (int i = 0; i < 4; ++i) {
      const Vec& a = p_[i];
      const Vec& b = p_[(i + 1) % 4];
      area += a.x * b.y - b.x * a.y;
    }
    if (!std::isfinite(area) || std::fabs(area) < 1e-9) return true;
    return SegmentsCross(p_[0], p_[1], p_[2], p_[3]) || SegmentsCross(p_[1], p_[2], p_[3], p_[0]);
  }

 private:
  static bool SegmentsCross(Vec a, Vec b, Vec c, Vec d) {
    const double d1 = Cross(a, b, c), d2 = Cross(a, b, d);
    const double d3 = Cross(c, d, a), d4 = Cross(c, d, b);
    return ((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) &&
           ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0));
  }
  std::array<Vec, 4> p_;
};

// A double to an int index, floored and held within [lo, hi] (the scans
// only need a little beyond the image, so clamping never changes a result).
int32_t FloorClamped(double v, int32_t lo, int32_t hi) {
  if (!(v >= lo)) return lo;  // also NaN
  if (v > hi) return hi;
  return static_cast<int32_t>(std::floor(v));
}

// The grey values read by a scan, optionally inverted.
struct Grey {
  const GreyImage& image;
  bool invert;
  int At(int32_t x, int32_t y) const {
    const int v = image.At(x, y);
    return invert ? 255 - v : v;
  }
};

// One scan line: positions pos = start + dir * k (k = 0 .. count - 1) along
// x (a row, fixed y = line) or along y (a column, fixed x = line).
struct ScanLine {
  bool alongX = true;
  int32_t line = 0;
  int32_t start = 0;
  int dir = 1;
  int count = 0;
  bool halfPixel = false;  // the plain position gets +0.5 (scans towards +)
};

// The scan's gradient at position pos: ahead minus behind. Needs pos - 1
// and pos + 1 inside the image.
int GradientAt(const Grey& g, const ScanLine& s, int32_t pos) {
  return s.alongX ? s.dir * (g.At(pos + 1, s.line) - g.At(pos - 1, s.line))
                  : s.dir * (g.At(s.line, pos + 1) - g.At(s.line, pos - 1));
}

// Runs one scan line; returns false when no position took part, else the
// edge position (along the scan axis, pixels) in *edge.
bool ScanForEdge(const Grey& g, const Outline& outline, const ScanLine& s, bool subPixel,
                 double* edge) {
  const int32_t extent = s.alongX ? g.image.width : g.image.height;
  int best = -255;  // the lowest gradient: the first position always takes it
  int32_t bestPos = 0;
  bool any = false;
  bool farEnd = false;
  for (int k = 0; k < s.count; ++k) {
    const int32_t pos = s.start + s.dir * k;
    if (pos < 1 || pos > extent - 2) continue;
    const double px = s.alongX ? pos : s.line;
    const double py = s.alongX ? s.line : pos;
    if (!outline.Contains(px, -py)) continue;
    any = true;
    const int grad = GradientAt(g, s, pos);
    if (grad >= best) {
      best = grad;
      bestPos = pos;
    }
    const int here = s.alongX ? g.At(pos, s.line) : g.At(s.line, pos);
    const int ahead = s.alongX ? g.At(pos + s.dir, s.line) : g.At(s.line, pos + s.dir);
    if (grad < kStopGradient && here > kBrightGrey && ahead > kBrightGrey) {
      farEnd = bestPos == pos;
      break;
    }
  }
  if (!any) return false;
  if (farEnd) {
    const int32_t far = s.start + s.dir * (s.count - 1);
    *edge = far + (!subPixel && s.halfPixel ? 0.5 : 0.0);
    return true;
  }
  if (!subPixel) {
    *edge = bestPos + (s.halfPixel ? 0.5 : 0.0);
    return true;
  }
  // Parabola through the gradients at bestPos - 1, bestPos, bestPos + 1
  // (image positions, whether scanned or not). For an area-sampled step
  // edge the central difference is a tent over the two pixels beside the
  // edge, and the parabola's vertex is the edge itself.
  double offset = 0;
  if (bestPos - 2 >= 0 && bestPos + 2 <= extent - 1) {
    const double gm = GradientAt(g, s, bestPos - 1);
    const double gp = GradientAt(g, s, bestPos + 1);
    const double denom = gm + gp - 2.0 * best;
    if (best >= gm && best >= gp && denom < 0) offset = 0.5 * (gm - gp) / denom;
  }
  *edge = bestPos + offset;
  return true;
}

}  // namespace

bool ClockwiseOutline(const CornerQuad& corners) {
  for (int i = 1; i <= 3; ++i) {
    const Vec prev = ToVec(corners[i - 1]);
    const Vec here = ToVec(corners[i]);
    const Vec next = ToVec(corners[(i + 1) % 4]);
    const double a = DirectionAngle(prev, here);
    const double b = DirectionAngle(here, next);
    if (!(a - b > 0 || a - b < -std::numbers::pi)) return false;
  }
  return true;
}

double SideSlope(CornerPoint p, CornerPoint q) {
  if (p.x == q.x) return kVerticalSlope;
  return (static_cast<double>(q.y) - p.y) / (static_cast<double>(q.x) - p.x);
}

int CollectEdgeSamples(const GreyImage& image, const CornerQuad& corners, int side,
                       bool clockwise, bool invert, bool subPixelEdges,
                       std::vector<EdgeSample>* samples, bool* steep) {
  samples->clear();
  *steep = false;
  if (!image.Valid() || side < 0 || side > 3) return 0;
  const CornerPoint from = corners[side];
  const CornerPoint to = corners[(side + 1) % 4];
  const double k = SideSlope(from, to);
  if (!std::isfinite(k)) return 0;
  *steep = std::fabs(k) > 1.0;

  // The shortened side; the second end moves by a sixth of what is left.
  Vec p{from.x, from.y}, q{to.x, to.y};
  p.x += (q.x - p.x) / 6.0;
  p.y += (q.y - p.y) / 6.0;
  q.x -= (q.x - p.x) / 6.0;
  q.y -= (q.y - p.y) / 6.0;

  const Outline outline(corners);
  const Grey g{image, invert};
  const int32_t w = image.width, h = image.height;
  // Margins well beyond any scan reach keep every clamped index harmless.
  const int32_t margin = kFlatReach + 4;

  if (*steep) {
    // Scan lines are rows over the side's row span (row = -y).
    const bool rightwards = clockwise ? to.y >= from.y : to.y < from.y;
    const double rowLo = std::min(-p.y, -q.y), rowHi = std::max(-p.y, -q.y);
    const int32_t r0 = std::max<int32_t>(0, FloorClamped(rowLo, -1, h));
    const int32_t r1 = std::min<int32_t>(h - 1, FloorClamped(rowHi, -1, h));
    for (int32_t r = r0; r <= r1; ++r) {
      const double y = -static_cast<double>(r);
      const double x = from.x + (y - from.y) / k;
      const int32_t xs = FloorClamped(x, -margin, w + margin);
      ScanLine s;
      s.alongX = true;
      s.line = r;
      s.count = kSteepReachOutside + kSteepReachInside + 1;
      if (rightwards) {
        s.start = xs - kSteepReachOutside;
        s.dir = +1;
        s.halfPixel = true;
      } else {
        s.start = xs + kSteepReachOutside;
        s.dir = -1;
      }
      double edge = 0;
      if (ScanForEdge(g, outline, s, subPixelEdges, &edge)) samples->push_back({y, edge});
    }
  } else {
    // Scan lines are columns over the side's column span.
    const bool downwards = clockwise ? to.x >= from.x : to.x < from.x;
    const double colLo = std::min(p.x, q.x), colHi = std::max(p.x, q.x);
    const int32_t c0 = std::max<int32_t>(0, FloorClamped(colLo, -1, w));
    const int32_t c1 = std::min<int32_t>(w - 1, FloorClamped(colHi, -1, w));
    for (int32_t c = c0; c <= c1; ++c) {
      const double y = from.y + k * (c - static_cast<double>(from.x));
      const int32_t rs = FloorClamped(-y, -margin, h + margin);
      ScanLine s;
      s.alongX = false;
      s.line = c;
      s.start = rs;
      s.count = kFlatReach + 1;
      if (downwards) {
        s.dir = +1;
        s.halfPixel = true;
      } else {
        s.dir = -1;
      }
      double edge = 0;
      if (ScanForEdge(g, outline, s, subPixelEdges, &edge)) {
        samples->push_back({static_cast<double>(c), -edge});
      }
    }
  }
  return static_cast<int>(samples->size());
}

int FitEdgeLine(std::vector<EdgeSample> samples, bool steep, EdgeLine* line) {
  double k = 0, b = 0;
  for (;;) {
    const size_t n = samples.size();
    if (n < 2) return 0;
    double mu = 0, mv = 0;
    for (const EdgeSample& s : samples) {
      mu += s.u;
      mv += s.v;
    }
    mu /= static_cast<double>(n);
    mv /= static_cast<double>(n);
    double suv = 0, suu = 0;
    for (const EdgeSample& s : samples) {
      suv += (s.u - mu) * (s.v - mv);
      suu += (s.u - mu) * (s.u - mu);
    }
    if (!(suu > 0)) return 0;
    k = suv / suu;
    b = mv - k * mu;
    size_t worst = 0;
    double worstResidual = -1;
    for (size_t i = 0; i < n; ++i) {
      const double r = std::fabs(samples[i].v - (k * samples[i].u + b));
      if (r > worstResidual) {
        worstResidual = r;
        worst = i;
      }
    }
    if (!(worstResidual > kOutlierLimit)) break;
    samples.erase(samples.begin() + static_cast<std::ptrdiff_t>(worst));
  }
  if (!std::isfinite(k) || !std::isfinite(b)) return 0;
  *line = steep ? EdgeLine{1.0, -k, -b} : EdgeLine{k, -1.0, b};
  return 1;
}

int IntersectEdgeLines(const EdgeLine& first, const EdgeLine& second, CornerPoint* corner) {
  const double a1 = first.a, b1 = first.b, c1 = first.c;
  const double a2 = second.a, b2 = second.b, c2 = second.c;
  double x = 0, y = 0;
  if (a1 != 0) {
    const double det = a1 * b2 - b1 * a2;
    if (det == 0) return 0;
    y = (a2 * c1 - a1 * c2) / det;
    x = -(c1 + b1 * y) / a1;
  } else {
    if (b1 == 0 || a2 == 0) return 0;
    y = -c1 / b1;
    x = -(c2 + b2 * y) / a2;
  }
  const float fx = static_cast<float>(x), fy = static_cast<float>(y);
  if (!std::isfinite(fx) || !std::isfinite(fy)) return 0;
  *corner = CornerPoint{fx, fy};
  return 1;
}

namespace {

// True when the outline is darker inside than in a band around it.
bool DarkInside(const GreyImage& image, const Outline& outline, const CornerQuad& q) {
  double x0 = q[0].x, x1 = q[0].x, y0 = -q[0].y, y1 = -q[0].y;
  for (const CornerPoint& c : q) {
    x0 = std::min<double>(x0, c.x);
    x1 = std::max<double>(x1, c.x);
    y0 = std::min<double>(y0, -c.y);
    y1 = std::max<double>(y1, -c.y);
  }
  const int32_t cx0 = std::max<int32_t>(0, FloorClamped(x0 - kPolarityBand, -1, image.width));
  const int32_t cx1 = std::min<int32_t>(image.width - 1,
                                        FloorClamped(x1 + kPolarityBand, -1, image.width));
  const int32_t cy0 = std::max<int32_t>(0, FloorClamped(y0 - kPolarityBand, -1, image.height));
  const int32_t cy1 = std::min<int32_t>(image.height - 1,
                                        FloorClamped(y1 + kPolarityBand, -1, image.height));
  if (cx0 > cx1 || cy0 > cy1) return false;
  // A sparse grid is plenty for two means; at most about 512 x 512 samples.
  const int32_t step = std::max<int32_t>(1, std::max(cx1 - cx0, cy1 - cy0) / 512);
  double sumIn = 0, sumOut = 0;
  int64_t nIn = 0, nOut = 0;
  for (int32_t y = cy0; y <= cy1; y += step) {
    for (int32_t x = cx0; x <= cx1; x += step) {
      if (outline.Contains(x, -static_cast<double>(y))) {
        sumIn += image.At(x, y);
        ++nIn;
      } else {
        sumOut += image.At(x, y);
        ++nOut;
      }
    }
  }
  if (nIn == 0 || nOut == 0) return false;
  return sumIn / static_cast<double>(nIn) < sumOut / static_cast<double>(nOut);
}

}  // namespace

int LocateRectangleCorners(const GreyImage& image, const CornerQuad& rough, CornerQuad* corners,
                           const RectangleCornerOptions& options, std::array<bool, 4>* found) {
  *corners = CornerQuad{};
  if (found) found->fill(false);
  if (!image.Valid()) return 0;
  for (const CornerPoint& c : rough) {
    if (!std::isfinite(c.x) || !std::isfinite(c.y)) return 0;
  }
  const Outline outline(rough);
  if (outline.Degenerate()) return 0;

  const bool clockwise = ClockwiseOutline(rough);
  const bool invert = options.detectPolarity && DarkInside(image, outline, rough);
  std::array<EdgeLine, 4> lines;
  std::array<bool, 4> fitted{};
  std::vector<EdgeSample> samples;
  for (int side = 0; side < 4; ++side) {
    bool steep = false;
    CollectEdgeSamples(image, rough, side, clockwise, invert, options.subPixelEdges, &samples,
                       &steep);
    fitted[side] = FitEdgeLine(samples, steep, &lines[side]) == 1;
  }
  int count = 0;
  for (int i = 0; i < 4; ++i) {
    const int before = (i + 3) % 4;
    if (!fitted[before] || !fitted[i]) continue;
    CornerPoint c;
    if (IntersectEdgeLines(lines[before], lines[i], &c)) {
      (*corners)[i] = c;
      if (found) (*found)[i] = true;
      ++count;
    }
  }
  return count;
}

}  // namespace vistamet
