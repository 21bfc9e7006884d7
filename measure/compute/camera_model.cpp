#include "measure/compute/camera_model.h"

#include <cmath>

namespace vistamet {
namespace {

bool ValidPixelSize(double s) { return std::isfinite(s) && s > 0.0; }

// Radial distortion term at image-plane position (x, y).
double DistortionTerm(const PhotoParams& p, double x, double y) {
  const double r2 = x * x + y * y;
  const double R02 = p.R0 * p.R0;
  return p.A2 * (r2 * r2 - R02 * R02) + p.A1 * (r2 - R02);
}

bool PhotoInRange(int32_t index, const std::vector<PhotoParams>& photos,
                  const std::vector<ImageHolder>& images) {
  return index >= 0 && static_cast<size_t>(index) < photos.size() &&
         static_cast<size_t>(index) < images.size();
}

}  // namespace

int ImagePlaneFromPixel(const PhotoParams& photo, int width, int height, double px,
                        double py, double* x, double* y) {
  const double s = photo.pixelSize;
  if (!ValidPixelSize(s)) return 0;
  double xx = (px - 0.5 * width) * s - photo.u0;
  double yy = s * (0.5 * height - py) - photo.v0;
  const double D = DistortionTerm(photo, xx, yy);
  xx -= xx * D;
  yy -= yy * D;
  *x = xx;
  *y = yy;
  return 1;
}

int PixelFromImagePlane(const PhotoParams& photo, int width, int height, double x,
                        double y, double* px, double* py) {
  const double s = photo.pixelSize;
  if (!ValidPixelSize(s)) return 0;
  const double D = DistortionTerm(photo, x, y);
  x += x * D;
  y += y * D;
  x += photo.u0;
  y += photo.v0;
  const double cx = x / s + 0.5 * width;
  const double cy = 0.5 * height - y / s;
  *px = cx;
  *py = cy;
  return cx >= 0.0 && cx <= width && cy >= 0.0 && cy <= height ? 1 : 0;
}

int PixelToPhoto(ImagePoint& point, PixelConversion direction,
                 const std::vector<PhotoParams>& photos,
                 const std::vector<ImageHolder>& images) {
  if (!PhotoInRange(point.photoIndex, photos, images)) return 0;
  const PhotoParams& photo = photos[point.photoIndex];
  const ImageHolder& image = images[point.photoIndex];
  if (!ValidPixelSize(photo.pixelSize)) return 0;
  if (direction == PixelConversion::kPixelToPhoto) {
    return ImagePlaneFromPixel(photo, image.width, image.height, point.x, point.y,
                               &point.x, &point.y);
  }
  return PixelFromImagePlane(photo, image.width, image.height, point.x, point.y,
                             &point.x, &point.y);
}

RotationMatrix RotationFromAngles(double phi, double omega, double kappa) {
  const double sp = std::sin(phi), cp = std::cos(phi);
  const double so = std::sin(omega), co = std::cos(omega);
  const double sk = std::sin(kappa), ck = std::cos(kappa);
  RotationMatrix r;
  r.a1 = cp * ck - sp * so * sk;
  r.a2 = -cp * sk - sp * so * ck;
  r.a3 = -sp * co;
  r.b1 = co * sk;
  r.b2 = co * ck;
  r.b3 = -so;
  r.c1 = sp * ck + cp * so * sk;
  r.c2 = -sp * sk + cp * so * ck;
  r.c3 = cp * co;
  return r;
}

CameraFrameCoords ToCameraFrame(const RotationMatrix& r, const ExteriorOrientation& eo,
                                double X, double Y, double Z) {
  const double dX = X - eo.Xs, dY = Y - eo.Ys, dZ = Z - eo.Zs;
  return {r.a1 * dX + r.b1 * dY + r.c1 * dZ, r.a2 * dX + r.b2 * dY + r.c2 * dZ,
          r.a3 * dX + r.b3 * dY + r.c3 * dZ};
}

void Collinearity(const CameraFrameCoords& c, double fx, double fy, double* x,
                  double* y) {
  *x = -fx * c.xBar / c.zBar;
  *y = -fy * c.yBar / c.zBar;
}

ImagePoint ProjectSpacePoint(double X, double Y, double Z, int32_t photoIndex,
                             int32_t pointNumber, const std::vector<PhotoParams>& photos) {
  ImagePoint out;  // x = y = 0, weights 1, matchState 1, photo -1, number -1
  if (photoIndex < 0 || static_cast<size_t>(photoIndex) >= photos.size()) return out;
  const PhotoParams& p = photos[photoIndex];
  const CameraFrameCoords c =
      ToCameraFrame(RotationFromAngles(p.phi, p.omega, p.kappa), p.Exterior(), X, Y, Z);
  Collinearity(c, p.f, p.f, &out.x, &out.y);
  out.photoIndex = photoIndex;
  out.pointNumber = pointNumber;
  return out;
}

OrientationTerms TermsOf(const ExteriorOrientation& eo) {
  OrientationTerms t;
  t.r = RotationFromAngles(eo.phi, eo.omega, eo.kappa);
  t.so = std::sin(eo.omega);
  t.co = std::cos(eo.omega);
  t.sk = std::sin(eo.kappa);
  t.ck = std::cos(eo.kappa);
  return t;
}

LinearisedPoint LinearisePoint(double x, double y, const ExteriorOrientation& eo,
                               double X, double Y, double Z, double f1, double f2) {
  return LinearisePoint(x, y, eo, TermsOf(eo), X, Y, Z, f1, f2);
}

LinearisedPoint LinearisePoint(double x, double y, const ExteriorOrientation& eo,
                               const OrientationTerms& terms, double X, double Y, double Z,
                               double f1, double f2) {
  const RotationMatrix& r = terms.r;
  const CameraFrameCoords c = ToCameraFrame(r, eo, X, Y, Z);
  const double so = terms.so, co = terms.co, sk = terms.sk, ck = terms.ck;
  const double zb = c.zBar;

  LinearisedPoint out;
  auto& ax = out.rowX;
  auto& ay = out.rowY;
  ax[kColXs] = (r.a1 * f1 + r.a3 * x) / zb;
  ax[kColYs] = (r.b1 * f1 + r.b3 * x) / zb;
  ax[kColZs] = (r.c1 * f1 + r.c3 * x) / zb;
  ax[kColPhi] = y * so - ((x * ck - y * sk) * x / f1 + f1 * ck) * co;
  ax[kColOmega] = -f1 * sk - (x * sk + y * ck) * x / f1;
  ax[kColKappa] = y;

  ay[kColXs] = (r.a2 * f2 + r.a3 * y) / zb;
  ay[kColYs] = (r.b2 * f2 + r.b3 * y) / zb;
  ay[kColZs] = (r.c2 * f2 + r.c3 * y) / zb;
  ay[kColPhi] = -x * so - ((x * ck - y * sk) * y / f2 - f2 * sk) * co;
  ay[kColOmega] = -f2 * ck - (x * sk + y * ck) * y / f2;
  ay[kColKappa] = -x;

  // The point's coordinates enter with the opposite sign of the centre's.
  for (int k = 0; k < 3; ++k) {
    ax[kColX + k] = -ax[kColXs + k];
    ay[kColX + k] = -ay[kColXs + k];
  }
  out.lx = x + f1 * c.xBar / zb;
  out.ly = y + f2 * c.yBar / zb;
  return out;
}

}  // namespace vistamet
