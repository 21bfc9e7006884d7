#include "measure/compute/triangle_finder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>

#include "measure/compute/target_images_test_support.h"

namespace vistamet {
namespace {

using testing::Canvas;

constexpr int kMask[6][11] = {
    {0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0}, {0, 0, 0, 1, 1, 1, 1, 1, 0, 0, 0},
    {0, 0, 0, 1, 1, 1, 1, 1, 0, 0, 0}, {0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 0},
    {0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0}};

// The correlation of one window computed the plain way, in doubles;
// *ambiguous when the value sits too close to an integer to say how it
// truncates.
int DirectCorrelation(const GreyImage& img, int col, int row, bool* ambiguous) {
  double sg = 0, sg2 = 0, smg = 0;
  for (int r = 0; r < 6; ++r) {
    for (int c = 0; c < 11; ++c) {
      const double g = img.At(col + c, row + r);
      sg += g;
      sg2 += g * g;
      smg += kMask[r][c] * g;
    }
  }
  const double vm = (26.0 - 26.0 * 26.0 / 66.0) / 66.0;
  const double vg = (sg2 - sg * sg / 66.0) / 66.0;
  *ambiguous = std::fabs(vg - 1.0) < 1e-9;
  if (vg < 1.0) return 0;
  const double v = std::fabs((smg - 26.0 * sg / 66.0) / 66.0) * 100.0 / std::sqrt(vg * vm);
  *ambiguous = *ambiguous || std::fabs(v - std::round(v)) < 1e-9;
  return static_cast<int>(v);
}

TEST(TriangleCorrelation, RunningSumsMatchThePlainFormulaEverywhere) {
  // Texture with strong noise gives every kind of window, including flat
  // ones (the saturated corner) and perfect pattern copies.
  Canvas img(53, 41);
  testing::FillTexture(&img, 120, 160, 60, 7);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 14; ++x) img.At(x, y) = 255;
  for (int r = 0; r < 6; ++r)
    for (int c = 0; c < 11; ++c) img.At(30 + c, 20 + r) = kMask[r][c] ? 10 : 200;

  TriangleCorrelation corr;
  ASSERT_EQ(ComputeTriangleCorrelation(img.View(), &corr), 1);
  ASSERT_EQ(corr.cols, 43);
  ASSERT_EQ(corr.rows, 36);
  int checked = 0;
  for (int r = 0; r < corr.rows; ++r) {
    for (int c = 0; c < corr.cols; ++c) {
      bool ambiguous = false;
      const int expected = DirectCorrelation(img.View(), c, r, &ambiguous);
      if (ambiguous) continue;
      ASSERT_EQ(corr.At(c, r), expected) << "window " << c << "," << r;
      ++checked;
    }
  }
  EXPECT_GT(checked, corr.rows * corr.cols * 9 / 10);
  EXPECT_EQ(corr.At(0, 0), 0);     // flat window
  EXPECT_EQ(corr.At(30, 20), 100); // the pattern itself, dark on light
}

TEST(TriangleFinder, DegenerateImagesGiveNothing) {
  const std::vector<uint8_t> uniform(200 * 150, 137);
  const std::vector<uint8_t> noise = [] {
    std::vector<uint8_t> v(12 * 7);
    std::mt19937 rng(3);
    for (auto& b : v) b = static_cast<uint8_t>(rng());
    return v;
  }();
  struct Case {
    const char* note;
    GreyImage image;
    int maxCount;
  };
  const Case cases[] = {
      {"uniform grey", GreyView(uniform, 200, 150), 50},
      {"narrower than a window", GreyView(uniform, 10, 6), 50},
      {"lower than a window", GreyView(uniform, 11, 5), 50},
      {"one window, no interior", GreyView(noise, 11, 6), 50},
      {"two windows a row, no interior", GreyView(noise, 12, 7), 50},
      {"buffer shorter than width*height", GreyImage{noise.data(), 12, 8, noise.size()}, 50},
      {"negative size", GreyImage{noise.data(), -12, -7, noise.size()}, 50},
      {"no pixels", GreyImage{nullptr, 12, 7, 84}, 50},
      {"empty", GreyImage{}, 50},
      {"maxCount 0", GreyView(noise, 12, 7), 0},
      {"maxCount negative", GreyView(uniform, 200, 150), -5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.note);
    std::vector<TrianglePoint> points(3);
    EXPECT_EQ(FindTriangles(c.image, c.maxCount, &points), 0);
    EXPECT_TRUE(points.empty());
  }
  TriangleCorrelation corr;
  ASSERT_EQ(ComputeTriangleCorrelation(GreyView(uniform, 200, 150), &corr), 1);
  EXPECT_EQ(std::count(corr.values.begin(), corr.values.end(), 0),
            static_cast<long>(corr.values.size()));
}

TEST(TriangleFinder, StopRequestAbandonsTheImage) {
  Canvas img(120, 80);
  testing::FillTexture(&img, 128, 40, 3, 1);
  testing::DrawTriangle(&img, 60, 40, 14, 8.5, 20);
  std::atomic<bool> stop(true);
  std::vector<TrianglePoint> points;
  EXPECT_EQ(FindTriangles(img.View(), 50, &points, &stop), 0);
  EXPECT_TRUE(points.empty());
  stop = false;
  EXPECT_GE(FindTriangles(img.View(), 50, &points, &stop), 1);
}

TEST(TriangleFinder, SinglePeakScoresItsCorrelation) {
  Canvas img(40, 30, 180);
  testing::DrawTriangle(&img, 20.3, 16.6, 12, 7.5, 30);
  TriangleCorrelation corr;
  ASSERT_EQ(ComputeTriangleCorrelation(img.View(), &corr), 1);
  std::vector<TrianglePeak> peaks = FindTrianglePeaks(corr);
  ASSERT_EQ(peaks.size(), 1u);
  ScoreTrianglePeaks(img.View(), &peaks);
  EXPECT_GT(peaks[0].contrast, 0);
  EXPECT_EQ(peaks[0].score, peaks[0].value);
  EXPECT_EQ(peaks[0].value, corr.At(peaks[0].column, peaks[0].row));
}

TEST(TriangleFinder, ScoresScaleByContrastAgainstTheStrongest) {
  // Two copies of the same pattern, one with half the contrast: equal
  // correlation, half the score (truncated).
  Canvas img(60, 20, 100);
  for (int r = 0; r < 6; ++r) {
    for (int c = 0; c < 11; ++c) {
      img.At(5 + c, 6 + r) = kMask[r][c] ? 180 : 100;
      img.At(35 + c, 6 + r) = kMask[r][c] ? 140 : 100;
    }
  }
  TriangleCorrelation corr;
  ASSERT_EQ(ComputeTriangleCorrelation(img.View(), &corr), 1);
  std::vector<TrianglePeak> peaks = FindTrianglePeaks(corr);
  ASSERT_EQ(peaks.size(), 2u);
  ScoreTrianglePeaks(img.View(), &peaks);
  EXPECT_EQ(peaks[0].value, 100);
  EXPECT_EQ(peaks[1].value, 100);
  EXPECT_EQ(peaks[0].score, 100);
  EXPECT_EQ(peaks[1].score, 50);
}

TEST(TriangleFinder, OrderIsByScoreWithTiesInScanOrder) {
  struct Case {
    const char* note;
    std::vector<int> scores;  // in scan order
    int keep;
    std::vector<int> expected;  // indexes into scores
  };
  const Case cases[] = {
      {"ties after a higher score", {1, 1, 2}, 10, {2, 0, 1}},
      {"interleaved ties", {5, 7, 5, 7, 9, 5}, 10, {4, 1, 3, 0, 2, 5}},
      {"all equal", {3, 3, 3, 3}, 10, {0, 1, 2, 3}},
      {"keep cuts the list", {5, 7, 5, 7, 9, 5}, 3, {4, 1, 3}},
      {"keep 0", {5, 7}, 0, {}},
      {"keep negative", {5, 7}, -1, {}},
      {"empty", {}, 50, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.note);
    std::vector<TrianglePeak> peaks;
    for (size_t i = 0; i < c.scores.size(); ++i) {
      TrianglePeak p;
      p.row = static_cast<int32_t>(1 + i / 3);
      p.column = static_cast<int32_t>(1 + (i % 3) * 4);
      p.score = c.scores[i];
      peaks.push_back(p);
    }
    const std::vector<TrianglePeak> scan = peaks;
    OrderTrianglePeaks(&peaks, c.keep);
    ASSERT_EQ(peaks.size(), c.expected.size());
    for (size_t i = 0; i < peaks.size(); ++i) {
      EXPECT_EQ(peaks[i].row, scan[c.expected[i]].row) << i;
      EXPECT_EQ(peaks[i].column, scan[c.expected[i]].column) << i;
    }
  }
}

TEST(TriangleFinder, EightyEqualTargetsGiveTheFirstFiftyInScanOrder) {
  // 8 rows of 10 identical targets at whole-pixel positions: identical
  // windows, identical scores, so the first 50 in scan order are kept.
  Canvas img(10 * 24 + 20, 8 * 20 + 20, 200);
  std::vector<std::pair<int, int>> apexes;
  for (int r = 0; r < 8; ++r) {
    for (int c = 0; c < 10; ++c) {
      const int ax = 20 + c * 24, ay = 20 + r * 20;
      testing::DrawTriangle(&img, ax, ay, 14, 8.75, 40);
      apexes.push_back({ax, ay});
    }
  }
  TriangleCorrelation corr;
  ASSERT_EQ(ComputeTriangleCorrelation(img.View(), &corr), 1);
  std::vector<TrianglePeak> peaks = FindTrianglePeaks(corr);
  ASSERT_EQ(peaks.size(), 80u);
  ScoreTrianglePeaks(img.View(), &peaks);
  for (const TrianglePeak& p : peaks) EXPECT_EQ(p.score, peaks[0].score);

  std::vector<TrianglePoint> points;
  ASSERT_EQ(FindTriangles(img.View(), kMaxTrianglesPerPhoto, &points), 50);
  for (int i = 0; i < 50; ++i) {
    EXPECT_NEAR(points[i].x, apexes[i].first, 1.0) << i;
    EXPECT_NEAR(points[i].y, apexes[i].second, 1.0) << i;
  }
  ASSERT_EQ(FindTriangles(img.View(), 200, &points), 80);
}

// Targets of 10 to 20 px at sub-pixel positions, turned by up to 10
// degrees, on a textured background, dark on light and light on dark: every
// target is found, near its apex.
TEST(TriangleFinder, FindsRenderedTargetsNearTheirApexes) {
  struct Case {
    const char* note;
    int background;
    int target;
  };
  const Case cases[] = {{"dark on light", 170, 35}, {"light on dark", 70, 225}};
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> frac(0.0, 1.0);
  for (const Case& cs : cases) {
    SCOPED_TRACE(cs.note);
    Canvas img(640, 480);
    testing::FillTexture(&img, cs.background, 50, 4, 5);
    struct Target { double x, y; };
    std::vector<Target> targets;
    for (int r = 0; r < 6; ++r) {
      for (int c = 0; c < 7; ++c) {
        const double base = 10.0 + 10.0 * frac(rng);
        const Target t{45.0 + c * 85 + 20 * frac(rng), 50.0 + r * 72 + 20 * frac(rng)};
        const double turn = -10.0 + 20.0 * frac(rng);
        testing::DrawTriangle(&img, t.x, t.y, base, base * 0.62, cs.target, turn);
        targets.push_back(t);
      }
    }
    std::vector<TrianglePoint> points;
    FindTriangles(img.View(), kMaxTrianglesPerPhoto, &points);
    int hits = 0, others = 0;
    double sumOffset = 0, largest = 0;
    std::vector<bool> found(targets.size(), false);
    for (const TrianglePoint& p : points) {
      int best = -1;
      double bestD = 1e9;
      for (size_t i = 0; i < targets.size(); ++i) {
        const double d = std::hypot(p.x - targets[i].x, p.y - targets[i].y);
        if (d < bestD) bestD = d, best = static_cast<int>(i);
      }
      if (bestD <= 4.0 && !found[best]) {
        found[best] = true;
        ++hits;
        sumOffset += bestD;
        largest = std::max(largest, bestD);
        EXPECT_LE(bestD, 1.5) << "target " << best;
      } else {
        ++others;
      }
    }
    std::printf("[ %s ] %d of %zu targets found, mean offset %.2f px, largest %.2f px, "
                "%d other points\n",
                cs.note, hits, targets.size(), hits ? sumOffset / hits : 0.0, largest, others);
    EXPECT_EQ(hits, static_cast<int>(targets.size()));
    EXPECT_LE(others, 8);
  }
}

}  // namespace
}  // namespace vistamet
