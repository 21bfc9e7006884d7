#include "measure/compute/lsm_matching.h"

#include <array>
#include <cmath>
#include <cstdint>

#include "measure/compute/bundle_adjuster.h"
#include "measure/compute/symmetric_solver.h"

namespace vistamet {
namespace {

constexpr int kHalfCols = 4;  // template: 9 columns, u = -4 .. 4
constexpr int kHalfRows = 3;  // template: 7 rows,    v = -3 .. 3
constexpr int kCols = 2 * kHalfCols + 1;
constexpr int kRows = 2 * kHalfRows + 1;
constexpr int kWinCols = kCols + 2;  // one-sample border for the gradients
constexpr int kWinRows = kRows + 2;
constexpr int kSamples = kRows * kCols;  // 63

struct Grey {
  const uint8_t* data = nullptr;
  int width = 0, height = 0;

  uint8_t At(int row, int col) const {
    return data[static_cast<size_t>(row) * width + col];
  }
  // Bilinear value at (x, y) truncated to a whole grey level. False when a
  // neighbour would lie outside the image.
  bool Sample(double x, double y, int* value) const {
    if (!(x >= 0.0 && y >= 0.0 && x < width - 1 && y < height - 1)) return false;
    const int c = static_cast<int>(x), r = static_cast<int>(y);
    const double fx = x - c, fy = y - r;
    const double v = (At(r, c) * (1 - fy) + At(r + 1, c) * fy) * (1 - fx) +
                     (At(r, c + 1) * (1 - fy) + At(r + 1, c + 1) * fy) * fx;
    *value = static_cast<int>(v);
    return true;
  }
};

bool MakeGrey(const ImageHolder& image, Grey* out) {
  if (image.width < 2 || image.height < 2) return false;
  const size_t need = static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
  if (image.grey.size() < need) return false;
  *out = {image.grey.data(), image.width, image.height};
  return true;
}

struct Affine {
  double T = 0, A = 0, B = 0, W = 0, C = 0, D = 0;
};

}  // namespace

MatchOutcome MatchPoint(const ImageHolder& reference, const ImageHolder& target,
                        MatchRequest& request, int maxPasses) {
  Grey ref, tgt;
  if (!MakeGrey(reference, &ref) || !MakeGrey(target, &tgt)) return MatchOutcome::kRefused;

  // Template t(v, u), stored [v + 3][u + 4].
  std::array<std::array<int, kCols>, kRows> t;
  double st = 0, stt = 0;
  for (int r = 0; r < kRows; ++r)
    for (int c = 0; c < kCols; ++c) {
      if (!ref.Sample(request.refX - kHalfCols + c, request.refY - kHalfRows + r, &t[r][c]))
        return MatchOutcome::kRefused;
      st += t[r][c];
      stt += static_cast<double>(t[r][c]) * t[r][c];
    }
  const double templateSpread = kSamples * stt - st * st;
  if (!(templateSpread > 0)) return MatchOutcome::kRefused;

  const double tx = request.targetX, ty = request.targetY;
  Affine cur, best;
  double bestRho = 0;
  // Window g(v, u), stored [v + 4][u + 5].
  std::array<std::array<int, kWinCols>, kWinRows> g;
  for (int pass = 0; pass < maxPasses; ++pass) {
    for (int r = 0; r < kWinRows; ++r) {
      const double v = r - (kHalfRows + 1);
      for (int c = 0; c < kWinCols; ++c) {
        const double u = c - (kHalfCols + 1);
        const double x = tx + cur.T + (1 + cur.A) * u + cur.B * v;
        const double y = ty + cur.W + cur.C * u + (1 + cur.D) * v;
        if (!tgt.Sample(x, y, &g[r][c])) return MatchOutcome::kRefused;
      }
    }

    double sg = 0, sgg = 0, sgt = 0;
    for (int r = 0; r < kRows; ++r)
      for (int c = 0; c < kCols; ++c) {
        const double gv = g[r + 1][c + 1];
        sg += gv;
        sgg += gv * gv;
        sgt += gv * t[r][c];
      }
    const double windowSpread = kSamples * sgg - sg * sg;
    if (!(windowSpread > 0)) return MatchOutcome::kRefused;
    const double rho = (kSamples * sgt - sg * st) / std::sqrt(templateSpread * windowSpread);

    if (pass == 0) {
      bestRho = rho;
    } else if (rho <= bestRho) {
      request.targetX = tx + best.T;
      request.targetY = ty + best.W;
      return MatchOutcome::kMatched;
    } else {
      bestRho = rho;
      best = cur;
    }

    // Normal equations of g + gx*(d0 + d1 u + d2 v) + gy*(d3 + d4 u + d5 v) = t.
    constexpr int n = 6;
    std::array<double, BundleAdjuster::PackedSize(n)> N{};
    std::array<double, n> rhs{};
    for (int r = 0; r < kRows; ++r) {
      const double v = r - kHalfRows;
      for (int c = 0; c < kCols; ++c) {
        const double u = c - kHalfCols;
        const int wr = r + 1, wc = c + 1;
        const double gx = g[wr][wc + 1] - g[wr][wc - 1];
        const double gy = g[wr + 1][wc] - g[wr - 1][wc];
        const std::array<double, n> row = {gx, u * gx, v * gx, gy, u * gy, v * gy};
        BundleAdjuster::AddObservation(row, n, t[r][c] - g[wr][wc], N, rhs, 1.0);
      }
    }
    std::array<double, n> d;
    if (!SolveSymmetricSystem(N, rhs, n, d)) return MatchOutcome::kRefused;

    // The increment acts on the window's displacement from the target point,
    // after the best parameters so far.
    const Affine& s = best;
    cur.T = d[0] + (1 + d[1]) * s.T + d[2] * s.W;
    cur.A = s.A + d[1] * (1 + s.A) + d[2] * s.C;
    cur.B = s.B + d[1] * s.B + d[2] * (1 + s.D);
    cur.W = s.W + d[3] + d[4] * s.T + d[5] * s.W;
    cur.C = s.C + d[4] * (1 + s.A) + d[5] * s.C;
    cur.D = s.D + d[4] * s.B + d[5] * (1 + s.D);
  }
  return MatchOutcome::kNoPeak;
}

int MatchPoints(const ImageHolder& reference, const ImageHolder& target,
                std::span<MatchRequest> requests) {
  int matched = 0;
  for (MatchRequest& r : requests)
    if (MatchPoint(reference, target, r) == MatchOutcome::kMatched) ++matched;
  return matched;
}

MatchOutcome MatchImagePoint(const std::vector<ImageHolder>& images,
                             const ImagePoint& reference, ImagePoint& target) {
  auto valid = [&images](int32_t i) { return i >= 0 && static_cast<size_t>(i) < images.size(); };
  if (!valid(reference.photoIndex) || !valid(target.photoIndex)) return MatchOutcome::kRefused;
  MatchRequest request{reference.x, reference.y, target.x, target.y};
  const MatchOutcome outcome =
      MatchPoint(images[reference.photoIndex], images[target.photoIndex], request);
  if (outcome == MatchOutcome::kMatched) {
    target.x = request.targetX;
    target.y = request.targetY;
  }
  return outcome;
}

MatchOutcome MatchImagePoint(const GreyPhotoSource& photos, const ImagePoint& reference,
                             ImagePoint& target) {
  const std::shared_ptr<const ImageHolder> ref = photos ? photos(reference.photoIndex) : nullptr;
  const std::shared_ptr<const ImageHolder> tgt = ref ? photos(target.photoIndex) : nullptr;
  if (!ref || !tgt) return MatchOutcome::kRefused;
  MatchRequest request{reference.x, reference.y, target.x, target.y};
  const MatchOutcome outcome = MatchPoint(*ref, *tgt, request);
  if (outcome == MatchOutcome::kMatched) {
    target.x = request.targetX;
    target.y = request.targetY;
  }
  return outcome;
}

}  // namespace vistamet
