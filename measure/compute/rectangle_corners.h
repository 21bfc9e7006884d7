// Rectangle corner location: from four roughly clicked corners of a
// rectangular object, find its four edges in the grey image, fit a straight
// line to each and return the line intersections as the exact corners.
//
// Coordinates are y-up: a pixel (column, row) is the point (column, -row).
// Side i runs from corner i to corner (i + 1) % 4; corner i of the result is
// the intersection of side (i + 3) % 4 with side i.
//
// The corners are clicked just outside the object. For each side:
//  1. slope k = dy / dx of the clicked side (1,000,000 when dx = 0); the side
//     is steep when |k| > 1;
//  2. the side is shortened: p += (q - p) / 6, then q -= (q - p) / 6 with
//     the moved p, so the corners themselves stay out of the search;
//  3. one edge sample per scan line: image rows along a steep side, image
//     columns along a flat one, scanned from the side towards the inside of
//     the outline (a steep side from one column outside it to 30 columns
//     inside, a flat side from its row to 50 rows inside). Only pixels
//     inside the clicked quadrilateral take part. The gradient is the grey
//     value one pixel ahead minus the one behind; the edge is the position
//     of the largest gradient (a later equal one wins). The scan stops at a
//     position with gradient below 10 whose pixel and the next one ahead are
//     both above 179 (inside a bright object); when that position holds the
//     largest gradient so far, the sample goes to the far end of the scan
//     line;
//  4. least-squares line, y = k x + b for a flat side, x = k y + b for a
//     steep one; the sample with the largest residual (the first of equal
//     ones) is dropped while it exceeds 1 pixel, and the line refitted;
//  5. the line as a x + b y + c = 0: (k, -1, b) flat, (1, -k, -b) steep.
//
// The scan looks for an edge that gets brighter towards the inside: a light
// object on a darker background. Two refinements (on by default, see
// RectangleCornerOptions) make the corners exact: the edge position is
// interpolated between pixels, and a dark object on a lighter background is
// located on the inverted image.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "measure/compute/grey_image.h"

namespace vistamet {

// A corner, single precision, y-up (x = column, y = -row).
struct CornerPoint {
  float x = 0;
  float y = 0;
};
using CornerQuad = std::array<CornerPoint, 4>;

// The slope that stands for a vertical side.
constexpr double kVerticalSlope = 1000000.0;

// An edge line a x + b y + c = 0 in y-up coordinates.
struct EdgeLine {
  double a = 0;
  double b = 0;
  double c = 0;
};

// One edge sample: u along the side, v across it. Steep side: u = y, v = x;
// flat side: u = x, v = y (y-up, pixels).
struct EdgeSample {
  double u = 0;
  double v = 0;
};

struct RectangleCornerOptions {
  // Place each edge sample by a parabola through the gradients of the
  // maximum and its two neighbours along the scan line (exact for an
  // area-sampled step edge). Off: the plain pixel position, plus half a
  // pixel where the scan runs towards increasing coordinates (the far-end
  // sample likewise); those positions lie up to a pixel inside the object.
  bool subPixelEdges = true;
  // When the clicked outline is darker inside than in a band around it,
  // work on the inverted grey values, so that a dark object on a light
  // background is found as a light one on a dark background is. Off: the
  // scan expects a light object.
  bool detectPolarity = true;
};

// The orientation flag: true when the outline turns clockwise (y-up) at
// each of corners 1, 2 and 3. With a and b the direction angles in
// [0, 2 pi) of the incoming and the outgoing side, a turn counts as
// clockwise when a - b > 0 or a - b < -pi.
bool ClockwiseOutline(const CornerQuad& corners);

// Slope of the line through p and q; kVerticalSlope when p.x == q.x.
double SideSlope(CornerPoint p, CornerPoint q);

// Steps 1 to 3 for side `side` (0..3) of `corners`: the edge samples in scan
// order and whether the side is steep. `invert` reads 255 - g instead of g.
// Returns the number of samples (0 for an invalid image or side).
int CollectEdgeSamples(const GreyImage& image, const CornerQuad& corners, int side,
                       bool clockwise, bool invert, bool subPixelEdges,
                       std::vector<EdgeSample>* samples, bool* steep);

// Step 4 and 5: fits the line (v = k u + b with outlier removal) and writes
// it in y-up form. Returns 1, or 0 with fewer than two samples.
int FitEdgeLine(std::vector<EdgeSample> samples, bool steep, EdgeLine* line);

// The corner of two edge lines: with det = a1 b2 - b1 a2,
//   a1 != 0: y = (a2 c1 - a1 c2) / det, x = -(c1 + b1 y) / a1;
//   a1 == 0: y = -c1 / b1,              x = -(c2 + b2 y) / a2.
// Returns 1, or 0 (corner untouched) for parallel lines or a result that is
// not finite.
int IntersectEdgeLines(const EdgeLine& first, const EdgeLine& second, CornerPoint* corner);

// All steps. Writes four corners; a corner that cannot be found is (0, 0)
// and its `found` flag (when given) false: an invalid image, a corner that
// is not finite, an outline that is self-intersecting or without area, a
// side with fewer than two samples, parallel fitted sides. Use the flags: a
// real corner may lie on row 0 or column 0. Returns the number of corners
// found (0..4).
int LocateRectangleCorners(const GreyImage& image, const CornerQuad& rough, CornerQuad* corners,
                           const RectangleCornerOptions& options = {},
                           std::array<bool, 4>* found = nullptr);

}  // namespace vistamet
