#include "measure/compute/corresponding_points.h"

#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vistamet {
namespace {

// Photo A = 0, B = 1, C = 2. B shows A's plane through a fixed projective map.
const PlaneTransform kAtoB = {{1.02, 0.05, 30.0, -0.03, 0.98, -20.0, 1e-5, 2e-5}};

ImagePoint At(int photo, double x, double y, int32_t number = kNoNumber) {
  ImagePoint p;
  p.x = x;
  p.y = y;
  p.photoIndex = photo;
  p.pointNumber = number;
  return p;
}

// Where a point of A lands on B, rounded to whole pixels as the transfer does.
void Carried(double x, double y, double* X, double* Y) {
  kAtoB.Apply(x, y, X, Y);
  *X = std::floor(*X + 0.5);
  *Y = std::floor(*Y + 0.5);
}

ImagePoint OnB(double x, double y, int32_t number = kNoNumber, double dx = 0, double dy = 0) {
  double X, Y;
  kAtoB.Apply(x, y, &X, &Y);
  return At(1, X + dx, Y + dy, number);
}

struct Project {
  std::vector<ImagePoint> points;
  std::vector<SpacePoint> spacePoints;

  void Space(int32_t number) {
    SpacePoint sp;
    sp.pointNumber = number;
    sp.X = 1;  // marks a pre-existing point
    spacePoints.push_back(sp);
  }
  // Four numbered pairs that fix the transformation: 8 image points.
  void AddCommon() {
    const double a[4][2] = {{100, 100}, {900, 120}, {880, 700}, {120, 690}};
    for (int k = 0; k < 4; ++k) {
      points.push_back(At(0, a[k][0], a[k][1], k));
      points.push_back(OnB(a[k][0], a[k][1], k));
      Space(k);
    }
  }
  int32_t NumberOf(size_t i) const { return points[i].pointNumber; }
  const SpacePoint* Find(int32_t number) const {
    for (const SpacePoint& sp : spacePoints)
      if (sp.pointNumber == number) return &sp;
    return nullptr;
  }
};

TEST(FindCommonPoints, NeedsMoreThanSevenImagePointsAndFourPairs) {
  Project p;
  p.AddCommon();
  CommonPoints pairs;
  EXPECT_TRUE(FindCommonPoints(p.points, 0, 1, &pairs));
  EXPECT_EQ(pairs, (CommonPoints{{0, 1}, {2, 3}, {4, 5}, {6, 7}}));
  EXPECT_TRUE(FindCommonPoints(p.points, 1, 0, nullptr));

  // Seven image points: false at once, even with three pairs and a half.
  Project seven = p;
  seven.points.pop_back();
  EXPECT_FALSE(FindCommonPoints(seven.points, 0, 1, &pairs));
  EXPECT_TRUE(pairs.empty());

  // Eight points but only three pairs.
  Project three = p;
  three.points.back().pointNumber = 9;
  EXPECT_FALSE(FindCommonPoints(three.points, 0, 1, &pairs));
  EXPECT_EQ(pairs.size(), 3u);

  // The first point of B with the number is taken.
  Project twice = p;
  twice.points.push_back(OnB(500, 500, 2));
  twice.points.insert(twice.points.begin(), At(1, 1, 1, 3));
  ASSERT_TRUE(FindCommonPoints(twice.points, 0, 1, &pairs));
  EXPECT_EQ(pairs[3], (CommonPair{7, 0}));
}

TEST(EstimatePlaneTransform, RecoversTheMapAndRefusesSingularSets) {
  Project p;
  p.AddCommon();
  p.points.push_back(At(0, 500, 300, 4));
  p.points.push_back(OnB(500, 300, 4));
  CommonPoints pairs;
  ASSERT_TRUE(FindCommonPoints(p.points, 0, 1, &pairs));
  PlaneTransform t;
  ASSERT_EQ(EstimatePlaneTransform(p.points, pairs, &t), 1);
  for (int k = 0; k < 8; ++k) EXPECT_NEAR(t.a[k], kAtoB.a[k], 1e-9 * (1 + std::fabs(kAtoB.a[k])));

  // Four points on one line cannot fix the map: refused, t untouched.
  Project line;
  for (int k = 0; k < 4; ++k) {
    line.points.push_back(At(0, 100 + 200 * k, 300, k));
    line.points.push_back(OnB(100 + 200 * k, 300, k));
  }
  ASSERT_TRUE(FindCommonPoints(line.points, 0, 1, &pairs));
  PlaneTransform untouched;
  EXPECT_EQ(EstimatePlaneTransform(line.points, pairs, &untouched), 0);
  EXPECT_EQ(untouched.a, PlaneTransform{}.a);

  EXPECT_EQ(EstimatePlaneTransform(p.points, {{0, 1}, {2, 3}, {4, 5}, {6, 99}}, &t), 0);
}

TEST(HighestImagePointNumber, SkipsTheReferenceCornersAndMaps999) {
  struct Case {
    std::vector<int32_t> numbers;
    int32_t want;
    const char* note;
  };
  const Case cases[] = {
      {{}, -1, "no points"},
      {{-1, -1}, -1, "no numbered points"},
      {{3, 12, 7}, 12, "plain maximum"},
      {{5, 1002, 1000}, 5, "reference corners ignored"},
      {{999, 1001}, 1003, "999 reported as 1003"},
      {{998}, 998, "998 stays"},
      {{1004, 999}, 1004, "above the corners"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.note);
    std::vector<ImagePoint> points;
    for (int32_t n : c.numbers) points.push_back(At(0, 0, 0, n));
    EXPECT_EQ(HighestImagePointNumber(points), c.want);
  }
}

// One unnumbered point on A and candidates on B at various distances from its
// carried (rounded) position.
TEST(TransferPoints, ToleranceDecidesWhichPointIsNumbered) {
  struct Case {
    double offset;
    double tolerance;
    bool numbered;
    const char* note;
  };
  const Case cases[] = {
      {1.9, 2.0, true, "1.9 px at 2"},
      {2.1, 2.0, false, "2.1 px at 2"},
      {2.1, 3.0, true, "2.1 px at 3"},
      {0.05, 0.0, true, "tolerance below 0.1 is 0.1"},
      {0.15, 0.0, false, "0.15 px beyond the smallest tolerance"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.note);
    Project p;
    p.AddCommon();
    p.points.push_back(At(0, 400, 350));
    double X, Y;
    Carried(400, 350, &X, &Y);
    p.points.push_back(At(1, X + c.offset, Y));
    int assigned = 0;
    EXPECT_EQ(TransferPoints(p.points, p.spacePoints, 0, 1, c.tolerance, nullptr, &assigned), 1);
    if (c.numbered) {
      EXPECT_EQ(p.NumberOf(8), 4);  // highest is 3
      EXPECT_EQ(p.NumberOf(9), 4);
      EXPECT_EQ(assigned, 2);
      const SpacePoint* sp = p.Find(4);
      ASSERT_NE(sp, nullptr);
      EXPECT_EQ(sp->X, 0);
      EXPECT_EQ(sp->controlFlag, 0);
      EXPECT_EQ(sp->rayCount, 0);
    } else {
      EXPECT_EQ(p.NumberOf(8), kNoNumber);
      EXPECT_EQ(p.NumberOf(9), kNoNumber);
      EXPECT_EQ(p.spacePoints.size(), 4u);
    }
  }
}

TEST(TransferPoints, NumberingRulesTable) {
  struct Case {
    const char* note;
    std::vector<ImagePoint> extra;  // appended after the common points
    std::vector<int32_t> extraSpace;
    int result;
    std::vector<int32_t> numbers;  // numbers of the extra points afterwards
  };
  const Case cases[] = {
      {"unnumbered P takes the number of Q",
       {At(0, 400, 350), OnB(400, 350, 17)}, {17}, 1, {17, 17}},
      {"Q's number already used on A: conflict",
       {At(0, 400, 350), OnB(400, 350, 17), At(0, 600, 200, 17)}, {17}, 0, {-1, 17, 17}},
      {"numbered P gives its number to an unnumbered Q",
       {At(0, 400, 350, 9), OnB(400, 350)}, {9}, 1, {9, 9}},
      {"numbered P meets a differently numbered Q: conflict",
       {At(0, 400, 350, 9), OnB(400, 350, 12)}, {9, 12}, 0, {9, 12}},
      {"numbered P and its partner on B agree",
       {At(0, 400, 350, 9), OnB(400, 350, 9, 1.2, -1.0)}, {9}, 1, {9, 9}},
      {"numbered P and its partner on B too far apart",
       {At(0, 400, 350, 9), OnB(400, 350, 9, 2.5, 2.5)}, {9}, 0, {9, 9}},
      {"numbers assigned before a conflict stay",
       {At(0, 300, 300), OnB(300, 300), At(0, 400, 350, 9), OnB(400, 350, 12)}, {9, 12}, 0,
       {13, 13, 9, 12}},
      {"a point carried to nowhere near anything is left alone",
       {At(0, 400, 350), At(1, 10, 10)}, {}, 1, {-1, -1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.note);
    Project p;
    p.AddCommon();
    for (int32_t n : c.extraSpace) p.Space(n);
    p.points.insert(p.points.end(), c.extra.begin(), c.extra.end());
    EXPECT_EQ(TransferPoints(p.points, p.spacePoints, 0, 1, 2.0), c.result);
    for (size_t k = 0; k < c.numbers.size(); ++k) EXPECT_EQ(p.NumberOf(8 + k), c.numbers[k]) << k;
  }
}

TEST(TransferPoints, NewNumbersSkipReservedAndExistingNumbers) {
  struct Case {
    int32_t highest;
    std::vector<int32_t> existingSpace;
    std::vector<int32_t> want;
    const char* note;
  };
  const Case cases[] = {
      {999, {}, {1004, 1005}, "after 999 comes 1004"},
      {998, {}, {999, 1004}, "the corners are never handed out"},
      {50, {52}, {51, 53}, "a number that a space point has is skipped"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.note);
    Project p;
    p.AddCommon();
    p.points.push_back(At(0, 700, 650, c.highest));
    p.points.push_back(At(2, 5, 5, 1002));  // a corner on another photo does not count
    p.Space(c.highest);
    for (int32_t n : c.existingSpace) p.Space(n);
    p.points.push_back(At(0, 300, 300));
    p.points.push_back(OnB(300, 300));
    p.points.push_back(At(0, 500, 450));
    p.points.push_back(OnB(500, 450));
    ASSERT_EQ(TransferPoints(p.points, p.spacePoints, 0, 1, 2.0), 1);
    EXPECT_EQ(p.NumberOf(10), c.want[0]);
    EXPECT_EQ(p.NumberOf(11), c.want[0]);
    EXPECT_EQ(p.NumberOf(12), c.want[1]);
    EXPECT_EQ(p.NumberOf(13), c.want[1]);
    // Space point numbers stay unique.
    for (size_t i = 0; i < p.spacePoints.size(); ++i)
      for (size_t j = i + 1; j < p.spacePoints.size(); ++j)
        EXPECT_NE(p.spacePoints[i].pointNumber, p.spacePoints[j].pointNumber);
  }
}

TEST(TransferPoints, RefusalsChangeNothing) {
  Project base;
  base.AddCommon();
  base.points.push_back(At(0, 400, 350));
  base.points.push_back(OnB(400, 350));
  struct Case {
    const char* note;
    int a, b;
    CommonPoints common;
    bool useCommon;
    void (*edit)(Project&);
  };
  const Case cases[] = {
      {"three common points", 0, 1, {}, false, [](Project& p) { p.points[7].pointNumber = 8; }},
      {"same photo twice", 0, 0, {}, false, [](Project&) {}},
      {"negative photo", -1, 1, {}, false, [](Project&) {}},
      {"stale common list", 0, 1, {{0, 1}, {2, 3}, {4, 5}, {6, 40}}, true, [](Project&) {}},
      {"common list on the wrong photos", 0, 1, {{1, 0}, {3, 2}, {5, 4}, {7, 6}}, true,
       [](Project&) {}},
      {"short common list", 0, 1, {{0, 1}, {2, 3}}, true, [](Project&) {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.note);
    Project p = base;
    c.edit(p);
    const std::vector<ImagePoint> before = p.points;
    EXPECT_EQ(TransferPoints(p.points, p.spacePoints, c.a, c.b, 2.0,
                             c.useCommon ? &c.common : nullptr),
              0);
    EXPECT_EQ(p.points, before);
    EXPECT_EQ(p.spacePoints.size(), 4u);
  }
}

TEST(AutoTransferFromPhoto, PassesAtTwoThreeAndFourPixels) {
  Project p;
  p.AddCommon();
  // 2.1 px away: missed by the first pass, numbered by the later ones.
  p.points.push_back(At(0, 400, 350));
  double X, Y;
  Carried(400, 350, &X, &Y);
  p.points.push_back(At(1, X + 2.1, Y));
  // Photo 2 shares no numbers with photo 0.
  p.points.push_back(At(2, 400, 350));
  int assigned = 0;
  std::vector<int> disagreeing;
  EXPECT_EQ(AutoTransferFromPhoto(p.points, p.spacePoints, 3, 0, &assigned, &disagreeing), 1);
  EXPECT_TRUE(disagreeing.empty());
  EXPECT_EQ(p.NumberOf(8), 4);
  EXPECT_EQ(p.NumberOf(9), 4);
  EXPECT_EQ(p.NumberOf(10), kNoNumber);
  EXPECT_EQ(assigned, 2);
}

TEST(AutoTransferFromPhoto, ConflictNamesEachDisagreeingPhotoOnce) {
  Project p;
  p.AddCommon();
  p.points.push_back(At(0, 400, 350, 9));
  p.points.push_back(OnB(400, 350, 12));
  p.Space(9);
  p.Space(12);
  std::vector<int> disagreeing;
  EXPECT_EQ(AutoTransferFromPhoto(p.points, p.spacePoints, 2, 0, nullptr, &disagreeing), 1);
  EXPECT_EQ(disagreeing, std::vector<int>{1});
  // The same conflict on a third photo is named for it as well.
  const size_t b_points = p.points.size();
  for (size_t i = 0; i < b_points; ++i)
    if (p.points[i].photoIndex == 1) {
      ImagePoint c = p.points[i];
      c.photoIndex = 2;
      p.points.push_back(c);
    }
  EXPECT_EQ(AutoTransferFromPhoto(p.points, p.spacePoints, 3, 0, nullptr, &disagreeing), 1);
  EXPECT_EQ(disagreeing, (std::vector<int>{1, 2}));
  // Unasked, the conflict is not reported.
  EXPECT_EQ(AutoTransferFromPhoto(p.points, p.spacePoints, 3, 0), 1);
}

TEST(AutoTransferFromPhoto, NothingToProcess) {
  Project p;
  p.AddCommon();
  std::vector<int> disagreeing = {5};  // left from an earlier call
  EXPECT_EQ(AutoTransferFromPhoto(p.points, p.spacePoints, 2, 2, nullptr, &disagreeing), 0);
  EXPECT_TRUE(disagreeing.empty());
  EXPECT_EQ(AutoTransferFromPhoto(p.points, p.spacePoints, 2, -1, nullptr, &disagreeing), 0);
  EXPECT_EQ(AutoTransferFromPhoto(p.points, p.spacePoints, 1, 0, nullptr, &disagreeing), 0);
  p.points.pop_back();  // seven image points
  EXPECT_EQ(AutoTransferFromPhoto(p.points, p.spacePoints, 2, 0, nullptr, &disagreeing), 0);
  EXPECT_TRUE(disagreeing.empty());
}

}  // namespace
}  // namespace vistamet
