// Sub-pixel apex of a triangle target, from a model fit to the grey values
// around a rough apex (the finder's point, within about 1.5 px).
//
// Model, for the pixels within 2.5 px of the triangle's outline:
//   g(p) = B(p) (1 - W(p)) + t W(p)
// B is a plane (the plate), t the flat tone printed on it, W the triangle
// blurred by a Gaussian of width s. With d1, d2, d3 the
// distances of p from the sides (positive inside, n_i the inner normals),
//   W = 1 - sum F(-d_i / s) + sum over pairs F2(-d_i / s, -d_j / s; n_i . n_j)
// (F, F2 the normal and bivariate normal distribution functions) is exact:
// the outside of a triangle is the union of its three outer half-planes and
// no point lies in all three. So the corners carry no bias from their
// rounding. s absorbs the pixel area as well as the optical blur. The
// triangle is free in shape (any roll, any apex angle, perspective), the
// target dark or light.
//
// The start: the directions of the two sides from the gradients around the
// rough apex (pixels whose gradient is across the ray from the apex), the
// apex moved onto the intersection of lines fitted to the edge a few pixels
// along each side, the sides' lengths by following each until its edge
// ends. The fit is a Levenberg-Marquardt adjustment of 11 parameters; the
// normal distribution comes from a table, and the corners' bivariate terms
// are evaluated only near the corners.
//
// Coordinates are pixels with integer values at pixel centres.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "measure/compute/grey_image.h"

namespace vistamet {

struct TriangleFit {
  int converged = 0;     // 1 when the fit converged inside the image
  double x = 0, y = 0;   // apex
  double sigmaX = 0, sigmaY = 0;  // standard deviations of the apex (noise and model), px
  double contrast = 0;   // target minus plate at the rough apex, grey levels
  double blur = 0;       // s, px
  double apexAngle = 0;  // degrees
  double side1 = 0, side2 = 0;  // lengths of the sides at the apex, px
  double residualRms = 0;       // grey levels
  double plateSlope = 0;        // |(bx, by)| * mean side length, grey levels
  int pixels = 0;               // pixels in the fit
};

// Fits the model around (x0, y0). Returns 1 with *fit filled, or 0 (fit
// converged = 0) when no triangle could be started there or the fit failed.
int RefineTriangleApex(const GreyImage& image, double x0, double y0, TriangleFit* fit);

// Whether a fit describes a triangle target: converged, enough contrast,
// residuals small against it, apex angle and sides of a target, a sharp
// outline and a plain plate around it.
bool IsTriangleTarget(const TriangleFit& fit);

// Re-measures a point that should sit on a triangle target's apex: fits
// the model around (*x, *y) and, when the fit takes it for a target within
// 1.5 px, moves the point onto the fitted apex, unless the point already
// agrees with the fit to within kAgreement px or three of the fit's
// standard deviations (a point measured exactly stays where it is).
// Returns 1 when a target is there (the point kept or moved), 0 when not
// (the point unchanged).
constexpr double kAgreement = 0.15;
int RemeasureTarget(const GreyImage& image, double* x, double* y);

// How the extraction treats the finder's candidates.
// Kept per user, not in the project file.
struct TargetOptions {
  int32_t refine = 1;          // apex from the model fit (else the finder's point)
  int32_t rejectFalse = 1;     // keep only candidates the fit takes for a target
  int32_t weightsFromFit = 0;  // image point weights from the fit's precision, and the
                               // adjustment scales its weights by them
};

// One target of a photo: apex and its standard deviations (0 when not
// fitted).
struct FoundTarget {
  double x = 0, y = 0;
  double sigmaX = 0, sigmaY = 0;
};

// The reference of the weights from the fit: a point measured to this
// standard deviation (px) gets weight 1; weight = (kWeightSigma / sigma)^2,
// held to [0.01, 100].
constexpr double kWeightSigma = 0.05;
double WeightFromSigma(double sigma);

// The finder's candidates, best first, refined and sifted by `options`:
// up to maxCount targets. With neither refinement nor rejection these are
// FindTriangles' points. With rejection the candidates are looked at in
// score order until maxCount are kept (at most four times maxCount are
// looked at); a candidate whose apex lands within 2 px of one already kept
// is the same target. Returns the count; 0 with *targets empty for an
// invalid image, maxCount <= 0, or when *stop became true.
int FindTargets(const GreyImage& image, int maxCount, const TargetOptions& options,
                std::vector<FoundTarget>* targets, const std::atomic<bool>* stop = nullptr);

}  // namespace vistamet
