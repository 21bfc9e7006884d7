// Approximate orientation of a photo and approximate object coordinates:
// the resection of one photo from four control points through a plane
// homography, and the intersection of rays.
//
// The resection treats the control field as a plane: only X and Y of the
// control points enter it. Image coordinates are image-plane mm (see
// camera_model.h), object coordinates mm, angles rad.
#pragma once

#include <array>
#include <span>
#include <vector>

#include "measure/compute/camera_model.h"
#include "measure/records/records.h"

namespace vistamet {

using Matrix3 = std::array<double, 9>;  // row-major

// Eigen decomposition of a symmetric n x n matrix (row-major in a) by the
// threshold Jacobi method. The threshold starts at sqrt(2*sum a_ij^2, i>j)/n;
// every off-diagonal element above it is annihilated by a plane rotation,
// restarting the sweep after each rotation; when none exceeds it the
// decomposition stops if the threshold is below `tolerance`, else the
// threshold is divided by n again.
// On return the diagonal of a holds the eigenvalues and column k of v (n x n,
// row-major) the eigenvector of a[k][k].
// Returns 1, or 0 when a buffer is too short, an element is not finite, or
// the rotations do not settle (a bounded count; never seen on finite input).
int JacobiEigen(std::span<double> a, int n, double tolerance, std::span<double> v);

// The orthonormal matrix nearest to m, U*V^T from m = U*S*V^T.
// Returns 1, or 0 (out untouched) when m holds a value that is not finite.
int NearestOrthonormal(const Matrix3& m, Matrix3* out);

// One control point with its image: (X, Y) on the control plane in mm,
// (x, y) in the image plane in mm.
struct PlaneCorrespondence {
  double X = 0, Y = 0;
  double x = 0, y = 0;
};

// Plane projective transformation h0..h8 (row-major), (X, Y, 1) -> (x, y, 1)
// up to scale, with h8 = 1.
using Homography = std::array<double, 9>;

// Homography by the direct linear method: two rows per point,
//   [X, Y, 1, 0, 0, 0, -xX, -xY, -x] and [0, 0, 0, X, Y, 1, -yX, -yY, -y],
// the 9 x 9 matrix A^T*A, its eigenvector of smallest |eigenvalue| (the later
// one on a tie; Jacobi, tolerance 1e-15) divided by its ninth component.
// Returns 1, or 0 (h untouched) with fewer than four points, when three of
// the points are collinear on the plane or in the image, or when the ninth
// component is 0 or the result is not finite.
int PlaneHomography(std::span<const PlaneCorrespondence> points, Homography* h);

// Rotation R (row-major r11 .. r33) and translation t of a photo.
struct CameraPose {
  Matrix3 R{};
  std::array<double, 3> t{};
};

// Pose from a homography with the linear camera matrix of the photo's f1,
// f2, u0, v0 and skew e13: b_k = K^-1 * column k of h; lambda = the smaller
// of 1/|b1| and 1/|b2|; r1 = lambda*b1, r2 = lambda*b2, r3 = r1 x r2,
// t = lambda*b3; R = the nearest orthonormal matrix to (r1 r2 r3).
// Returns 1, or 0 (pose untouched) when f1 or f2 is 0, b1 or b2 has no
// length, or a value is not finite.
int PoseFromHomography(const Homography& h, const PhotoParams& camera, CameraPose* pose);

// Exterior orientation from a pose:
//   Xs = -(r11 t1 + r21 t2 + r31 t3), Ys = -(r12 t1 + r22 t2 + r32 t3),
//   Zs = r13 t1 + r23 t2 + r33 t3,
//   phi = atan(r31/r33) (+pi when r33 < 0; pi/2 or 3pi/2 when r33 = 0),
//   omega = asin(r32),
//   kappa = atan(r12/r22) (+pi when r22 < 0; pi/2 or 3pi/2 when r22 = 0).
// The angles are not brought into [-pi, pi].
ExteriorOrientation OrientationFromPose(const CameraPose& pose);

// Resection of one photo from plane control points (at least four; the
// caller passes the four it has chosen). On success only Xs, Ys, Zs, phi,
// omega and kappa of `photo` change. Returns 1, or 0 (photo unchanged) for
// degenerate geometry: see PlaneHomography and PoseFromHomography.
int ResectFromPlane(std::span<const PlaneCorrespondence> points, PhotoParams& photo);

// Number of image points of `photo` that carry the number of a control
// point (controlFlag >= 1).
int CountMeasuredControlPoints(const std::vector<ImagePoint>& imagePoints,
                               const std::vector<SpacePoint>& spacePoints, int photo);

// Why a resection of one photo came out as it did.
enum class ResectStatus {
  kResected,
  // The photo does not exist or has fewer than four measured control points.
  kTooFewControlPoints,
  // Three of the four chosen control points lie on one line (or two
  // coincide), on the control plane or in the image: the plane
  // transformation has no unique solution.
  kCollinearControlPoints,
  // The points are usable but the photo's record gives no orientation
  // (zero principal distance, an invalid pixel size, values not finite).
  kNoSolution,
};

// The resection of photo `photo` as the document runs it: the first four
// image points of that photo (in list order) that carry the number of a
// control point, converted to mm with the photo's own record, and those
// control points' X and Y. On success the photo's exterior orientation in
// `photos` is replaced.
// Returns 1, or 0 (photos unchanged) when the photo index is out of range,
// the photo has fewer than four such points, or the geometry is degenerate;
// `status`, when given, says which.
int ResectPhoto(const std::vector<ImagePoint>& imagePoints,
                const std::vector<SpacePoint>& spacePoints,
                std::vector<PhotoParams>& photos, const std::vector<ImageHolder>& images,
                int photo, ResectStatus* status = nullptr);

// Rays whose directions differ by less than this angle (rad) are treated as
// parallel.
constexpr double kMinRayAngle = 1e-8;

// Intersection of two rays, each an image point in image-plane mm on a photo
// with the given record (its f, Xs .. kappa): the midpoint of the common
// perpendicular. Returns 1, or 0 (out untouched) when the rays are parallel
// (within kMinRayAngle) or a ray has no direction.
int IntersectTwoRays(const ImagePoint& ray1, const PhotoParams& photo1,
                     const ImagePoint& ray2, const PhotoParams& photo2, ObjectPoint* out);

// Intersection of one point from its rays (image points in mm; photoIndex
// selects the record in photos): the mean of the two-ray intersections of
// every pair (i, j), i < j, in list order. Pairs that cannot be intersected
// (parallel rays, a photo index out of range) are left out of the mean.
// Returns 1, or 0 (out untouched) when no pair could be intersected.
int IntersectRays(std::span<const ImagePoint> rays, const std::vector<PhotoParams>& photos,
                  ObjectPoint* out);

}  // namespace vistamet
