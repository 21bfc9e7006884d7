#include "measure/compute/triangle_refinement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>

#include "measure/compute/target_images_test_support.h"

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
  }
}

}  // namespace
}  // namespace vistamet
