// The plain records of a measurement project. They depend on nothing and are
// held by value in the document's arrays.
//
// Units: object coordinates in millimetres, photo constants in millimetres,
// the pixel size in millimetres per pixel, angles in radians, image point
// positions in pixels of the photo (column x, row y, origin top-left).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vistamet {

// Point numbers: -1 means "no number"; 1000..1003 are the corners of the
// built-in reference square; numbers below -1 are plane points created on
// the plan map.
constexpr int32_t kNoNumber = -1;
constexpr int32_t kReferenceFirst = 1000;
constexpr int32_t kReferenceLast = 1003;
constexpr double kReferenceSide = 501.0;  // mm

inline bool IsReferenceNumber(int32_t n) {
  return n >= kReferenceFirst && n <= kReferenceLast;
}

// One measured (or back-projected) point on one photo. 44 bytes on file.
struct ImagePoint {
  double x = 0;          // column, pixels
  double y = 0;          // row, pixels
  double weightX = 1.0;  // weight of the x observation
  double weightY = 1.0;  // weight of the y observation
  int32_t matchState = 1;  // 1 measured or extracted, 2 refined by matching
  int32_t photoIndex = -1;
  int32_t pointNumber = kNoNumber;

  bool operator==(const ImagePoint&) const = default;
};

// One object point. 60 bytes on file (mapX and mapY are not stored).
struct SpacePoint {
  double X = 0;  // mm
  double Y = 0;  // mm
  double Z = 0;  // mm
  int32_t pointNumber = kNoNumber;
  int32_t controlFlag = 0;  // 1 = control point; anything below 1 is ordinary
  int32_t rayCount = 0;     // image points observing it, refreshed by the adjustment
  double aux1 = 0, aux2 = 0, aux3 = 0;  // carried unchanged
  int32_t mapX = 0, mapY = 0;           // plan map position, transient

  bool IsControl() const { return controlFlag >= 1; }
  // Equality over the stored fields (mapX and mapY are transient).
  bool SameStored(const SpacePoint& o) const {
    return X == o.X && Y == o.Y && Z == o.Z && pointNumber == o.pointNumber &&
           controlFlag == o.controlFlag && rayCount == o.rayCount &&
           aux1 == o.aux1 && aux2 == o.aux2 && aux3 == o.aux3;
  }
};

// The working record of the space point dialog for a typed number: the
// corners of the reference square become control points with their
// coordinates (501 mm side).
inline void ApplyReferenceCorner(SpacePoint& record) {
  if (!IsReferenceNumber(record.pointNumber)) return;
  static constexpr double kCorner[4][2] = {
      {0, 0}, {kReferenceSide, 0}, {kReferenceSide, kReferenceSide}, {0, kReferenceSide}};
  const int k = record.pointNumber - kReferenceFirst;
  record.controlFlag = 1;
  record.X = kCorner[k][0];
  record.Y = kCorner[k][1];
  record.Z = 0;
}

// Interior values of the camera of one photo.
struct CameraParams {
  double f = 7.52;   // principal distance, mm
  double u0 = 0;     // principal point x, mm
  double v0 = 0;     // principal point y, mm
  double A1 = 0;     // radial distortion coefficients
  double A2 = 0;
  double R0 = 0;     // distortion reference radius, mm
  double pixelSize = 0.0036;  // mm per pixel
};

// Exterior orientation of one photo.
struct ExteriorOrientation {
  double Xs = 0, Ys = 0, Zs = 4000.0;     // projection centre, mm
  double phi = 0, omega = 0, kappa = 0;   // rad
};

// The 22 values stored per photo, in file order. 176 bytes on file.
struct PhotoParams {
  double f = 7.52;
  double f1 = 7.52;  // principal distance along x (Fx)
  double f2 = 7.52;  // principal distance along y (Fy)
  double u0 = 0;
  double v0 = 0;
  double Xs = 0;
  double Ys = 0;
  double Zs = 4000.0;
  double phi = 0;
  double omega = 0;
  double kappa = 0;
  double e11 = 0;
  double e12 = 1.0;  // copied unchanged by the resection
  double e13 = 0;    // skew term of the resection's camera matrix
  double e14 = 0, e15 = 0, e16 = 0, e17 = 0;
  double A1 = 0;
  double A2 = 0;
  double R0 = 0;
  double pixelSize = 0.0036;

  static constexpr int kCount = 22;
  // Value by file index 0..21.
  double Get(int index) const { return this->*kFields[index]; }
  void Set(int index, double value) { this->*kFields[index] = value; }

  CameraParams Camera() const { return {f, u0, v0, A1, A2, R0, pixelSize}; }
  void SetCamera(const CameraParams& c) {
    f = c.f; u0 = c.u0; v0 = c.v0; A1 = c.A1; A2 = c.A2; R0 = c.R0;
    pixelSize = c.pixelSize;
  }
  ExteriorOrientation Exterior() const { return {Xs, Ys, Zs, phi, omega, kappa}; }
  void SetExterior(const ExteriorOrientation& e) {
    Xs = e.Xs; Ys = e.Ys; Zs = e.Zs; phi = e.phi; omega = e.omega; kappa = e.kappa;
  }

  bool operator==(const PhotoParams&) const = default;

  static constexpr std::array<double PhotoParams::*, kCount> kFields = {
      &PhotoParams::f,     &PhotoParams::f1,  &PhotoParams::f2,  &PhotoParams::u0,
      &PhotoParams::v0,    &PhotoParams::Xs,  &PhotoParams::Ys,  &PhotoParams::Zs,
      &PhotoParams::phi,   &PhotoParams::omega, &PhotoParams::kappa, &PhotoParams::e11,
      &PhotoParams::e12,   &PhotoParams::e13, &PhotoParams::e14, &PhotoParams::e15,
      &PhotoParams::e16,   &PhotoParams::e17, &PhotoParams::A1,  &PhotoParams::A2,
      &PhotoParams::R0,    &PhotoParams::pixelSize};
};

// A plan-map symbol placed at a space point. 36 bytes on file (mapX and mapY
// are not stored).
struct MapFeature {
  int32_t pointNumber = kNoNumber;  // attached space point
  int32_t symbolType = 0;           // index into the symbol library
  float scale = 1.0f;
  float rotation = 0.0f;            // rad
  int32_t X = 0, Y = 0, Z = 0;      // position, mm
  float lineWidth = 0.1f;           // mm
  uint32_t colour = 255;            // 0x00BBGGRR
  int32_t mapX = 0, mapY = 0;       // plan map position, transient

  bool SameStored(const MapFeature& o) const {
    return pointNumber == o.pointNumber && symbolType == o.symbolType &&
           scale == o.scale && rotation == o.rotation && X == o.X && Y == o.Y &&
           Z == o.Z && lineWidth == o.lineWidth && colour == o.colour;
  }
};

// A weight of the image observations that is not positive becomes this.
inline constexpr double kTinyWeight = 0.000001;
inline double PositiveWeight(double w) { return w > 0 ? w : kTinyWeight; }

// Options consumed by the bundle adjustment, with their defaults.
struct AdjustmentOptions {
  double dAngleTol = 0.0005;    // rad
  double dCoordTol = 1.5;       // mm
  double dControlWeight = 1.0;  // weight multiple of control points
  double dWeightX = 1.0;
  double dWeightY = 1.0;
  int32_t nMaxIter = 60;
  int32_t bKeepMinRms = 1;
  int32_t bCleanPoints = 0;
  int32_t bLmsFeature = 1;
};

// A rectangle of photo pixels: left, top, right, bottom.
struct PixelRect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const PixelRect&) const = default;
};

// The decoded bitmap of one photo. Rebuilt from the photo file on every load.
struct ImageHolder {
  // The file's bytes after the 14-byte file header: information header,
  // colour table and pixel rows.
  std::vector<uint8_t> dib;
  size_t pixelOffset = 0;        // where the pixel rows start in dib
  std::vector<uint32_t> palette; // 0x00BBGGRR, empty for true colour
  int32_t width = 0;
  int32_t height = 0;
  int32_t stride = 0;            // bytes per stored row
  int32_t bitsPerPixel = 0;
  bool topDown = false;          // rows stored top row first
  PixelRect bounds;              // (0, 0, width, height)
  std::vector<uint8_t> grey;     // width * height, top row first
  PixelRect visible;             // region the image view shows, transient

  bool Empty() const { return width <= 0 || height <= 0; }
  // Pixel row y counted from the top; valid for 0 <= y < height.
  const uint8_t* Row(int32_t y) const {
    const int32_t stored = topDown ? y : height - 1 - y;
    return dib.data() + pixelOffset + static_cast<size_t>(stored) * stride;
  }
  uint8_t GreyAt(int32_t x, int32_t y) const {
    return grey[static_cast<size_t>(y) * width + x];
  }
};

// Distances are pairs of space point numbers, two elements per distance.
using DistancePairs = std::vector<int32_t>;

}  // namespace vistamet
