// Least-squares image matching: refines the position of a point on a target
// photo so that a small window around it matches the window around a
// reference point on a reference photo, allowing an affine distortion of the
// window. Works on the photos' 8-bit grey images (ImageHolder::grey, width *
// height bytes, top row first). Positions are pixels.
#pragma once

#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "measure/records/records.h"

namespace vistamet {

// One matching request: the reference point and the target point; the
// target point is replaced by the result.
struct MatchRequest {
  double refX = 0, refY = 0;        // on the reference photo
  double targetX = 0, targetY = 0;  // on the target photo
};

enum class MatchOutcome {
  kMatched,   // the correlation peaked; the target moved by the best shift
  kNoPeak,    // the correlation rose on every pass; target unchanged
  kRefused,   // window beyond the image, flat window or template, singular
              // normal equations, or no usable grey image; target unchanged
};

constexpr int kLsmMaxPasses = 30;

// Matches one request.
//
// The template is the reference image sampled at the 7 rows x 9 columns
// around the reference point (bilinear, truncated to whole grey levels). The
// target window, 9 x 11 samples (the 7 x 9 plus a one-sample border for the
// gradients), is sampled through the affine map
//   x = tx + T + (1 + A)*u + B*v,   y = ty + W + C*u + (1 + D)*v
// (u = column offset, v = row offset), starting at the identity. Each pass
// computes the correlation coefficient rho of template and window; once rho
// no longer rises, the target point moves by the shift (T, W) of the best
// pass and the match ends. Otherwise the six increments are estimated from
// the window's gradients (central differences, not halved) and composed
// with the parameters of the best pass. There is no lower bound on rho.
//
// Every sample, of the template and of the window on every pass, must lie
// inside the image with its bilinear neighbours; otherwise the request is
// refused and left unchanged.
MatchOutcome MatchPoint(const ImageHolder& reference, const ImageHolder& target,
                        MatchRequest& request, int maxPasses = kLsmMaxPasses);

// Matches every request in turn; returns how many were kMatched.
int MatchPoints(const ImageHolder& reference, const ImageHolder& target,
                std::span<MatchRequest> requests);

// Matches `target` (pixels, on photo target.photoIndex) against `reference`
// (on photo reference.photoIndex) and replaces target's x and y when the
// match succeeds. A photo index outside `images` gives kRefused.
MatchOutcome MatchImagePoint(const std::vector<ImageHolder>& images,
                             const ImagePoint& reference, ImagePoint& target);

// The grey image of a photo by index, decoded on demand; null when the
// photo has none.
using GreyPhotoSource = std::function<std::shared_ptr<const ImageHolder>(int32_t photo)>;

// The same with the photos fetched from `photos` as they are needed.
MatchOutcome MatchImagePoint(const GreyPhotoSource& photos, const ImagePoint& reference,
                             ImagePoint& target);

}  // namespace vistamet
