#include "measure/compute/camera_model.h"

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

namespace vistamet {
namespace {

ImageHolder SizedImage(int w, int h) {
  ImageHolder img;
  img.width = w;
  img.height = h;
  return img;
}

TEST(PixelToPhoto, LinearMappingTable) {
  struct Case {
    double px, py, u0, v0, s, x, y;
    const char* note;
  };
  // 4000 x 3000 photo.
  const Case cases[] = {
      {2000, 1500, 0, 0, 0.0036, 0, 0, "centre"},
      {2000, 1500, 0.05, -0.02, 0.0036, -0.05, 0.02, "centre maps to (-u0, -v0)"},
      {0, 0, 0, 0, 0.0036, -7.2, 5.4, "top-left corner, y up"},
      {4000, 3000, 0, 0, 0.0036, 7.2, -5.4, "bottom-right corner"},
      {2100, 1400, 0.01, 0.02, 0.005, 0.49, 0.48, "offset and pixel size"},
  };
  const std::vector<ImageHolder> images = {SizedImage(4000, 3000)};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.note);
    PhotoParams p;
    p.u0 = c.u0;
    p.v0 = c.v0;
    p.pixelSize = c.s;
    ImagePoint ip;
    ip.x = c.px;
    ip.y = c.py;
    ip.photoIndex = 0;
    ASSERT_EQ(PixelToPhoto(ip, PixelConversion::kPixelToPhoto, {p}, images), 1);
    EXPECT_NEAR(ip.x, c.x, 1e-12);
    EXPECT_NEAR(ip.y, c.y, 1e-12);
    // Without distortion the way back is exact.
    EXPECT_EQ(PixelToPhoto(ip, PixelConversion::kPhotoToPixel, {p}, images), 1);
    EXPECT_NEAR(ip.x, c.px, 1e-9);
    EXPECT_NEAR(ip.y, c.py, 1e-9);
  }
}

TEST(PixelToPhoto, DistortionLeavesRadiusR0AloneAndRoundTripsToSecondOrder) {
  PhotoParams p;
  p.A1 = 2e-4;
  p.A2 = -1e-6;
  p.R0 = 3.0;
  const int W = 4000, H = 3000;
  // A point at radius R0 from the principal point is not moved.
  double x = 0, y = 0;
  const double px = 2000 + 3.0 / p.pixelSize * 0.6, py = 1500 - 3.0 / p.pixelSize * 0.8;
  ASSERT_EQ(ImagePlaneFromPixel(p, W, H, px, py, &x, &y), 1);
  EXPECT_NEAR(x, 1.8, 1e-12);
  EXPECT_NEAR(y, 2.4, 1e-12);

  // Elsewhere the point moves, and the round trip is off only by O(D^2).
  ASSERT_EQ(ImagePlaneFromPixel(p, W, H, 3500, 200, &x, &y), 1);
  const double r2 = x * x + y * y;
  const double D = p.A2 * (r2 * r2 - 81) + p.A1 * (r2 - 9);
  double bx = 0, by = 0;
  PixelFromImagePlane(p, W, H, x, y, &bx, &by);
  const double moved = std::hypot(bx - 3500, by - 200);
  EXPECT_GT(moved, 0.0);
  EXPECT_LT(moved, 4 * D * D * std::sqrt(r2) / p.pixelSize + 1e-9);
  EXPECT_GT(std::fabs(D), 1e-4);  // the case really is distorted
}

TEST(PixelToPhoto, OutsideAndInvalidInputs) {
  const std::vector<ImageHolder> images = {SizedImage(100, 80)};
  const std::vector<PhotoParams> photos(1);
  // Image plane -> pixel outside the photo: 0, but written.
  ImagePoint out;
  out.photoIndex = 0;
  out.x = 1.0;  // 1 mm = 277.8 px right of the centre
  out.y = 0.0;
  EXPECT_EQ(PixelToPhoto(out, PixelConversion::kPhotoToPixel, photos, images), 0);
  EXPECT_NEAR(out.x, 50 + 1.0 / 0.0036, 1e-9);
  EXPECT_NEAR(out.y, 40, 1e-12);
  // The borders themselves are inside.
  double px, py;
  EXPECT_EQ(PixelFromImagePlane(photos[0], 100, 80, -50 * 0.0036, 40 * 0.0036, &px, &py), 1);
  EXPECT_NEAR(px, 0, 1e-9);

  // Photo index out of range, either direction: 0 and unchanged.
  for (int32_t index : {-1, 1, 7}) {
    for (PixelConversion dir : {PixelConversion::kPixelToPhoto, PixelConversion::kPhotoToPixel}) {
      ImagePoint ip;
      ip.x = 3;
      ip.y = 4;
      ip.photoIndex = index;
      EXPECT_EQ(PixelToPhoto(ip, dir, photos, images), 0);
      EXPECT_EQ(ip.x, 3);
      EXPECT_EQ(ip.y, 4);
    }
  }
  // A zero or non-finite pixel size is refused rather than dividing by it.
  for (double s : {0.0, -0.0036, std::nan("")}) {
    std::vector<PhotoParams> bad(1);
    bad[0].pixelSize = s;
    for (PixelConversion dir : {PixelConversion::kPixelToPhoto, PixelConversion::kPhotoToPixel}) {
      ImagePoint ip;
      ip.x = 3;
      ip.y = 4;
      ip.photoIndex = 0;
      EXPECT_EQ(PixelToPhoto(ip, dir, bad, images), 0);
      EXPECT_EQ(ip.x, 3);
    }
  }
}

TEST(RotationFromAngles, IdentityAndOrthonormal) {
  const RotationMatrix id = RotationFromAngles(0, 0, 0);
  EXPECT_EQ(id.a1, 1);
  EXPECT_EQ(id.b2, 1);
  EXPECT_EQ(id.c3, 1);
  EXPECT_EQ(id.a2, 0);
  EXPECT_EQ(id.b3, 0);
  const double angles[][3] = {{0.3, -0.2, 1.1}, {-2.5, 1.2, 3.0}, {1.5707963, 0.1, -0.4}};
  for (const auto& a : angles) {
    const RotationMatrix r = RotationFromAngles(a[0], a[1], a[2]);
    const double m[3][3] = {{r.a1, r.a2, r.a3}, {r.b1, r.b2, r.b3}, {r.c1, r.c2, r.c3}};
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) {
        double dot = 0;
        for (int k = 0; k < 3; ++k) dot += m[k][i] * m[k][j];
        EXPECT_NEAR(dot, i == j ? 1.0 : 0.0, 1e-15);
      }
    const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                       m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                       m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    EXPECT_NEAR(det, 1.0, 1e-15);
  }
  // Single rotations: phi about Y, omega about X, kappa about Z.
  const RotationMatrix k = RotationFromAngles(0, 0, 0.5);
  EXPECT_NEAR(k.b1, std::sin(0.5), 1e-15);
  EXPECT_NEAR(k.a2, -std::sin(0.5), 1e-15);
  const RotationMatrix o = RotationFromAngles(0, 0.5, 0);
  EXPECT_NEAR(o.b3, -std::sin(0.5), 1e-15);
  const RotationMatrix f = RotationFromAngles(0.5, 0, 0);
  EXPECT_NEAR(f.a3, -std::sin(0.5), 1e-15);
  EXPECT_NEAR(f.c1, std::sin(0.5), 1e-15);
}

TEST(ProjectSpacePoint, NadirPhotoAndOutOfRange) {
  std::vector<PhotoParams> photos(2);
  photos[1].f = 10.0;
  // Identity rotation, Zs = 4000: a point at Z = 0 projects to f*dX/4000.
  const ImagePoint p = ProjectSpacePoint(200, -100, 0, 1, 17, photos);
  EXPECT_NEAR(p.x, 10.0 * 200 / 4000, 1e-15);
  EXPECT_NEAR(p.y, 10.0 * -100 / 4000, 1e-15);
  EXPECT_EQ(p.photoIndex, 1);
  EXPECT_EQ(p.pointNumber, 17);
  EXPECT_EQ(p.weightX, 1.0);
  EXPECT_EQ(p.weightY, 1.0);
  EXPECT_EQ(p.matchState, 1);

  const ImagePoint bad = ProjectSpacePoint(1, 2, 3, 2, 17, photos);
  EXPECT_EQ(bad, ImagePoint{});
  EXPECT_EQ(bad.photoIndex, -1);
  EXPECT_EQ(bad.pointNumber, -1);
}

// The design rows are the partial derivatives of the collinearity equations
// at a point whose measured coordinates equal the computed ones; checked
// against central differences for several poses. The angle columns are
// exact for f1 = f2 only, the one camera that the adjustment uses.
TEST(LinearisePoint, RowsAreThePartialDerivatives) {
  struct Case {
    ExteriorOrientation eo;
    ObjectPoint P;
    double f1, f2;
  };
  const Case cases[] = {
      {{0, 0, 4000, 0, 0, 0}, {200, -150, 30}, 7.52, 7.52},
      {{-500, 300, 3500, 0.2, -0.1, 0.7}, {250, 100, -40}, 7.52, 7.52},
      {{2500, 1800, 2000, -0.6, 0.3, -2.8}, {400, 300, 100}, 8.0, 8.0},
  };
  for (const Case& c : cases) {
    auto compute = [&](const ExteriorOrientation& eo, const ObjectPoint& P, double* x,
                       double* y) {
      const RotationMatrix r = RotationFromAngles(eo.phi, eo.omega, eo.kappa);
      Collinearity(ToCameraFrame(r, eo, P.X, P.Y, P.Z), c.f1, c.f2, x, y);
    };
    double x0, y0;
    compute(c.eo, c.P, &x0, &y0);
    const LinearisedPoint lp = LinearisePoint(x0, y0, c.eo, c.P.X, c.P.Y, c.P.Z, c.f1, c.f2);
    EXPECT_NEAR(lp.lx, 0.0, 1e-12);
    EXPECT_NEAR(lp.ly, 0.0, 1e-12);
    for (int k = 0; k < kLinearisationColumns; ++k) {
      SCOPED_TRACE(k);
      const double h = k >= kColPhi && k <= kColKappa ? 1e-7 : 1e-3;
      double xp, yp, xm, ym;
      auto shifted = [&](double sign, double* x, double* y) {
        ExteriorOrientation eo = c.eo;
        ObjectPoint P = c.P;
        double* v[] = {&eo.Xs, &eo.Ys, &eo.Zs, &eo.phi, &eo.omega, &eo.kappa, &P.X, &P.Y, &P.Z};
        *v[k] += sign * h;
        compute(eo, P, x, y);
      };
      shifted(+1, &xp, &yp);
      shifted(-1, &xm, &ym);
      const double dx = (xp - xm) / (2 * h), dy = (yp - ym) / (2 * h);
      EXPECT_NEAR(lp.rowX[k], dx, 1e-7 * (1 + std::fabs(dx)));
      EXPECT_NEAR(lp.rowY[k], dy, 1e-7 * (1 + std::fabs(dy)));
    }
  }
}

TEST(LinearisePoint, ReducedObservationsAreObservedMinusComputed) {
  const ExteriorOrientation eo{0, 0, 4000, 0, 0, 0};
  // Computed x = f1*dX/4000 = 7.52*0.05 = 0.376; observed 0.4.
  const LinearisedPoint lp = LinearisePoint(0.4, -0.1, eo, 200, -40, 0, 7.52, 7.52);
  EXPECT_NEAR(lp.lx, 0.4 - 0.376, 1e-15);
  EXPECT_NEAR(lp.ly, -0.1 - (-0.0752), 1e-15);
}

}  // namespace
}  // namespace vistamet
