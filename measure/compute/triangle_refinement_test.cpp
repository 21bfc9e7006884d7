#include "measure/compute/triangle_refinement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <algorithm>
#include <random>

#include "measure/compute/target_images_test_support.h"
#include "measure/compute/triangle_finder.h"

namespace vistamet {
namespace {

using testing::TargetSheet;
using testing::TargetSheetOptions;

struct Stats {
  int targets = 0, fitted = 0, accepted = 0;
  double meanX = 0, meanY = 0, rms = 0, worst = 0;
  double meanSigma = 0;  // mean of the fit's own sigma per axis
};

// Refines every target of a sheet from a start up to 1.5 px off the truth.
Stats Measure(const TargetSheetOptions& o) {
  const TargetSheet sheet = testing::MakeTargetSheet(o);
  std::mt19937 rng(o.seed + 5);
  std::uniform_real_distribution<double> off(-1.05, 1.05);
  Stats st;
  double sx = 0, sy = 0, sq = 0, ss = 0;
  for (const auto& a : sheet.apexes) {
    ++st.targets;
    TriangleFit fit;
    if (!RefineTriangleApex(sheet.image.View(), a[0] + off(rng), a[1] + off(rng), &fit)) continue;
    ++st.fitted;
    if (IsTriangleTarget(fit)) ++st.accepted;
    const double dx = fit.x - a[0], dy = fit.y - a[1];
    sx += dx;
    sy += dy;
    sq += dx * dx + dy * dy;
    ss += 0.5 * (fit.sigmaX + fit.sigmaY);
    st.worst = std::max(st.worst, std::hypot(dx, dy));
  }
  if (st.fitted > 0) {
    st.meanX = sx / st.fitted;
    st.meanY = sy / st.fitted;
    st.rms = std::sqrt(sq / st.fitted);
    st.meanSigma = ss / st.fitted;
  }
  return st;
}

// Rendered sheets of 8 to 40 px targets at any roll with a mild
// perspective: the apex within 0.05 px RMS (radial) and 0.02 px bias per
// axis, every target fitted and taken for a target.
TEST(TriangleRefinement, ApexToATwentiethOfAPixelOnRenderedSheets) {
  struct Case {
    const char* note;
    bool dark;
    double blur, noise;
    double minBase, maxBase;
  };
  const Case cases[] = {
      {"sharp, dark", true, 0.0, 0.0, 8, 40},
      {"sharp, light, noisy", false, 0.0, 3.0, 8, 40},
      {"blurred 0.5, dark, noisy", true, 0.5, 2.0, 8, 40},
      {"blurred 0.8, light, noisy", false, 0.8, 3.0, 8, 40},
      {"small targets, blurred 0.8, noisy", true, 0.8, 3.0, 8, 12},
  };
  uint32_t seed = 1;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.note);
    TargetSheetOptions o;
    o.dark = c.dark;
    o.blur = c.blur;
    o.noise = c.noise;
    o.minBase = c.minBase;
    o.maxBase = c.maxBase;
    o.seed = seed++;
    const Stats st = Measure(o);
    std::printf("[ refine  ] %-36s n %d fitted %d accepted %d rms %.4f bias %.4f %.4f worst %.3f sigma %.4f\n",
                c.note, st.targets, st.fitted, st.accepted, st.rms, st.meanX, st.meanY, st.worst,
                st.meanSigma);
    EXPECT_EQ(st.fitted, st.targets);
    EXPECT_EQ(st.accepted, st.targets);
    EXPECT_LE(st.rms, 0.05);
    EXPECT_LE(std::fabs(st.meanX), 0.02);
    EXPECT_LE(std::fabs(st.meanY), 0.02);
    // The fit's own precision tells how good the apex is, to a factor 2.
    const double perAxis = st.rms / std::sqrt(2.0);
    EXPECT_GE(st.meanSigma, 0.5 * perAxis);
    EXPECT_LE(st.meanSigma, 2.0 * perAxis);
  }
}

}  // namespace
}  // namespace vistamet

namespace vistamet {
namespace {

using testing::Canvas;

// A photo of a control field with boxes standing in it: box faces in three
// greys, flat slabs turned at random, and `count` targets of 10 to 20 px on
// the free plate above and below them.
struct BoxScene {
  Canvas image{1200, 800};
  std::vector<std::array<double, 2>> apexes;
};

BoxScene MakeBoxScene(uint32_t seed, int count) {
  BoxScene sc;
  testing::FillTexture(&sc.image, 165, 30, 3, seed);
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> u(0.0, 1.0);
  for (int b = 0; b < 4; ++b) {
    // A box seen from above and to the side: front, top and side faces.
    const double x = 60 + b * 290 + 40 * u(rng), y = 330 + 60 * u(rng);
    const double w = 120 + 60 * u(rng), h = 90 + 40 * u(rng), d = 30 + 30 * u(rng);
    testing::DrawQuad(&sc.image, {{{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}}}, 90);
    testing::DrawQuad(&sc.image, {{{x, y}, {x + d, y - d}, {x + w + d, y - d}, {x + w, y}}}, 225);
    testing::DrawQuad(&sc.image, {{{x + w, y}, {x + w + d, y - d}, {x + w + d, y + h - d}, {x + w, y + h}}}, 50);
  }
  for (int b = 0; b < 3; ++b) {
    const auto q = testing::TurnedRectangle(200 + b * 380 + 60 * u(rng), 300 + 200 * u(rng),
                                            90 + 40 * u(rng), 50 + 30 * u(rng), 360 * u(rng));
    testing::DrawQuad(&sc.image, q, b % 2 ? 20 : 240);
  }
  for (int i = 0; i < count; ++i) {
    const int row = i / 12, col = i % 12;
    const double x = 50 + col * 95 + 20 * u(rng);
    const double y = (row < 2 ? 60 + row * 90 : 610 + (row - 2) * 90) + 20 * u(rng);
    const double base = 10 + 10 * u(rng);
    testing::DrawTriangle(&sc.image, x, y, base, 0.62 * base, 30, -10 + 20 * u(rng));
    sc.apexes.push_back({x, y});
  }
  return sc;
}

struct Tally {
  int real = 0, falseTargets = 0;
  double rms = 0;
};

Tally Count(const BoxScene& sc, const std::vector<FoundTarget>& found, double tolerance) {
  Tally t;
  double sq = 0;
  for (const FoundTarget& f : found) {
    double best = 1e9;
    for (const auto& a : sc.apexes) best = std::min(best, std::hypot(f.x - a[0], f.y - a[1]));
    if (best <= tolerance) {
      ++t.real;
      sq += best * best;
    } else {
      ++t.falseTargets;
    }
  }
  if (t.real > 0) t.rms = std::sqrt(sq / t.real);
  return t;
}

// The finder alone marks box corners and edges; the fit throws them out
// (at most one left per photo) and keeps every real target, at its apex.
TEST(TargetSearch, BoxCornersAndEdgesAreNoTargets) {
  int finderFalse = 0, keptFalse = 0, photos = 0;
  for (uint32_t seed : {3u, 8u, 21u, 34u}) {
    SCOPED_TRACE(seed);
    const BoxScene sc = MakeBoxScene(seed, 40);
    std::vector<FoundTarget> plain, sifted;
    FindTargets(sc.image.View(), kMaxTrianglesPerPhoto, TargetOptions{0, 0, 0}, &plain);
    FindTargets(sc.image.View(), kMaxTrianglesPerPhoto, TargetOptions{}, &sifted);
    const Tally before = Count(sc, plain, 2.0), after = Count(sc, sifted, 0.2);
    std::printf("[ boxes   ] seed %u finder %d real %d false; fitted %d real %d false, rms %.4f\n",
                seed, before.real, before.falseTargets, after.real, after.falseTargets, after.rms);
    EXPECT_EQ(after.real, 40);
    EXPECT_LE(after.falseTargets, 1);
    finderFalse += before.falseTargets;
    keptFalse += after.falseTargets;
    ++photos;
  }
  EXPECT_GT(finderFalse, keptFalse);
}

// Refinement and rejection can be had one without the other: rejection
// alone keeps the finder's points, refinement alone keeps every candidate.
TEST(TargetSearch, OptionsSwitchRefinementAndRejectionApart) {
  const BoxScene sc = MakeBoxScene(5, 30);
  std::vector<TrianglePoint> finder;
  FindTriangles(sc.image.View(), kMaxTrianglesPerPhoto, &finder);
  std::vector<FoundTarget> plain, refinedOnly, rejectOnly;
  FindTargets(sc.image.View(), kMaxTrianglesPerPhoto, TargetOptions{0, 0, 0}, &plain);
  FindTargets(sc.image.View(), kMaxTrianglesPerPhoto, TargetOptions{1, 0, 0}, &refinedOnly);
  FindTargets(sc.image.View(), kMaxTrianglesPerPhoto, TargetOptions{0, 1, 0}, &rejectOnly);
  ASSERT_EQ(plain.size(), finder.size());
  for (size_t i = 0; i < finder.size(); ++i) {
    EXPECT_EQ(plain[i].x, finder[i].x);
    EXPECT_EQ(plain[i].y, finder[i].y);
  }
  EXPECT_GE(refinedOnly.size() + 2, finder.size());  // only duplicates merge
  EXPECT_LT(Count(sc, refinedOnly, 0.2).rms, 0.05);
  const Tally r = Count(sc, rejectOnly, 2.0);
  EXPECT_EQ(r.real, 30);
  EXPECT_LE(r.falseTargets, 1);
  for (const FoundTarget& t : rejectOnly) EXPECT_GT(t.sigmaX, 0.0);
}

// No triangle: a flat plate, a straight edge and a rectangle's corner give
// no fit or a fit that is not a target.
TEST(TriangleRefinement, ShapesThatAreNoTriangles) {
  struct Case {
    const char* note;
    std::array<std::array<double, 2>, 4> quad;
  };
  const Case cases[] = {
      {"straight edge", {{{-10, 60}, {200, 60}, {200, 200}, {-10, 200}}}},
      {"right-angled corner", {{{60, 60}, {200, 60}, {200, 200}, {60, 200}}}},
      {"turned corner", testing::TurnedRectangle(120, 120, 120, 120, 30)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.note);
    Canvas img(200, 200);
    testing::FillTexture(&img, 170, 10, 2, 7);
    testing::DrawQuad(&img, c.quad, 40);
    const double x = c.quad[0][0] < 0 ? 100 : c.quad[0][0], y = c.quad[0][1];
    TriangleFit fit;
    RefineTriangleApex(img.View(), x + 0.4, y + 0.7, &fit);
    EXPECT_FALSE(IsTriangleTarget(fit));
  }
  Canvas flat(64, 64, 120);
  TriangleFit fit;
  EXPECT_EQ(RefineTriangleApex(flat.View(), 32, 32, &fit), 0);
  EXPECT_EQ(RefineTriangleApex(flat.View(), -1, 32, &fit), 0);
  EXPECT_EQ(RefineTriangleApex(flat.View(), std::nan(""), 32, &fit), 0);
  // Slivers of images and a target cut by the border: no crash, no target.
  for (int32_t w : {1, 2, 3, 5}) {
    Canvas sliver(w, 40, 200);
    for (int32_t y = 20; y < 40; ++y) sliver.At(0, y) = 20;
    EXPECT_FALSE(RefineTriangleApex(sliver.View(), 0, 20, &fit) && IsTriangleTarget(fit)) << w;
  }
  Canvas edge(60, 60, 200);
  testing::DrawTriangle(&edge, 1.0, 58.5, 20, 12, 30, 0);
  RefineTriangleApex(edge.View(), 1.0, 58.5, &fit);
}

// Re-measuring leaves exact apexes where they are (within 0.02 px), brings
// a rough point onto its apex, and leaves a point that is no target alone.
TEST(TriangleRefinement, RemeasuringKeepsExactApexesAndMovesRoughOnes) {
  for (uint32_t seed : {41u, 42u}) {
    TargetSheetOptions o;
    o.seed = seed;
    o.dark = seed % 2 == 0;
    o.blur = 0.5;
    o.noise = 2;
    const TargetSheet sheet = testing::MakeTargetSheet(o);
    double worstKept = 0, worstRough = 0;
    for (const auto& a : sheet.apexes) {
      double x = a[0], y = a[1];
      ASSERT_EQ(RemeasureTarget(sheet.image.View(), &x, &y), 1);
      worstKept = std::max(worstKept, std::hypot(x - a[0], y - a[1]));
      x = a[0] + 0.6;
      y = a[1] - 0.4;
      ASSERT_EQ(RemeasureTarget(sheet.image.View(), &x, &y), 1);
      worstRough = std::max(worstRough, std::hypot(x - a[0], y - a[1]));
    }
    EXPECT_LE(worstKept, 0.02);
    EXPECT_LE(worstRough, kAgreement);
  }
  Canvas img(200, 200);
  testing::FillTexture(&img, 170, 10, 2, 7);
  testing::DrawQuad(&img, {{{60, 60}, {200, 60}, {200, 200}, {60, 200}}}, 40);
  double x = 60.4, y = 60.3;
  EXPECT_EQ(RemeasureTarget(img.View(), &x, &y), 0);
  EXPECT_EQ(x, 60.4);
  EXPECT_EQ(y, 60.3);
}

}  // namespace
}  // namespace vistamet
