#include "measure/compute/orientation.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include <Eigen/SVD>

namespace vistamet {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kEigenTolerance = 1e-15;
// Three points count as collinear when the sine of the angle at the first
// one is below this.
constexpr double kCollinearSine = 1e-9;

bool AllFinite(std::span<const double> values) {
  for (double v : values)
    if (!std::isfinite(v)) return false;
  return true;
}

// Whether p, q, r lie on one line (or two of them coincide).
bool Collinear(double px, double py, double qx, double qy, double rx, double ry) {
  const double ux = qx - px, uy = qy - py, vx = rx - px, vy = ry - py;
  const double cross = ux * vy - uy * vx;
  const double lu = std::hypot(ux, uy), lv = std::hypot(vx, vy);
  return !(std::fabs(cross) > kCollinearSine * lu * lv);
}

bool AnyThreeCollinear(std::span<const PlaneCorrespondence> p, bool image) {
  const size_t n = p.size();
  for (size_t i = 0; i < n; ++i)
    for (size_t j = i + 1; j < n; ++j)
      for (size_t k = j + 1; k < n; ++k) {
        const bool c = image ? Collinear(p[i].x, p[i].y, p[j].x, p[j].y, p[k].x, p[k].y)
                             : Collinear(p[i].X, p[i].Y, p[j].X, p[j].Y, p[k].X, p[k].Y);
        if (c) return true;
      }
  return false;
}

// Plane rotation that annihilates a[p][q] (row-major n x n, symmetric).
void JacobiRotate(std::span<double> a, std::span<double> v, size_t n, size_t p, size_t q) {
  auto A = [&](size_t r, size_t c) -> double& { return a[r * n + c]; };
  auto V = [&](size_t r, size_t c) -> double& { return v[r * n + c]; };
  const double apq = A(p, q), app = A(p, p), aqq = A(q, q);
  const double theta = (aqq - app) / (2.0 * apq);
  // t = tan of the rotation angle, the smaller root; for a huge theta the
  // square would overflow, and t ~ 1/(2 theta).
  double t;
  if (std::fabs(theta) > 1e150) {
    t = 0.5 / theta;
  } else {
    t = 1.0 / (std::fabs(theta) + std::sqrt(theta * theta + 1.0));
    if (theta < 0) t = -t;
  }
  const double c = 1.0 / std::sqrt(t * t + 1.0), s = t * c;
  for (size_t k = 0; k < n; ++k) {
    if (k == p || k == q) continue;
    const double akp = A(k, p), akq = A(k, q);
    A(k, p) = A(p, k) = c * akp - s * akq;
    A(k, q) = A(q, k) = s * akp + c * akq;
  }
  A(p, p) = app - t * apq;
  A(q, q) = aqq + t * apq;
  A(p, q) = A(q, p) = 0.0;
  for (size_t k = 0; k < n; ++k) {
    const double vkp = V(k, p), vkq = V(k, q);
    V(k, p) = c * vkp - s * vkq;
    V(k, q) = s * vkp + c * vkq;
  }
}

// atan(num/den) moved to the branch that the sign of den selects.
double AngleFromRatio(double num, double den) {
  if (den > 0) return std::atan(num / den);
  if (den < 0) return std::atan(num / den) + kPi;
  return num >= 0 ? kPi / 2 : 3 * kPi / 2;
}

const SpacePoint* FindControl(const std::vector<SpacePoint>& spacePoints, int32_t number) {
  if (number == kNoNumber) return nullptr;
  for (const SpacePoint& sp : spacePoints)
    if (sp.pointNumber == number) return sp.IsControl() ? &sp : nullptr;
  return nullptr;
}

}  // namespace

int JacobiEigen(std::span<double> a, int n, double tolerance, std::span<double> v) {
  if (n < 1) return 0;
  const size_t dim = static_cast<size_t>(n);
  if (a.size() < dim * dim || v.size() < dim * dim) return 0;
  a = a.first(dim * dim);
  if (!AllFinite(a) || !(tolerance > 0)) return 0;
  for (size_t r = 0; r < dim; ++r)
    for (size_t c = 0; c < dim; ++c) v[r * dim + c] = r == c ? 1.0 : 0.0;

  double off = 0.0;
  for (size_t i = 1; i < dim; ++i)
    for (size_t j = 0; j < i; ++j) off += a[i * dim + j] * a[i * dim + j];
  double h = std::sqrt(2.0 * off) / n;

  // Each rotation zeroes one element and converges quadratically; the bound
  // only guards against a pathological input turning this into a hang.
  const long maxRotations = 1000L * static_cast<long>(dim * dim) + 10000L;
  long rotations = 0;
  for (;;) {
    bool rotated = false;
    for (size_t i = 1; i < dim && !rotated; ++i) {
      for (size_t j = 0; j < i; ++j) {
        if (std::fabs(a[i * dim + j]) > h) {
          JacobiRotate(a, v, dim, j, i);
          rotated = true;
          break;
        }
      }
    }
    if (rotated) {
      if (++rotations > maxRotations) return 0;
      continue;
    }
    if (h < tolerance) break;
    h /= n;
  }
  return 1;
}

int NearestOrthonormal(const Matrix3& m, Matrix3* out) {
  if (!AllFinite(m)) return 0;
  const Eigen::Matrix3d M = Eigen::Map<const Eigen::Matrix<double, 3, 3, Eigen::RowMajor>>(m.data());
  const Eigen::JacobiSVD<Eigen::Matrix3d> svd(M, Eigen::ComputeFullU | Eigen::ComputeFullV);
  const Eigen::Matrix3d R = svd.matrixU() * svd.matrixV().transpose();
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) (*out)[r * 3 + c] = R(r, c);
  return 1;
}

int PlaneHomography(std::span<const PlaneCorrespondence> points, Homography* h) {
  if (points.size() < 4) return 0;
  for (const PlaneCorrespondence& p : points)
    if (!AllFinite(std::array<double, 4>{p.X, p.Y, p.x, p.y})) return 0;
  if (AnyThreeCollinear(points, false) || AnyThreeCollinear(points, true)) return 0;

  std::array<double, 81> ata{};
  for (const PlaneCorrespondence& p : points) {
    const double rows[2][9] = {{p.X, p.Y, 1, 0, 0, 0, -p.x * p.X, -p.x * p.Y, -p.x},
                               {0, 0, 0, p.X, p.Y, 1, -p.y * p.X, -p.y * p.Y, -p.y}};
    for (const auto& row : rows)
      for (int i = 0; i < 9; ++i)
        for (int j = 0; j < 9; ++j) ata[i * 9 + j] += row[i] * row[j];
  }
  std::array<double, 81> vec{};
  if (!JacobiEigen(ata, 9, kEigenTolerance, vec)) return 0;

  int best = 0;
  for (int k = 1; k < 9; ++k)
    if (std::fabs(ata[k * 9 + k]) <= std::fabs(ata[best * 9 + best])) best = k;
  const double last = vec[8 * 9 + best];
  if (last == 0.0) return 0;
  Homography out;
  for (int i = 0; i < 9; ++i) out[i] = vec[i * 9 + best] / last;
  if (!AllFinite(out)) return 0;
  *h = out;
  return 1;
}

int PoseFromHomography(const Homography& h, const PhotoParams& camera, CameraPose* pose) {
  const double f1 = camera.f1, f2 = camera.f2, u0 = camera.u0, v0 = camera.v0;
  const double g = camera.e13;
  if (f1 == 0.0 || f2 == 0.0) return 0;
  const double k[3][3] = {{1 / f1, -g / (f1 * f2), (g * v0 - f2 * u0) / (f1 * f2)},
                          {0, 1 / f2, -v0 / f2},
                          {0, 0, 1}};
  double b[3][3];  // b[col][row] = K^-1 * column col of h
  for (int col = 0; col < 3; ++col)
    for (int r = 0; r < 3; ++r)
      b[col][r] = k[r][0] * h[col] + k[r][1] * h[3 + col] + k[r][2] * h[6 + col];

  auto length = [](const double* x) {
    return std::sqrt(std::fabs(x[0] * x[0] + x[1] * x[1] + x[2] * x[2]));
  };
  const double n1 = length(b[0]), n2 = length(b[1]);
  if (!(n1 > 0) || !(n2 > 0)) return 0;
  const double lambda = std::min(1 / n1, 1 / n2);

  double r1[3], r2[3], r3[3], t[3];
  for (int i = 0; i < 3; ++i) {
    r1[i] = lambda * b[0][i];
    r2[i] = lambda * b[1][i];
    t[i] = lambda * b[2][i];
  }
  r3[0] = r1[1] * r2[2] - r1[2] * r2[1];
  r3[1] = r1[2] * r2[0] - r1[0] * r2[2];
  r3[2] = r1[0] * r2[1] - r1[1] * r2[0];
  const Matrix3 r0 = {r1[0], r2[0], r3[0], r1[1], r2[1], r3[1], r1[2], r2[2], r3[2]};
  CameraPose out;
  if (!NearestOrthonormal(r0, &out.R)) return 0;
  out.t = {t[0], t[1], t[2]};
  if (!AllFinite(out.t)) return 0;
  *pose = out;
  return 1;
}

ExteriorOrientation OrientationFromPose(const CameraPose& pose) {
  const Matrix3& r = pose.R;
  const auto& t = pose.t;
  auto R = [&r](int i, int j) { return r[(i - 1) * 3 + (j - 1)]; };  // 1-based
  ExteriorOrientation eo;
  eo.Xs = -(R(1, 1) * t[0] + R(2, 1) * t[1] + R(3, 1) * t[2]);
  eo.Ys = -(R(1, 2) * t[0] + R(2, 2) * t[1] + R(3, 2) * t[2]);
  // Without the minus sign: the photo's z axis points away from the object.
  eo.Zs = R(1, 3) * t[0] + R(2, 3) * t[1] + R(3, 3) * t[2];
  eo.phi = AngleFromRatio(R(3, 1), R(3, 3));
  // Rounding in the orthonormalisation may carry |r32| a hair past 1.
  eo.omega = std::asin(std::clamp(R(3, 2), -1.0, 1.0));
  eo.kappa = AngleFromRatio(R(1, 2), R(2, 2));
  return eo;
}

int ResectFromPlane(std::span<const PlaneCorrespondence> points, PhotoParams& photo) {
  Homography h;
  if (!PlaneHomography(points, &h)) return 0;
  CameraPose pose;
  if (!PoseFromHomography(h, photo, &pose)) return 0;
  const ExteriorOrientation eo = OrientationFromPose(pose);
  if (!AllFinite(std::array<double, 6>{eo.Xs, eo.Ys, eo.Zs, eo.phi, eo.omega, eo.kappa}))
    return 0;
  photo.SetExterior(eo);
  return 1;
}

int CountMeasuredControlPoints(const std::vector<ImagePoint>& imagePoints,
                               const std::vector<SpacePoint>& spacePoints, int photo) {
  int count = 0;
  for (const ImagePoint& ip : imagePoints)
    if (ip.photoIndex == photo && FindControl(spacePoints, ip.pointNumber)) ++count;
  return count;
}

namespace {

ResectStatus ResectPhotoWithStatus(const std::vector<ImagePoint>& imagePoints,
                                   const std::vector<SpacePoint>& spacePoints,
                                   std::vector<PhotoParams>& photos,
                                   const std::vector<ImageHolder>& images, int photo) {
  if (photo < 0 || static_cast<size_t>(photo) >= photos.size() ||
      static_cast<size_t>(photo) >= images.size()) {
    return ResectStatus::kTooFewControlPoints;
  }
  std::array<PlaneCorrespondence, 4> points;
  size_t found = 0;
  for (const ImagePoint& ip : imagePoints) {
    if (ip.photoIndex != photo) continue;
    const SpacePoint* control = FindControl(spacePoints, ip.pointNumber);
    if (!control) continue;
    ImagePoint mm = ip;
    if (!PixelToPhoto(mm, PixelConversion::kPixelToPhoto, photos, images))
      return ResectStatus::kNoSolution;
    points[found++] = {control->X, control->Y, mm.x, mm.y};
    if (found == points.size()) break;
  }
  if (found < points.size()) return ResectStatus::kTooFewControlPoints;
  for (const PlaneCorrespondence& p : points)
    if (!AllFinite(std::array<double, 4>{p.X, p.Y, p.x, p.y})) return ResectStatus::kNoSolution;
  if (AnyThreeCollinear(points, false) || AnyThreeCollinear(points, true))
    return ResectStatus::kCollinearControlPoints;
  return ResectFromPlane(points, photos[photo]) ? ResectStatus::kResected
                                                : ResectStatus::kNoSolution;
}

}  // namespace

int ResectPhoto(const std::vector<ImagePoint>& imagePoints,
                const std::vector<SpacePoint>& spacePoints,
                std::vector<PhotoParams>& photos, const std::vector<ImageHolder>& images,
                int photo, ResectStatus* status) {
  const ResectStatus s = ResectPhotoWithStatus(imagePoints, spacePoints, photos, images, photo);
  if (status) *status = s;
  return s == ResectStatus::kResected ? 1 : 0;
}

int IntersectTwoRays(const ImagePoint& ray1, const PhotoParams& photo1,
                     const ImagePoint& ray2, const PhotoParams& photo2, ObjectPoint* out) {
  struct Ray {
    double o[3], d[3];
  };
  auto makeRay = [](const ImagePoint& ip, const PhotoParams& p, Ray* ray) {
    const RotationMatrix r = RotationFromAngles(p.phi, p.omega, p.kappa);
    const double x = 10 * ip.x, y = 10 * ip.y, z = -10 * p.f;
    double d[3] = {r.a1 * x + r.a2 * y + r.a3 * z, r.b1 * x + r.b2 * y + r.b3 * z,
                   r.c1 * x + r.c2 * y + r.c3 * z};
    const double len = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    if (!(len > 0) || !std::isfinite(len)) return false;
    *ray = {{p.Xs, p.Ys, p.Zs}, {d[0] / len, d[1] / len, d[2] / len}};
    return std::isfinite(p.Xs) && std::isfinite(p.Ys) && std::isfinite(p.Zs);
  };
  Ray r1, r2;
  if (!makeRay(ray1, photo1, &r1) || !makeRay(ray2, photo2, &r2)) return 0;

  // Common perpendicular: o1 + s*d1 + u*n = o2 + t*d2 with n = d1 x d2, a
  // 3 x 3 system in (s, t, u) with columns d1, -d2, n, solved by Cramer's
  // rule. Its determinant is -|n|^2, the squared sine of the ray angle.
  const double* d1 = r1.d;
  const double* d2 = r2.d;
  const double n[3] = {d1[1] * d2[2] - d1[2] * d2[1], d1[2] * d2[0] - d1[0] * d2[2],
                       d1[0] * d2[1] - d1[1] * d2[0]};
  const double sine = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
  if (!(sine >= std::sin(kMinRayAngle))) return 0;
  auto det3 = [](const double* c1, const double* c2, const double* c3) {
    return c1[0] * (c2[1] * c3[2] - c2[2] * c3[1]) - c2[0] * (c1[1] * c3[2] - c1[2] * c3[1]) +
           c3[0] * (c1[1] * c2[2] - c1[2] * c2[1]);
  };
  const double md2[3] = {-d2[0], -d2[1], -d2[2]};
  const double b[3] = {r2.o[0] - r1.o[0], r2.o[1] - r1.o[1], r2.o[2] - r1.o[2]};
  const double det = det3(d1, md2, n);
  const double s = det3(b, md2, n) / det;
  const double t = det3(d1, b, n) / det;
  ObjectPoint p;
  p.X = 0.5 * (r1.o[0] + s * d1[0] + r2.o[0] + t * d2[0]);
  p.Y = 0.5 * (r1.o[1] + s * d1[1] + r2.o[1] + t * d2[1]);
  p.Z = 0.5 * (r1.o[2] + s * d1[2] + r2.o[2] + t * d2[2]);
  if (!std::isfinite(p.X) || !std::isfinite(p.Y) || !std::isfinite(p.Z)) return 0;
  *out = p;
  return 1;
}

int IntersectRays(std::span<const ImagePoint> rays, const std::vector<PhotoParams>& photos,
                  ObjectPoint* out) {
  auto valid = [&photos](int32_t index) {
    return index >= 0 && static_cast<size_t>(index) < photos.size();
  };
  double sx = 0, sy = 0, sz = 0;
  int pairs = 0;
  for (size_t i = 0; i < rays.size(); ++i) {
    if (!valid(rays[i].photoIndex)) continue;
    for (size_t j = i + 1; j < rays.size(); ++j) {
      if (!valid(rays[j].photoIndex)) continue;
      ObjectPoint p;
      if (!IntersectTwoRays(rays[i], photos[rays[i].photoIndex], rays[j],
                            photos[rays[j].photoIndex], &p)) {
        continue;
      }
      sx += p.X;
      sy += p.Y;
      sz += p.Z;
      ++pairs;
    }
  }
  if (pairs == 0) return 0;
  *out = {sx / pairs, sy / pairs, sz / pairs};
  return 1;
}

}  // namespace vistamet
