#include "measure/compute/corresponding_points.h"

#include <cmath>

#include "measure/compute/bundle_adjuster.h"
#include "measure/compute/symmetric_solver.h"

namespace vistamet {
namespace {

constexpr size_t kMinProjectPoints = 8;  // 7 or fewer: no common points
constexpr size_t kMinPairs = 4;
constexpr double kMinTolerance = 0.1;

int FindOnPhoto(const std::vector<ImagePoint>& points, int photo, int32_t number) {
  for (size_t i = 0; i < points.size(); ++i)
    if (points[i].photoIndex == photo && points[i].pointNumber == number)
      return static_cast<int>(i);
  return -1;
}

// First image point of `photo` whose distance to (x, y) is at most radius.
int FindNear(const std::vector<ImagePoint>& points, int photo, double x, double y,
             double radius) {
  for (size_t i = 0; i < points.size(); ++i) {
    const ImagePoint& p = points[i];
    if (p.photoIndex == photo && std::hypot(p.x - x, p.y - y) <= radius)
      return static_cast<int>(i);
  }
  return -1;
}

bool SpacePointExists(const std::vector<SpacePoint>& spacePoints, int32_t number) {
  for (const SpacePoint& sp : spacePoints)
    if (sp.pointNumber == number) return true;
  return false;
}

bool PairsFit(const std::vector<ImagePoint>& points, const CommonPoints& pairs, int photoA,
              int photoB) {
  for (const CommonPair& p : pairs) {
    if (p.a < 0 || p.b < 0 || static_cast<size_t>(p.a) >= points.size() ||
        static_cast<size_t>(p.b) >= points.size()) {
      return false;
    }
    if (points[p.a].photoIndex != photoA || points[p.b].photoIndex != photoB) return false;
  }
  return true;
}

// Rounds a carried position to whole pixels.
bool Round(double x, double y, double* X, double* Y) {
  *X = std::floor(x + 0.5);
  *Y = std::floor(y + 0.5);
  return std::isfinite(*X) && std::isfinite(*Y);
}

}  // namespace

bool FindCommonPoints(const std::vector<ImagePoint>& points, int photoA, int photoB,
                      CommonPoints* pairs) {
  if (pairs) pairs->clear();
  if (points.size() < kMinProjectPoints) return false;
  size_t found = 0;
  for (size_t i = 0; i < points.size(); ++i) {
    const ImagePoint& p = points[i];
    if (p.photoIndex != photoA || p.pointNumber < 0) continue;
    const int j = FindOnPhoto(points, photoB, p.pointNumber);
    if (j < 0) continue;
    ++found;
    if (pairs) pairs->push_back({static_cast<int>(i), j});
  }
  return found >= kMinPairs;
}

int PlaneTransform::Apply(double x, double y, double* X, double* Y) const {
  const double w = a[6] * x + a[7] * y + 1.0;
  if (w == 0.0) return 0;
  const double tx = (a[0] * x + a[1] * y + a[2]) / w;
  const double ty = (a[3] * x + a[4] * y + a[5]) / w;
  if (!std::isfinite(tx) || !std::isfinite(ty)) return 0;
  *X = tx;
  *Y = ty;
  return 1;
}

int EstimatePlaneTransform(const std::vector<ImagePoint>& points, const CommonPoints& pairs,
                           PlaneTransform* t) {
  constexpr int n = 8;
  if (pairs.size() < kMinPairs) return 0;
  std::array<double, BundleAdjuster::PackedSize(n)> N{};
  std::array<double, n> u{};
  for (const CommonPair& p : pairs) {
    if (p.a < 0 || p.b < 0 || static_cast<size_t>(p.a) >= points.size() ||
        static_cast<size_t>(p.b) >= points.size()) {
      return 0;
    }
    const double x = points[p.a].x, y = points[p.a].y;
    const double X = points[p.b].x, Y = points[p.b].y;
    const std::array<double, n> rx = {x, y, 1, 0, 0, 0, -x * X, -y * X};
    const std::array<double, n> ry = {0, 0, 0, x, y, 1, -x * Y, -y * Y};
    BundleAdjuster::AddObservation(rx, n, X, N, u, 1.0);
    BundleAdjuster::AddObservation(ry, n, Y, N, u, 1.0);
  }
  PlaneTransform out;
  if (!SolveSymmetricSystem(N, u, n, out.a)) return 0;
  *t = out;
  return 1;
}

int32_t HighestImagePointNumber(const std::vector<ImagePoint>& points) {
  int32_t highest = kNoNumber;
  for (const ImagePoint& p : points)
    if (!IsReferenceNumber(p.pointNumber) && p.pointNumber > highest) highest = p.pointNumber;
  return highest == 999 ? kReferenceLast : highest;
}

int TransferPoints(std::vector<ImagePoint>& points, std::vector<SpacePoint>& spacePoints,
                   int photoA, int photoB, double tolerance, const CommonPoints* common,
                   int* assigned) {
  if (!(tolerance >= kMinTolerance)) tolerance = kMinTolerance;
  if (photoA < 0 || photoB < 0 || photoA == photoB) return 0;
  CommonPoints built;
  if (!common) {
    if (!FindCommonPoints(points, photoA, photoB, &built)) return 0;
    common = &built;
  } else if (common->size() < kMinPairs || !PairsFit(points, *common, photoA, photoB)) {
    return 0;
  }
  PlaneTransform t;
  if (!EstimatePlaneTransform(points, *common, &t)) return 0;

  int32_t next = HighestImagePointNumber(points);
  // The next free number: above the highest in use, never a reserved corner
  // and never the number of an existing space point (numbers must stay
  // unique among space points).
  auto newNumber = [&]() {
    do {
      ++next;
    } while (IsReferenceNumber(next) || SpacePointExists(spacePoints, next));
    return next;
  };
  auto give = [&](ImagePoint& p, int32_t number) {
    p.pointNumber = number;
    if (assigned) ++*assigned;
  };

  int result = 1;
  for (size_t i = 0; i < points.size(); ++i) {
    if (points[i].photoIndex != photoA) continue;
    // The carried position, and the same rounded to whole pixels for the
    // search of a partner; the check of an existing partner uses the exact
    // one, so that rounding alone never makes a pair disagree.
    double cx, cy, X, Y;
    if (!t.Apply(points[i].x, points[i].y, &cx, &cy) || !Round(cx, cy, &X, &Y)) {
      // No image on B: a numbered point that B also shows cannot agree.
      if (points[i].pointNumber != kNoNumber &&
          FindOnPhoto(points, photoB, points[i].pointNumber) >= 0) {
        result = 0;
      }
      continue;
    }
    const int32_t d = points[i].pointNumber;
    if (d == kNoNumber) {
      const int q = FindNear(points, photoB, X, Y, tolerance);
      if (q < 0) continue;
      const int32_t m = points[q].pointNumber;
      if (m == kNoNumber) {
        const int32_t number = newNumber();
        give(points[i], number);
        give(points[q], number);
        SpacePoint sp;
        sp.pointNumber = number;
        spacePoints.push_back(sp);
      } else if (FindOnPhoto(points, photoA, m) < 0) {
        give(points[i], m);
      } else {
        result = 0;
      }
      continue;
    }
    const int onB = FindOnPhoto(points, photoB, d);
    if (onB < 0) {
      const int q = FindNear(points, photoB, X, Y, tolerance);
      if (q < 0) continue;
      if (points[q].pointNumber == kNoNumber) {
        give(points[q], d);
      } else {
        result = 0;
      }
    } else if (std::hypot(points[onB].x - cx, points[onB].y - cy) > tolerance) {
      result = 0;
    }
  }
  return result;
}

int AutoTransferFromPhoto(std::vector<ImagePoint>& points,
                          std::vector<SpacePoint>& spacePoints, int photoCount,
                          int currentPhoto, int* assigned, std::vector<int>* disagreeing) {
  if (disagreeing) disagreeing->clear();
  if (currentPhoto < 0 || currentPhoto >= photoCount) return 0;
  int processed = 0;
  for (int b = 0; b < photoCount; ++b) {
    if (b == currentPhoto) continue;
    CommonPoints common;
    if (!FindCommonPoints(points, currentPhoto, b, &common)) continue;
    processed = 1;
    if (!TransferPoints(points, spacePoints, currentPhoto, b, 2.0, &common, assigned) &&
        disagreeing) {
      disagreeing->push_back(b);
    }
    for (double tolerance : {2.0, 3.0, 4.0})
      TransferPoints(points, spacePoints, currentPhoto, b, tolerance, nullptr, assigned);
  }
  return processed;
}

}  // namespace vistamet
