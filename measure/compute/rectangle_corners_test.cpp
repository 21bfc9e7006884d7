#include "measure/compute/rectangle_corners.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>

#include "measure/compute/target_images_test_support.h"

namespace vistamet {
namespace {

using testing::Canvas;
using Quad = std::array<std::array<double, 2>, 4>;  // pixels, y down

// Clicks 3 to 6 px outside each true corner (away from the centre), in
// the given order, as y-up corner points.
CornerQuad ClicksAround(const Quad& truth, const std::array<int, 4>& order,
                        const std::array<double, 4>& distance) {
  double cx = 0, cy = 0;
  for (const auto& p : truth) cx += p[0] / 4, cy += p[1] / 4;
  CornerQuad q;
  for (int i = 0; i < 4; ++i) {
    const auto& p = truth[order[i]];
    const double dx = p[0] - cx, dy = p[1] - cy, len = std::hypot(dx, dy);
    q[i] = {static_cast<float>(p[0] + distance[i] * dx / len),
            static_cast<float>(-(p[1] + distance[i] * dy / len))};
  }
  return q;
}

constexpr std::array<int, 4> kClockwise = {0, 1, 2, 3};         // TL TR BR BL on screen
constexpr std::array<int, 4> kCounterClockwise = {0, 3, 2, 1};  // TL BL BR TR

TEST(RectangleCorners, RenderedRectanglesGiveTheirCornersWithinAThirdOfAPixel) {
  struct Case {
    const char* note;
    double degrees;
    int object, background;
    std::array<int, 4> order;
  };
  const Case cases[] = {
      {"axis-parallel, light object, clockwise", 0, 215, 60, kClockwise},
      {"axis-parallel, light object, counter-clockwise", 0, 215, 60, kCounterClockwise},
      {"axis-parallel, dark object, clockwise", 0, 45, 205, kClockwise},
      {"axis-parallel, dark object, counter-clockwise", 0, 45, 205, kCounterClockwise},
      {"turned 20, light object, clockwise", 20, 215, 60, kClockwise},
      {"turned 20, light object, counter-clockwise", 20, 215, 60, kCounterClockwise},
      {"turned 20, dark object, clockwise", 20, 45, 205, kClockwise},
      {"turned -20, dark object, counter-clockwise", -20, 45, 205, kCounterClockwise},
      {"turned 20, mid-grey object on black", 20, 150, 20, kClockwise},
  };
  const std::array<double, 4> distances = {3.0, 4.5, 6.0, 3.7};
  double worst = 0;
  for (const Case& cs : cases) {
    SCOPED_TRACE(cs.note);
    Canvas img(320, 240);
    testing::FillTexture(&img, cs.background, 16, 3, 9);
    const Quad truth = testing::TurnedRectangle(160.37, 118.81, 150.3, 90.6, cs.degrees);
    testing::DrawQuad(&img, truth, cs.object);
    const CornerQuad clicks = ClicksAround(truth, cs.order, distances);
    CornerQuad corners;
    EXPECT_EQ(LocateRectangleCorners(img.View(), clicks, &corners), 4);
    for (int i = 0; i < 4; ++i) {
      const auto& t = truth[cs.order[i]];
      const double err = std::hypot(corners[i].x - t[0], corners[i].y + t[1]);
      worst = std::max(worst, err);
      EXPECT_LE(err, 0.3) << "corner " << i << " at " << corners[i].x << "," << -corners[i].y
                          << " true " << t[0] << "," << t[1];
    }
  }
  std::printf("[ rectangle corners ] largest error %.3f px\n", worst);
}

TEST(RectangleCorners, AxisParallelClicksUseTheVerticalSlope) {
  EXPECT_EQ(SideSlope({5, -1}, {5, -40}), kVerticalSlope);
  EXPECT_EQ(SideSlope({5, -40}, {5, -1}), kVerticalSlope);
  EXPECT_DOUBLE_EQ(SideSlope({0, 0}, {2, 1}), 0.5);
  EXPECT_DOUBLE_EQ(SideSlope({0, 0}, {-1, 3}), -3.0);

  // Clicks straight out from the corners, so two of them share a column on
  // each vertical side: those sides run through the vertical slope.
  Canvas img(200, 150);
  testing::FillTexture(&img, 50, 10, 2, 4);
  const Quad truth = {{{40.3, 30.6}, {160.8, 30.6}, {160.8, 110.2}, {40.3, 110.2}}};
  testing::DrawQuad(&img, truth, 220);
  const CornerQuad clicks = {{{36, -26}, {165, -26}, {165, -115}, {36, -115}}};
  CornerQuad corners;
  ASSERT_EQ(LocateRectangleCorners(img.View(), clicks, &corners), 4);
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(corners[i].x, truth[i][0], 0.3) << i;
    EXPECT_NEAR(corners[i].y, -truth[i][1], 0.3) << i;
  }
}

// The plain scan on a sharp light rectangle covering columns 50..149 and
// rows 40..119: the edge pixel is the first one inside (the later of two
// equal gradients), plus half a pixel on the sides scanned towards +x and
// +row (left and top). The refined scan gives the pixel boundaries.
TEST(RectangleCorners, PlainAndRefinedEdgePositionsOnASharpRectangle) {
  Canvas img(200, 160, 40);
  for (int y = 40; y <= 119; ++y)
    for (int x = 50; x <= 149; ++x) img.At(x, y) = 230;
  struct Case {
    const char* note;
    std::array<int, 4> order;
    RectangleCornerOptions options;
    double left, right, top, bottom;  // expected edges, pixels, y down
  };
  const RectangleCornerOptions plain{false, false};
  const Case cases[] = {
      {"plain, clockwise", kClockwise, plain, 50.5, 149, 40.5, 119},
      {"plain, counter-clockwise", kCounterClockwise, plain, 50.5, 149, 40.5, 119},
      {"refined, clockwise", kClockwise, {}, 49.5, 149.5, 39.5, 119.5},
      {"refined, counter-clockwise", kCounterClockwise, {}, 49.5, 149.5, 39.5, 119.5},
  };
  const Quad truth = {{{49.5, 39.5}, {149.5, 39.5}, {149.5, 119.5}, {49.5, 119.5}}};
  for (const Case& cs : cases) {
    SCOPED_TRACE(cs.note);
    const CornerQuad clicks = ClicksAround(truth, cs.order, {4, 4, 4, 4});
    CornerQuad c;
    ASSERT_EQ(LocateRectangleCorners(img.View(), clicks, &c, cs.options), 4);
    // Corner i of the result is the clicked corner i.
    for (int i = 0; i < 4; ++i) {
      const int which = cs.order[i];  // 0 TL, 1 TR, 2 BR, 3 BL
      const double ex = (which == 0 || which == 3) ? cs.left : cs.right;
      const double ey = (which == 0 || which == 1) ? cs.top : cs.bottom;
      EXPECT_NEAR(c[i].x, ex, 1e-4) << i;
      EXPECT_NEAR(-c[i].y, ey, 1e-4) << i;
    }
  }
}

TEST(RectangleCorners, OrientationFlag) {
  struct Case {
    const char* note;
    CornerQuad q;
    bool clockwise;
  };
  const Case cases[] = {
      {"clockwise square", {{{0, 0}, {10, 0}, {10, -10}, {0, -10}}}, true},
      {"counter-clockwise square", {{{0, 0}, {0, -10}, {10, -10}, {10, 0}}}, false},
      {"clockwise, turned", {{{0, 0}, {9.8f, 1.7f}, {11.5f, -8.1f}, {1.7f, -9.8f}}}, true},
      // The incoming direction just below east and a left turn across 0:
      // that one vertex looks clockwise, the others do not.
      {"counter-clockwise, turned",
       {{{0, 0}, {-1.7f, -9.85f}, {8.15f, -11.55f}, {9.85f, -1.7f}}},
       false},
      {"collinear", {{{0, 0}, {1, 0}, {2, 0}, {3, 0}}}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.note);
    EXPECT_EQ(ClockwiseOutline(c.q), c.clockwise);
  }
}

TEST(RectangleCorners, LineFitDropsOutliersOneAtATime) {
  // v = 0.25 u + 3 with two far samples and one 0.9 px off (kept).
  std::vector<EdgeSample> s;
  for (int u = 0; u < 20; ++u) s.push_back({static_cast<double>(u), 0.25 * u + 3});
  s[4].v += 30;
  s[11].v -= 12;
  s[15].v += 0.9;
  EdgeLine flat, steep;
  ASSERT_EQ(FitEdgeLine(s, false, &flat), 1);
  ASSERT_EQ(FitEdgeLine(s, true, &steep), 1);
  // The 0.9 px sample stays and pulls the line a little.
  EXPECT_NEAR(flat.a, 0.25, 0.01);
  EXPECT_EQ(flat.b, -1.0);
  EXPECT_NEAR(flat.c, 3.0, 0.1);
  EXPECT_EQ(steep.a, 1.0);
  EXPECT_NEAR(steep.b, -0.25, 0.01);
  EXPECT_NEAR(steep.c, -3.0, 0.1);
  // Without the 0.9 px sample the fit is exact.
  s[15].v -= 0.9;
  ASSERT_EQ(FitEdgeLine(s, false, &flat), 1);
  EXPECT_NEAR(flat.a, 0.25, 1e-12);
  EXPECT_NEAR(flat.c, 3.0, 1e-12);

  // Too few samples, or all on one scan line.
  EdgeLine untouched{7, 8, 9};
  EXPECT_EQ(FitEdgeLine({}, false, &untouched), 0);
  EXPECT_EQ(FitEdgeLine({{1, 2}}, false, &untouched), 0);
  EXPECT_EQ(FitEdgeLine({{1, 2}, {1, 5}}, true, &untouched), 0);
  EXPECT_EQ(untouched.a, 7);
  // Two samples define the line and cannot be rejected.
  ASSERT_EQ(FitEdgeLine({{0, 0}, {10, 50}}, false, &flat), 1);
  EXPECT_DOUBLE_EQ(flat.a, 5.0);
}

TEST(RectangleCorners, LineIntersections) {
  struct Case {
    const char* note;
    EdgeLine first, second;
    int ok;
    float x, y;
  };
  const Case cases[] = {
      // x = 2 (steep, k = 0) with y = 0.5 x - 1 (flat)
      {"steep then flat", {1, 0, -2}, {0.5, -1, -1}, 1, 2, 0},
      {"flat then steep", {0.5, -1, -1}, {1, 0, -2}, 1, 2, 0},
      // y = -3 (flat, k = 0: a1 = 0) with x = 0.1 y + 4
      {"horizontal first", {0, -1, -3}, {1, -0.1, -4}, 1, 3.7f, -3},
      {"parallel flats", {0.5, -1, 2}, {0.5, -1, -7}, 0, 0, 0},
      {"parallel steeps", {1, -0.2, 1}, {1, -0.2, 5}, 0, 0, 0},
      {"two horizontals", {0, -1, 2}, {0, -1, 5}, 0, 0, 0},
      {"overflowing", {1e-300, -1, 1e300}, {1, 0, 0}, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.note);
    CornerPoint p{-9, -9};
    EXPECT_EQ(IntersectEdgeLines(c.first, c.second, &p), c.ok);
    if (c.ok) {
      EXPECT_NEAR(p.x, c.x, 1e-5);
      EXPECT_NEAR(p.y, c.y, 1e-5);
    } else {
      EXPECT_EQ(p.x, -9);
    }
  }
}

TEST(RectangleCorners, DegenerateInputGivesZeroCorners) {
  Canvas img(120, 90);
  testing::FillTexture(&img, 60, 10, 2, 2);
  testing::DrawQuad(&img, {{{30, 20}, {90, 20}, {90, 70}, {30, 70}}}, 220);
  const std::vector<uint8_t> tiny(4, 200);
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    const char* note;
    GreyImage image;
    CornerQuad q;
  };
  const Case cases[] = {
      {"self-intersecting", img.View(), {{{26, -16}, {94, -74}, {94, -16}, {26, -74}}}},
      {"all corners equal", img.View(), {{{50, -50}, {50, -50}, {50, -50}, {50, -50}}}},
      {"collinear", img.View(), {{{10, -10}, {40, -10}, {70, -10}, {100, -10}}}},
      {"outside the image", img.View(), {{{500, -500}, {600, -500}, {600, -600}, {500, -600}}}},
      {"above the image (y-up positive)", img.View(), {{{26, 16}, {94, 16}, {94, 74}, {26, 74}}}},
      {"huge", img.View(), {{{-1e30f, 1e30f}, {1e30f, 1e30f}, {1e30f, -1e30f}, {-1e30f, -1e30f}}}},
      {"infinite", img.View(), {{{26, -16}, {inf, -16}, {94, -74}, {26, -74}}}},
      {"not a number", img.View(), {{{26, -16}, {94, nan}, {94, -74}, {26, -74}}}},
      {"tiny image", GreyView(tiny, 2, 2), {{{0, 0}, {1, 0}, {1, -1}, {0, -1}}}},
      {"invalid image", GreyImage{tiny.data(), 3, 3, tiny.size()},
       {{{0, 0}, {2, 0}, {2, -2}, {0, -2}}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.note);
    CornerQuad out;
    out.fill({3, 3});
    EXPECT_EQ(LocateRectangleCorners(c.image, c.q, &out), 0);
    for (const CornerPoint& p : out) {
      EXPECT_EQ(p.x, 0);
      EXPECT_EQ(p.y, 0);
    }
  }
}

TEST(RectangleCorners, OutlinePartlyOutsideTheImageKeepsWhatItSees) {
  // The right half of the clicked outline lies beyond the image: the right
  // side gets no sample, so the two corners on it are (0, 0); the left
  // corners are still found.
  Canvas img(100, 100);
  testing::FillTexture(&img, 60, 10, 2, 6);
  testing::DrawQuad(&img, {{{40.2, 30.4}, {140, 30.4}, {140, 80.7}, {40.2, 80.7}}}, 220);
  const CornerQuad clicks = {{{36, -26}, {145, -26}, {145, -85}, {36, -85}}};
  CornerQuad c;
  std::array<bool, 4> found;
  EXPECT_EQ(LocateRectangleCorners(img.View(), clicks, &c, {}, &found), 2);
  EXPECT_EQ(found, (std::array<bool, 4>{true, false, false, true}));
  EXPECT_NEAR(c[0].x, 40.2, 0.3);
  EXPECT_NEAR(c[0].y, -30.4, 0.3);
  EXPECT_EQ(c[1].x, 0);
  EXPECT_EQ(c[2].x, 0);
  EXPECT_NEAR(c[3].x, 40.2, 0.3);
  EXPECT_NEAR(c[3].y, -80.7, 0.3);
}

}  // namespace
}  // namespace vistamet
