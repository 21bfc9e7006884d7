// Synthetic grey images for the extraction tests and benchmarks: a textured
// background, anti-aliased triangle targets and quadrilaterals at sub-pixel
// positions. Coordinates are pixels with integer values at pixel centres
// (pixel (x, y) covers [x - 0.5, x + 0.5) x [y - 0.5, y + 0.5)); a pixel's
// value is the area-weighted mix of shape and background, estimated on a
// 16 x 16 grid of samples.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

#include "measure/compute/grey_image.h"

namespace vistamet::testing {

struct Canvas {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> grey;

  Canvas(int32_t w, int32_t h, uint8_t value = 128)
      : width(w), height(h), grey(static_cast<size_t>(w) * static_cast<size_t>(h), value) {}
  GreyImage View() const { return GreyView(grey, width, height); }
  uint8_t& At(int32_t x, int32_t y) { return grey[static_cast<size_t>(y) * width + x]; }
};

// A smooth background: `base` plus a sum of slow waves (wavelengths of 40
// to 160 px) reaching +-amplitude, plus per-pixel noise of +-noise.
inline void FillTexture(Canvas* canvas, int base, int amplitude, int noise, uint32_t seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> uni(0.0, 1.0);
  struct Wave { double kx, ky, phase; };
  std::array<Wave, 4> waves;
  for (Wave& w : waves) {
    const double len = 40.0 + 120.0 * uni(rng);
    const double dir = 2.0 * std::numbers::pi * uni(rng);
    const double k = 2.0 * std::numbers::pi / len;
    w = {std::cos(dir) * k, std::sin(dir) * k, 2.0 * std::numbers::pi * uni(rng)};
  }
  std::uniform_int_distribution<int> jitter(-noise, noise);
  for (int32_t y = 0; y < canvas->height; ++y) {
    for (int32_t x = 0; x < canvas->width; ++x) {
      double s = 0;
      if (amplitude != 0) {
        for (const Wave& w : waves) s += std::sin(w.kx * x + w.ky * y + w.phase);
      }
      const int v = base + static_cast<int>(std::lround(amplitude * s / 4.0)) +
                    (noise > 0 ? jitter(rng) : 0);
      canvas->At(x, y) = static_cast<uint8_t>(std::clamp(v, 0, 255));
    }
  }
}

// Paints the region where inside(px, py) holds over the pixel box
// [x0, x1] x [y0, y1] (clipped), with `value` mixed by covered area.
template <typename Inside>
void PaintShape(Canvas* canvas, double x0, double y0, double x1, double y1, int value,
                Inside inside) {
  constexpr int kSub = 16;
  const int32_t ix0 = std::max<int32_t>(0, static_cast<int32_t>(std::floor(x0)) - 1);
  const int32_t iy0 = std::max<int32_t>(0, static_cast<int32_t>(std::floor(y0)) - 1);
  const int32_t ix1 = std::min<int32_t>(canvas->width - 1, static_cast<int32_t>(std::ceil(x1)) + 1);
  const int32_t iy1 = std::min<int32_t>(canvas->height - 1, static_cast<int32_t>(std::ceil(y1)) + 1);
  for (int32_t y = iy0; y <= iy1; ++y) {
    for (int32_t x = ix0; x <= ix1; ++x) {
      int hits = 0;
      for (int sy = 0; sy < kSub; ++sy) {
        const double py = y - 0.5 + (sy + 0.5) / kSub;
        for (int sx = 0; sx < kSub; ++sx) {
          const double px = x - 0.5 + (sx + 0.5) / kSub;
          if (inside(px, py)) ++hits;
        }
      }
      if (hits == 0) continue;
      const double a = static_cast<double>(hits) / (kSub * kSub);
      const double v = canvas->At(x, y) * (1.0 - a) + value * a;
      canvas->At(x, y) = static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L));
    }
  }
}

// A downward-pointing triangle target: apex at (apexX, apexY), top edge
// `height` pixels above it, `base` pixels wide, turned about the apex by
// `degrees` (counter-clockwise on screen).
inline void DrawTriangle(Canvas* canvas, double apexX, double apexY, double base, double height,
                         int value, double degrees = 0) {
  const double half = base / 2.0;
  const double a = degrees * std::numbers::pi / 180.0;
  const double c = std::cos(a), s = std::sin(a);
  const double reach = std::hypot(half, height);
  PaintShape(canvas, apexX - reach, apexY - reach, apexX + reach, apexY + reach, value,
             [&](double px, double py) {
               // Into the target's own axes (y down, apex at the origin).
               const double dx = px - apexX, dy = py - apexY;
               const double u = c * dx - s * dy;
               const double v = s * dx + c * dy;
               if (v > 0 || v < -height) return false;
               return std::fabs(u) <= half * (-v) / height;
             });
}

// A convex polygon of N corners (in order, either orientation), pixels
// with y downwards.
template <size_t N>
void DrawConvex(Canvas* canvas, const std::array<std::array<double, 2>, N>& corners, int value) {
  double x0 = corners[0][0], x1 = corners[0][0], y0 = corners[0][1], y1 = corners[0][1];
  for (const auto& p : corners) {
    x0 = std::min(x0, p[0]);
    x1 = std::max(x1, p[0]);
    y0 = std::min(y0, p[1]);
    y1 = std::max(y1, p[1]);
  }
  PaintShape(canvas, x0, y0, x1, y1, value, [&](double px, double py) {
    size_t pos = 0, neg = 0;
    for (size_t i = 0; i < N; ++i) {
      const auto& a = corners[i];
      const auto& b = corners[(i + 1) % N];
      const double cross = (b[0] - a[0]) * (py - a[1]) - (b[1] - a[1]) * (px - a[0]);
      (cross >= 0 ? pos : neg) += 1;
    }
    return pos == N || neg == N;
  });
}

// A convex quadrilateral.
inline void DrawQuad(Canvas* canvas, const std::array<std::array<double, 2>, 4>& q, int value) {
  DrawConvex(canvas, q, value);
}

// The corners of a w x h rectangle centred at (cx, cy), turned by `degrees`
// (counter-clockwise on screen), in the order top-left, top-right,
// bottom-right, bottom-left before turning. Pixels, y downwards.
inline std::array<std::array<double, 2>, 4> TurnedRectangle(double cx, double cy, double w,
                                                            double h, double degrees) {
  const double a = degrees * std::numbers::pi / 180.0;
  const double c = std::cos(a), s = std::sin(a);
  const std::array<std::array<double, 2>, 4> local = {
      {{-w / 2, -h / 2}, {w / 2, -h / 2}, {w / 2, h / 2}, {-w / 2, h / 2}}};
  std::array<std::array<double, 2>, 4> out;
  for (int i = 0; i < 4; ++i) {
    // y points down, so a counter-clockwise turn on screen is -a in these axes.
    out[i] = {cx + c * local[i][0] + s * local[i][1], cy - s * local[i][0] + c * local[i][1]};
  }
  return out;
}

// A triangle given by its three corners (apex first), any orientation.
inline void DrawTriangleCorners(Canvas* canvas, const std::array<std::array<double, 2>, 3>& t,
                                int value) {
  DrawConvex(canvas, t, value);
}

// Optical blur (a Gaussian of `sigma` px; none for sigma <= 0) and grey
// noise (uniform, +-noise levels, as FillTexture's), rounded back to bytes.
inline void BlurAndNoise(Canvas* canvas, double sigma, double noise, uint32_t seed) {
  const int32_t w = canvas->width, h = canvas->height;
  std::vector<double> a(canvas->grey.begin(), canvas->grey.end()), b(a.size());
  if (sigma > 0) {
    const int r = static_cast<int>(std::ceil(4 * sigma));
    std::vector<double> k(2 * r + 1);
    double sum = 0;
    for (int i = -r; i <= r; ++i) sum += k[i + r] = std::exp(-0.5 * i * i / (sigma * sigma));
    for (double& v : k) v /= sum;
    auto at = [](int v, int n) { return std::clamp(v, 0, n - 1); };
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) {
        double v = 0;
        for (int i = -r; i <= r; ++i) v += k[i + r] * a[static_cast<size_t>(y) * w + at(x + i, w)];
        b[static_cast<size_t>(y) * w + x] = v;
      }
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) {
        double v = 0;
        for (int i = -r; i <= r; ++i) v += k[i + r] * b[static_cast<size_t>(at(y + i, h)) * w + x];
        a[static_cast<size_t>(y) * w + x] = v;
      }
  }
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> n(-noise, noise > 0 ? noise : 1.0);
  for (size_t i = 0; i < a.size(); ++i) {
    const double v = a[i] + (noise > 0 ? n(rng) : 0.0);
    canvas->grey[i] = static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L));
  }
}

// A sheet of triangle targets with exact apexes: `count` targets on a grid
// of 80 px cells, each `base` px wide (drawn from [minBase, maxBase]) and
// 0.62 base high, turned by any angle (or up to +-maxRoll degrees), its
// corners moved by up to `skew` of the base (a mild perspective), dark on
// a light plate or light on a dark one.
struct TargetSheetOptions {
  int count = 100;
  double minBase = 8, maxBase = 40;
  double maxRoll = 180;
  double skew = 0.06;
  bool dark = true;
  double blur = 0;
  double noise = 0;   // uniform, +-noise grey levels
  int plateWaves = 24;  // amplitude of the plate's slow waves
  uint32_t seed = 1;
};

struct TargetSheet {
  Canvas image{1, 1};
  std::vector<std::array<double, 2>> apexes;
};

inline TargetSheet MakeTargetSheet(const TargetSheetOptions& o) {
  const int cols = 10, cell = 80;
  const int rows = (o.count + cols - 1) / cols;
  TargetSheet sheet;
  sheet.image = Canvas(cols * cell, rows * cell);
  FillTexture(&sheet.image, o.dark ? 200 : 60, o.plateWaves, 0, o.seed);
  std::mt19937 rng(o.seed * 7 + 3);
  std::uniform_real_distribution<double> u(0.0, 1.0);
  for (int i = 0; i < o.count; ++i) {
    const double base = o.minBase + (o.maxBase - o.minBase) * u(rng);
    const double roll = (2 * u(rng) - 1) * o.maxRoll * std::numbers::pi / 180.0;
    const double c = std::cos(roll), s = std::sin(roll);
    const double cx = (i % cols + 0.5) * cell + 4 * (u(rng) - 0.5);
    const double cy = (i / cols + 0.5) * cell + 4 * (u(rng) - 0.5);
    // Corners about the centroid, apex down before turning.
    const double h = 0.62 * base;
    std::array<std::array<double, 2>, 3> local = {
        {{0, 2 * h / 3}, {-base / 2, -h / 3}, {base / 2, -h / 3}}};
    std::array<std::array<double, 2>, 3> t;
    for (int k = 0; k < 3; ++k) {
      const double lx = local[k][0] + o.skew * base * (2 * u(rng) - 1);
      const double ly = local[k][1] + o.skew * base * (2 * u(rng) - 1);
      t[k] = {cx + c * lx + s * ly, cy - s * lx + c * ly};
    }
    DrawTriangleCorners(&sheet.image, t, o.dark ? 30 : 230);
    sheet.apexes.push_back(t[0]);
  }
  BlurAndNoise(&sheet.image, o.blur, o.noise, o.seed + 99);
  return sheet;
}

}  // namespace vistamet::testing
