#include "measure/compute/lsm_matching.h"

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

namespace vistamet {
namespace {

// A smooth texture of a few blobs and waves, values within 20 .. 235.
double Texture(double x, double y) {
  double v = 128 + 40 * std::sin(0.45 * x + 0.2 * y) + 30 * std::cos(0.33 * y - 0.15 * x);
  const double blobs[][3] = {{60, 50, 40}, {72, 44, -35}, {55, 62, 30}, {80, 58, -25}};
  for (const auto& b : blobs) {
    const double dx = x - b[0], dy = y - b[1];
    v += b[2] * std::exp(-(dx * dx + dy * dy) / 18.0);
  }
  return std::clamp(v, 20.0, 235.0);
}

// The texture rendered with its origin moved to (sx, sy): the reference
// point (x, y) shows at (x + sx, y + sy).
ImageHolder Render(int w, int h, double sx, double sy, double (*f)(double, double) = Texture) {
  ImageHolder img;
  img.width = w;
  img.height = h;
  img.grey.resize(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      img.grey[static_cast<size_t>(y) * w + x] = static_cast<uint8_t>(f(x - sx, y - sy) + 0.5);
  return img;
}

TEST(MatchPoint, PullsDisplacedTargetsToTheTruePosition) {
  const ImageHolder ref = Render(140, 120, 0, 0);
  const double sx = 3.37, sy = -2.62;  // true shift of the target photo
  const ImageHolder tgt = Render(140, 120, sx, sy);
  const double starts[][2] = {{0, 0},     {1.5, 0},  {-1.5, 0},   {0, 1.5},   {0, -1.5},
                              {1.0, 1.0}, {-1.2, 0.9}, {0.7, -1.3}, {1.5, 1.5}, {-1.5, -1.5}};
  for (const double refX : {62.0, 70.3}) {
    const double refY = 54.6;
    for (const auto& d : starts) {
      SCOPED_TRACE(testing::Message() << refX << " start " << d[0] << "," << d[1]);
      MatchRequest r{refX, refY, refX + sx + d[0], refY + sy + d[1]};
      EXPECT_EQ(MatchPoint(ref, tgt, r), MatchOutcome::kMatched);
      EXPECT_NEAR(r.targetX, refX + sx, 0.1);
      EXPECT_NEAR(r.targetY, refY + sy, 0.1);
      EXPECT_EQ(r.refX, refX);  // the reference stays
    }
  }
}

TEST(MatchPoint, PassRules) {
  const ImageHolder ref = Render(140, 120, 0, 0);
  // Identical photos and positions: the first update cannot raise the
  // correlation, so the saved shift 0 is applied.
  MatchRequest same{65.25, 50.5, 65.25, 50.5};
  EXPECT_EQ(MatchPoint(ref, ref, same), MatchOutcome::kMatched);
  EXPECT_EQ(same.targetX, 65.25);
  EXPECT_EQ(same.targetY, 50.5);

  // A correlation that rises on every pass up to the limit leaves the point
  // where it was.
  const ImageHolder tgt = Render(140, 120, 1.4, 0);
  for (int passes : {1, 2}) {
    MatchRequest r{65, 50, 65, 50};
    EXPECT_EQ(MatchPoint(ref, tgt, r, passes), MatchOutcome::kNoPeak);
    EXPECT_EQ(r.targetX, 65);
    EXPECT_EQ(r.targetY, 50);
  }
  MatchRequest r{65, 50, 65, 50};
  EXPECT_EQ(MatchPoint(ref, tgt, r), MatchOutcome::kMatched);
  EXPECT_NEAR(r.targetX, 66.4, 0.1);
}

TEST(MatchPoint, RefusedRequestsStayUnchanged) {
  const ImageHolder ref = Render(140, 120, 0, 0);
  const ImageHolder flat = Render(140, 120, 0, 0, [](double, double) { return 90.0; });
  ImageHolder noGrey = ref;
  noGrey.grey.resize(100);
  struct Case {
    MatchRequest r;
    const ImageHolder* reference;
    const ImageHolder* target;
    const char* note;
  };
  const Case cases[] = {
      {{3.9, 50, 60, 50}, &ref, &ref, "template reaches past the left edge"},
      {{60, 2.9, 60, 50}, &ref, &ref, "template reaches past the top"},
      {{60, 50, 134.9, 50}, &ref, &ref, "target window reaches past the right edge"},
      {{60, 50, 60, 115.5}, &ref, &ref, "target window reaches past the bottom"},
      {{60, 50, 60, -1}, &ref, &ref, "negative target"},
      {{60, 50, std::nan(""), 50}, &ref, &ref, "not a number"},
      {{60, 50, 1e300, 50}, &ref, &ref, "far away"},
      {{60, 50, 60, 50}, &flat, &ref, "flat template"},
      {{60, 50, 60, 50}, &ref, &flat, "flat target window"},
      {{60, 50, 60, 50}, &ref, &noGrey, "grey buffer shorter than the image"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.note);
    MatchRequest r = c.r;
    EXPECT_EQ(MatchPoint(*c.reference, *c.target, r), MatchOutcome::kRefused);
    EXPECT_EQ(std::isnan(r.targetX) ? 0 : r.targetX, std::isnan(c.r.targetX) ? 0 : c.r.targetX);
    EXPECT_EQ(r.targetY, c.r.targetY);
  }
  // The template closest to the top-left corner: columns 0..8 and rows
  // 0..6 (each with its right or lower neighbour).
  const ImageHolder far = Render(140, 120, 30, 30);
  MatchRequest edge{4.0, 3.0, 34.5, 33.3};
  EXPECT_EQ(MatchPoint(ref, far, edge), MatchOutcome::kMatched);
  EXPECT_NEAR(edge.targetX, 34, 0.1);
  EXPECT_NEAR(edge.targetY, 33, 0.1);
}

TEST(MatchImagePoint, WorksOnTheProjectsLists) {
  const std::vector<ImageHolder> images = {Render(140, 120, 0, 0), Render(140, 120, -0.8, 1.1)};
  ImagePoint reference;
  reference.photoIndex = 0;
  reference.x = 64;
  reference.y = 56;
  ImagePoint target = reference;
  target.photoIndex = 1;
  EXPECT_EQ(MatchImagePoint(images, reference, target), MatchOutcome::kMatched);
  EXPECT_NEAR(target.x, 63.2, 0.1);
  EXPECT_NEAR(target.y, 57.1, 0.1);
  EXPECT_EQ(target.photoIndex, 1);

  ImagePoint stray = target;
  stray.photoIndex = 2;
  EXPECT_EQ(MatchImagePoint(images, reference, stray), MatchOutcome::kRefused);
  EXPECT_EQ(stray.x, target.x);

  std::vector<MatchRequest> batch = {{64, 56, 64, 56}, {2, 2, 2, 2}, {70, 60, 70, 60}};
  EXPECT_EQ(MatchPoints(images[0], images[1], batch), 2);
  EXPECT_EQ(batch[1].targetX, 2);
  EXPECT_NEAR(batch[2].targetX, 69.2, 0.1);
}

}  // namespace
}  // namespace vistamet
