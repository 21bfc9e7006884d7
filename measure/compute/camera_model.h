// The camera model shared by every computation: pixel <-> image-plane
// conversion with principal point, pixel size and radial distortion, the
// rotation matrix of a photo, the collinearity equations, the projection of
// a space point and the linearisation used by the adjustment.
//
// Frames:
//  - pixel (px, py): origin at the top-left corner of the photo, px to the
//    right, py downwards, in pixels;
//  - image plane (x, y): origin at the principal point, x to the right, y
//    upwards, in mm, distortion removed;
//  - object (X, Y, Z) and the projection centre (Xs, Ys, Zs): mm.
// Angles are in radians.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "measure/records/records.h"

namespace vistamet {

// A position in object space, mm.
struct ObjectPoint {
  double X = 0, Y = 0, Z = 0;
};

// Direction of PixelToPhoto.
enum class PixelConversion { kPixelToPhoto, kPhotoToPixel };

// Pixel -> image plane with the photo's u0, v0, A1, A2, R0 and pixelSize;
// width and height of the photo in pixels:
//   x = (px - W/2)*s - u0,  y = s*(H/2 - py) - v0,
//   D = A2*(r^4 - R0^4) + A1*(r^2 - R0^2) with r^2 = x^2 + y^2 (distorted),
//   x -= x*D,  y -= y*D   (once, no iteration).
// Returns 1, or 0 (outputs untouched) when the pixel size is not a positive
// finite number.
int ImagePlaneFromPixel(const PhotoParams& photo, int width, int height, double px,
                        double py, double* x, double* y);

// Image plane -> pixel, the reverse with the distortion added (D from the
// undistorted coordinates, no iteration). The two are inverse to first
// order only: a round trip moves a point by terms of order D^2.
// Returns 1 when 0 <= px <= W and 0 <= py <= H, else 0; the pixel
// coordinates are written in both cases, except for an invalid pixel size
// (0, outputs untouched).
int PixelFromImagePlane(const PhotoParams& photo, int width, int height, double x,
                        double y, double* px, double* py);

// The document's conversion of one image point in place. The point's
// photoIndex selects the photo's record and its size in pixels.
//  kPixelToPhoto: 1, or 0 when the photo index is out of range or the
//                 pixel size invalid (point unchanged);
//  kPhotoToPixel: 1 when the point falls inside the photo, else 0 (the
//                 coordinates are written anyway); 0 and unchanged for a
//                 photo index out of range or an invalid pixel size.
int PixelToPhoto(ImagePoint& point, PixelConversion direction,
                 const std::vector<PhotoParams>& photos,
                 const std::vector<ImageHolder>& images);

// Rotation matrix of a photo, first about Y by phi, then about X by omega,
// then about Z by kappa:
//   | a1 a2 a3 |   a1 = cos(phi)cos(kappa) - sin(phi)sin(omega)sin(kappa) ...
//   | b1 b2 b3 |
//   | c1 c2 c3 |
struct RotationMatrix {
  double a1 = 1, a2 = 0, a3 = 0;
  double b1 = 0, b2 = 1, b3 = 0;
  double c1 = 0, c2 = 0, c3 = 1;
};
RotationMatrix RotationFromAngles(double phi, double omega, double kappa);

// Object point in the photo's frame: with d = (X - Xs, Y - Ys, Z - Zs),
//   xBar = a1 dX + b1 dY + c1 dZ,  yBar = a2 dX + b2 dY + c2 dZ,
//   zBar = a3 dX + b3 dY + c3 dZ.
// A point in front of a photo looking down its -z axis has zBar < 0.
struct CameraFrameCoords {
  double xBar = 0, yBar = 0, zBar = 0;
};
CameraFrameCoords ToCameraFrame(const RotationMatrix& r, const ExteriorOrientation& eo,
                                double X, double Y, double Z);

// Collinearity: x = -fx*xBar/zBar, y = -fy*yBar/zBar (mm).
void Collinearity(const CameraFrameCoords& c, double fx, double fy, double* x,
                  double* y);

// Projects a space point into a photo with that photo's own f. The result
// is an image point in mm with weights 1.0, matchState 1, the given photo
// index and point number. For a photo index outside the list it is
// x = y = 0, weights 1.0, matchState 1, photoIndex -1 and pointNumber -1.
ImagePoint ProjectSpacePoint(double X, double Y, double Z, int32_t photoIndex,
                             int32_t pointNumber, const std::vector<PhotoParams>& photos);

// Columns of a linearised observation equation, in the order of the
// adjustment's unknowns for one photo and one point.
enum LinearisationColumn {
  kColXs = 0, kColYs, kColZs, kColPhi, kColOmega, kColKappa, kColX, kColY, kColZ,
  kLinearisationColumns
};

// The two observation equations of one image point, v = A*delta - l, where
// delta holds the corrections of the photo's exterior orientation and of the
// point's coordinates.
struct LinearisedPoint {
  std::array<double, kLinearisationColumns> rowX{};  // d x / d unknown
  std::array<double, kLinearisationColumns> rowY{};  // d y / d unknown
  double lx = 0;  // observed minus computed: x + f1*xBar/zBar
  double ly = 0;  // y + f2*yBar/zBar
};

// Linearises the collinearity equations at the current approximations:
// (x, y) the measured image-plane coordinates (mm), eo the photo's current
// exterior orientation, (X, Y, Z) the point's current coordinates, f1 and
// f2 the principal distances along x and y. The measured x and y enter the
// coefficients in place of the computed ones; at the computed values the
// rows are the exact partial derivatives when f1 = f2 (one camera for all
// photos, as the adjustment uses it). zBar = 0 or f1 = 0 gives non-finite
// rows; the solve that follows reports them.
LinearisedPoint LinearisePoint(double x, double y, const ExteriorOrientation& eo,
                               double X, double Y, double Z, double f1, double f2);

// What the linearisation takes from an orientation's angles, the same for
// every point of its photo: computed once per photo, the rows are the same
// to the last bit.
struct OrientationTerms {
  RotationMatrix r;
  double so = 0, co = 1, sk = 0, ck = 1;  // sin and cos of omega and kappa
};
OrientationTerms TermsOf(const ExteriorOrientation& eo);
LinearisedPoint LinearisePoint(double x, double y, const ExteriorOrientation& eo,
                               const OrientationTerms& terms, double X, double Y, double Z,
                               double f1, double f2);

}  // namespace vistamet
