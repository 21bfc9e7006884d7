// Corresponding points between photos by a plane projective transformation:
// once four points carry the same numbers on two photos, every other point of
// the first photo is carried over to the second, and the nearest point found
// there within a tolerance receives the same number.
//
// Positions are pixels (column x, row y). All functions work on the caller's
// image point and space point lists; image point indices are positions in
// that list ("document order").
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "measure/records/records.h"

namespace vistamet {

// A point of photo A and the point of photo B with the same number (indices
// into the image point list).
struct CommonPair {
  int a = -1;
  int b = -1;
  bool operator==(const CommonPair&) const = default;
};
using CommonPoints = std::vector<CommonPair>;

// The pairs of every image point of photo A with a number >= 0 and the first
// image point of photo B with that number, in the order of A's points.
// True when there are at least 4 pairs; false at once (pairs left empty)
// when the list holds 7 image points or fewer. `pairs` may be null.
bool FindCommonPoints(const std::vector<ImagePoint>& points, int photoA, int photoB,
                      CommonPoints* pairs);

// Eight-parameter plane projective transformation from photo A to photo B:
//   X = (a0 x + a1 y + a2) / (a6 x + a7 y + 1)
//   Y = (a3 x + a4 y + a5) / (a6 x + a7 y + 1)
struct PlaneTransform {
  std::array<double, 8> a{1, 0, 0, 0, 1, 0, 0, 0};
  // Returns 1, or 0 when the point maps to infinity (outputs untouched).
  int Apply(double x, double y, double* X, double* Y) const;
};

// Least-squares estimate from the pairs (weight 1 per equation), solved by
// symmetric elimination. Returns 1, or 0 (t untouched) with fewer than 4
// pairs, an index out of range or a singular system.
int EstimatePlaneTransform(const std::vector<ImagePoint>& points, const CommonPoints& pairs,
                           PlaneTransform* t);

// The highest point number of all image points, ignoring 1000-1003, with 999
// reported as 1003 (so that the next number is 1004); -1 when no point is
// numbered.
int32_t HighestImagePointNumber(const std::vector<ImagePoint>& points);

// Transfer from photo A to photo B with a tolerance in pixels (below 0.1 is
// taken as 0.1). `common` is used when given, else built. For each image
// point P of A in list order, its position is carried to B and rounded to
// whole pixels, and Q is the first image point of B within the tolerance of
// that rounded position:
//  - P unnumbered, Q unnumbered: both get a new number, and a space point of
//    that number (X = Y = Z = 0, ordinary) is appended;
//  - P unnumbered, Q numbered m: P gets m unless A already uses m (then the
//    result is 0);
//  - P numbered d, d not on B: an unnumbered Q gets d; a numbered Q makes the
//    result 0;
//  - P numbered d, d on B: the result is 0 when that point lies farther than
//    the tolerance from P's carried position (not rounded).
// New numbers follow HighestImagePointNumber, skipping 1000-1003 and any
// number that a space point already has.
// Returns 1 when every check agreed, 0 on an inconsistency (the numbers
// given before it stay), with fewer than 4 common points, A == B, a photo
// index below 0, a common list that does not fit the points, or a singular
// transformation (nothing changed in those cases). `assigned`, when given,
// is increased by the number of image points that received a number.
int TransferPoints(std::vector<ImagePoint>& points, std::vector<SpacePoint>& spacePoints,
                   int photoA, int photoB, double tolerance,
                   const CommonPoints* common = nullptr, int* assigned = nullptr);

// The automatic transfer after numbering a point on `currentPhoto`: for every
// other photo that has at least 4 common points with it, one transfer at 2
// pixels, then three more at 2, 3 and 4 pixels on fresh common lists, whose
// results are not looked at. `disagreeing`, when given, receives in photo
// order the photos whose first transfer met numbers that contradict the
// transformation (the caller tells the user once for each).
// Returns 1 if any photo was processed, else 0. `assigned` as above.
int AutoTransferFromPhoto(std::vector<ImagePoint>& points,
                          std::vector<SpacePoint>& spacePoints, int photoCount,
                          int currentPhoto, int* assigned = nullptr,
                          std::vector<int>* disagreeing = nullptr);

}  // namespace vistamet
