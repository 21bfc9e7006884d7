#include "measure/model/plan_map.h"

#include <cmath>

#include <gtest/gtest.h>

#include "measure/model/project_file.h"
#include "measure/records/test_support.h"
#include "measure/model/plan_map_test_support.h"
#include "measure/model/recording_sink.h"

namespace vistamet {
namespace {

using testing::ScriptedPrompt;

using PlanMapTest = PlanMapFixture;

TEST_F(PlanMapTest, OneMetreAlongXIsTenMillimetresAtOneToHundred) {
  doc_.mapScale = 100;
  Paint();
  EXPECT_EQ(P(1).mapX - P(0).mapX, 1000);
  EXPECT_EQ(P(1).mapY, P(0).mapY);
  // The leftmost item stands at the x margin, the topmost one y margin down.
  EXPECT_EQ(P(0).mapX, view_.xOffset);
  EXPECT_EQ(P(2).mapY, -view_.yOffset);
  doc_.mapScale = 500;
  Paint();
  EXPECT_EQ(P(1).mapX - P(0).mapX, 200);  // 2 mm on paper
}

TEST_F(PlanMapTest, HeaderGivesScaleAndTheScaleBarLength) {
  const struct { int n; const char* scale; const char* bar; } cases[] = {
      {100, "1 : 100", "2.000m"}, {10000, "1 : 10000", "200.000m"}, {0, "1 : 100", "2.000m"},
      {-5, "1 : 100", "2.000m"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.n);
    doc_.mapScale = c.n;
    Paint();
    EXPECT_NE(sink_.FindText(c.scale), nullptr);
    EXPECT_NE(sink_.FindText(c.bar), nullptr);
  }
  ASSERT_GE(sink_.lines.size(), 3u);
  EXPECT_DOUBLE_EQ(sink_.lines[0].x2 - sink_.lines[0].x1, 2000);  // 20 mm bar
}

TEST_F(PlanMapTest, TitleCarriesTheTimeOnlyWhenAsked) {
  doc_.mapTitle = "厂房";
  doc_.mapShowTime = 1;
  Paint();
  EXPECT_NE(sink_.FindText("厂房 (time)"), nullptr);
  doc_.mapShowTime = 0;
  Paint();
  ASSERT_NE(sink_.FindText("厂房"), nullptr);
  EXPECT_EQ(sink_.FindText("厂房")->text, "厂房");
  EXPECT_EQ(MapTimeText().size(), std::string("(2024/01/02 03:04:05)").size());
}

TEST_F(PlanMapTest, APlanePointOnTheXAxisOrMissingDrawsOnlyTheHeader) {
  doc_.spacePoints[0].Y = 0;  // plane point at Y = Z = 0 fixes no plane
  MapProjection proj = Paint();
  EXPECT_FALSE(proj.Valid());
  EXPECT_EQ(sink_.lines.size(), 3u);  // the scale bar only
  EXPECT_EQ(sink_.texts.size(), 2u);  // scale and bar length
  EXPECT_NE(sink_.FindText("1 : 100"), nullptr);
  for (const auto& t : sink_.texts) EXPECT_EQ(std::isnan(t.x) || std::isnan(t.y), false);
  doc_.spacePoints[0].Y = 2000;
  doc_.planePoint = 77;
  EXPECT_FALSE(Paint().Valid());
  doc_.planePoint = 1;
  doc_.adjusted = 0;  // no result: header only, but positions are known
  EXPECT_TRUE(Paint().Valid());
  EXPECT_EQ(sink_.circles.size(), 0u);
}

TEST_F(PlanMapTest, ControlPointsGetACircleAndEveryPointACrossAndNumber) {
  Paint();
  ASSERT_EQ(sink_.circles.size(), 1u);
  EXPECT_EQ(sink_.circles[0].fill, Fill::kWhite);
  EXPECT_DOUBLE_EQ(sink_.circles[0].cx, P(0).mapX + 10);
  EXPECT_DOUBLE_EQ(sink_.circles[0].r, 130);
  const RecordingSink::TextOp* two = nullptr;
  for (const auto& t : sink_.texts)
    if (t.text == "2") two = &t;
  ASSERT_NE(two, nullptr);
  EXPECT_DOUBLE_EQ(two->x, P(1).mapX);
  EXPECT_DOUBLE_EQ(two->y, P(1).mapY);
  EXPECT_EQ(two->colour, Rgb(255, 0, 255));
}

TEST_F(PlanMapTest, DistanceLabelsAreSpatialOrPlane) {
  doc_.spacePoints[1].Z = 500;  // 0.5 m off the plane
  doc_.distancePairs = {1, 2};
  Paint();
  EXPECT_NE(sink_.FindText("1.12m"), nullptr);  // sqrt(1 + 0.25)
  doc_.mapShowSpatialDist = 0;
  Paint();
  EXPECT_NE(sink_.FindText("1.00m"), nullptr);
}

TEST_F(PlanMapTest, PlaneDistanceAlongTheNormalIsZero) {
  // Plane point (0, 1, 1): theta0 = atan(-1) + pi = 3 pi / 4. Its normal
  // in the Y-Z plane is (sin, cos) of theta0.
  SpacePoint plane;
  plane.Y = 1000;
  plane.Z = 1000;
  doc_.spacePoints[0] = plane;
  doc_.spacePoints[0].pointNumber = 1;
  MapProjection proj;
  ASSERT_TRUE(proj.Set(doc_, view_));
  const double t = proj.Theta();
  EXPECT_NEAR(t, 3 * 3.14159265358979 / 4, 1e-9);
  SpacePoint a, b;
  b.Y = 300 * std::sin(t);
  b.Z = 300 * std::cos(t);
  EXPECT_NEAR(PlaneDistance(a, b, t), 0, 1e-9);
  b.X = 400;
  EXPECT_NEAR(PlaneDistance(a, b, t), 400, 1e-9);
}

TEST_F(PlanMapTest, InverseProjectionFindsThePlanePointsAgain) {
  // A tilted plane, a turned map and shifted margins.
  doc_.spacePoints[0].Z = 1500;
  doc_.mapScale = 200;
  view_.beta = -0.7;
  view_.phi = 0;
  view_.xOffset = 3000;
  MapProjection proj = Paint();
  ASSERT_TRUE(proj.Valid());
  const double t = proj.Theta();
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const SpacePoint back = proj.Inverse(P(i).mapX, P(i).mapY);
    // The plane's own coordinates agree to the map's resolution (2 units
    // of 0.01 mm at 1:200 are 0.04 mm of the object, plus truncation).
    EXPECT_NEAR(back.X, P(i).X, 4);
    EXPECT_NEAR(back.Y * std::cos(t) - back.Z * std::sin(t),
                P(i).Y * std::cos(t) - P(i).Z * std::sin(t), 4);
    // And the result lies in the map plane.
    EXPECT_NEAR(back.Y * std::sin(t) + back.Z * std::cos(t), 0, 1e-6);
  }
}

TEST_F(PlanMapTest, HugeCoordinatesAreClampedNotOverflowed) {
  doc_.spacePoints[1].X = 1e18;
  doc_.spacePoints[2].X = -1e18;
  doc_.mapScale = 10;
  MapProjection proj = Paint();
  int64_t w, h;
  proj.DrawingSize(&w, &h);
  EXPECT_GT(w, 0);
  for (const SpacePoint& s : doc_.spacePoints) {
    EXPECT_LE(std::abs(int64_t{s.mapX}), 1000000000);
    EXPECT_LE(std::abs(int64_t{s.mapY}), 1000000000);
  }
}

TEST(MapView, TurningSixtyThreeTimesCompletesACircle) {
  MapViewState view;
  for (int k = 1; k < 63; ++k) ASSERT_EQ(TurnMap(view), TurnOutcome::kTurned) << k;
  EXPECT_EQ(TurnMap(view), TurnOutcome::kFullCircle);
  EXPECT_EQ(view.beta, 0);
  for (int k = 1; k < 63; ++k) ASSERT_EQ(TurnAboutX(view), TurnOutcome::kTurned) << k;
  EXPECT_EQ(TurnAboutX(view), TurnOutcome::kFullCircle);
}

TEST(MapView, ShiftsStopAtTheirLimits) {
  MapViewState view;
  for (int k = 0; k < 10; ++k) ShiftMap(view, -1, -1);
  EXPECT_EQ(view.xOffset, 1000);
  EXPECT_EQ(view.yOffset, 1000);
  for (int k = 0; k < 200; ++k) ShiftMap(view, 1, 0);
  EXPECT_EQ(view.xOffset, 100000);  // stops once above 99999
}

// What the map relies on in the document and its file.

TEST(MapFeatures, DeletingAPhotoKeepsFreeFeaturesAndDropsThoseOfGonePoints) {
  CVistametDoc doc;
  doc.photoPaths = {"a.bmp", "b.bmp", "c.bmp"};
  doc.photoImages.resize(3);
  doc.photoParams.resize(3);
  auto seen = [&doc](int photo, int32_t number) {
    ImagePoint p;
    p.photoIndex = photo;
    p.pointNumber = number;
    doc.imagePoints.push_back(p);
  };
  seen(0, 1);
  seen(1, 1);
  seen(1, 2);  // point 2 only on photo 1
  for (int32_t n : {1, 2}) {
    SpacePoint s;
    s.pointNumber = n;
    doc.spacePoints.push_back(s);
  }
  MapFeature free_one, on_one, on_two;
  free_one.symbolType = 4;
  on_one.pointNumber = 1;
  on_two.pointNumber = 2;
  doc.mapFeatures = {free_one, on_one, on_two};
  ASSERT_EQ(doc.DeletePhoto(2), 1);  // nothing observed only there
  EXPECT_EQ(doc.mapFeatures.size(), 3u);
  ASSERT_EQ(doc.DeletePhoto(1), 1);  // point 2 goes
  ASSERT_EQ(doc.mapFeatures.size(), 2u);
  EXPECT_EQ(doc.mapFeatures[0].pointNumber, kNoNumber);
  EXPECT_EQ(doc.mapFeatures[0].symbolType, 4);
  EXPECT_EQ(doc.mapFeatures[1].pointNumber, 1);
}

TEST(PlanePoints, GetImagePointsOnlyOnPhotosTheyFallInside) {
  CVistametDoc doc;
  doc.photoPaths = {"a.bmp", "b.bmp"};
  doc.photoImages.resize(2);
  doc.photoParams.resize(2);  // both looking down from Z = 4000 mm
  for (ImageHolder& h : doc.photoImages) h.width = 3000, h.height = 2000;
  doc.photoParams[1].Xs = 2000;  // the second photo 2 m along X
  SpacePoint p;
  p.pointNumber = -2;
  ASSERT_EQ(AddPlanePointImages(doc, p), 2);
  ASSERT_EQ(doc.imagePoints.size(), 2u);
  EXPECT_NEAR(doc.imagePoints[0].x, 1500, 1);  // under the first camera
  EXPECT_NEAR(doc.imagePoints[0].y, 1000, 1);
  EXPECT_EQ(doc.imagePoints[0].pointNumber, -2);
  EXPECT_EQ(doc.imagePoints[0].matchState, 1);
  EXPECT_EQ(doc.imagePoints[1].photoIndex, 1);
  p.X = -2000;  // 2 m to the other side: outside the second photo
  EXPECT_EQ(AddPlanePointImages(doc, p), 1);
  EXPECT_EQ(doc.imagePoints.back().photoIndex, 0);
}

TEST(MapFeatures, AMapScaleOfZeroOrBelowFromAFileBecomesOneToHundred) {
  for (int32_t n : {0, -250, 500}) {
    SCOPED_TRACE(n);
    CVistametDoc doc;
    doc.mapScale = n;
    CVistametDoc back;
    const LoadResult r = ReadProjectBytes(WriteProjectBytes(doc), "/tmp/x.vmt", &back);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(back.mapScale, n > 0 ? n : 100);
  }
}

}  // namespace
}  // namespace vistamet
