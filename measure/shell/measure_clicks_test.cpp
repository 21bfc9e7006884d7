#include "measure/shell/measure_clicks.h"

#include <gtest/gtest.h>

#include "measure/records/test_support.h"

namespace vistamet {
namespace {

using testing::ScriptedPrompt;

// A project of two 200 x 150 photos (a light rectangle on photo 0), with
// numbered points 1 (control), 2 and 3 seen on both photos, and one
// unnumbered point on photo 0.
class MeasureClicksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    doc_.photoPaths = {"a.bmp", "b.bmp"};
    doc_.photoImages.resize(2);
    doc_.photoParams.resize(2);
    for (ImageHolder& h : doc_.photoImages) {
      h.width = 200;
      h.height = 150;
      h.grey.assign(200 * 150, 60);
    }
    for (int y = 40; y < 110; ++y)
      for (int x = 50; x < 150; ++x) doc_.photoImages[0].grey[y * 200 + x] = 220;
    for (int photo = 0; photo < 2; ++photo) {
      Point(photo, 20, 20, 1);
      Point(photo, 60 + photo, 20, 2);
      Point(photo, 100, 20 + photo, 3);
    }
    Point(0, 180, 130, kNoNumber);
    Space(1, 1000, 2000, 0, 1, 2);
    Space(2, 1500, 2000, 300, 0, 2);
    Space(3, 1500, 0, 0, 0, 2);  // on the plane Y = Z = 0
    doc_.SetPrompt(&prompt_);
    doc_.SetNotifier(&notifier_);
  }
  void Point(int photo, double x, double y, int32_t number) {
    ImagePoint p;
    p.x = x;
    p.y = y;
    p.photoIndex = photo;
    p.pointNumber = number;
    doc_.imagePoints.push_back(p);
  }
  void Space(int32_t number, double x, double y, double z, int control, int rays) {
    SpacePoint s;
    s.pointNumber = number;
    s.X = x;
    s.Y = y;
    s.Z = z;
    s.controlFlag = control;
    s.rayCount = rays;
    doc_.spacePoints.push_back(s);
  }
  ClickOutcome Click(int mode, double x, double y) {
    doc_.viewMode = mode;
    return clicks_.Click(doc_, {x, y});
  }
  size_t PointsOn(int photo) const {
    size_t n = 0;
    for (const ImagePoint& p : doc_.imagePoints) n += p.photoIndex == photo;
    return n;
  }

  CVistametDoc doc_;
  ScriptedPrompt prompt_;
  testing::CountingNotifier notifier_;
  MeasureClicks clicks_;
};

TEST_F(MeasureClicksTest, AddPointOnlyOnFreePhotoPixels) {
  const size_t before = PointsOn(0);
  // Exactly 5 px from point 1: refused with the view's message.
  EXPECT_EQ(Click(kModeAddPoint, 25, 20), ClickOutcome::kNothing);
  ASSERT_EQ(prompt_.messages.size(), 1u);
  EXPECT_EQ(prompt_.messages[0], "这里已经有特征点了!");
  // 5.6 px away rounds to 6: added at the unrounded position.
  EXPECT_EQ(Click(kModeAddPoint, 25.6, 20.2), ClickOutcome::kChanged);
  ASSERT_EQ(PointsOn(0), before + 1);
  const ImagePoint& added = doc_.imagePoints.back();
  EXPECT_EQ(added.x, 25.6);
  EXPECT_EQ(added.y, 20.2);
  EXPECT_EQ(added.pointNumber, kNoNumber);
  EXPECT_EQ(added.matchState, 1);
  EXPECT_TRUE(doc_.IsModified());
  EXPECT_EQ(notifier_.codes.back(), ViewUpdate::kAll);
  // The blank area beside a zoomed-out photo adds nothing.
  EXPECT_EQ(Click(kModeAddPoint, 200.5, 40), ClickOutcome::kNothing);
  EXPECT_EQ(Click(kModeAddPoint, 40, -1), ClickOutcome::kNothing);
  // A point on another photo does not block the same position here.
  doc_.currentPhoto = 1;
  EXPECT_EQ(Click(kModeAddPoint, 180, 130), ClickOutcome::kChanged);
  // No photo: nothing, whatever the mode.
  doc_.currentPhoto = 5;
  EXPECT_EQ(Click(kModeAddPoint, 10, 10), ClickOutcome::kNothing);
  EXPECT_EQ(Click(kModeRectangleCorners, 10, 10), ClickOutcome::kNothing);
  EXPECT_EQ(clicks_.Counter(), 0);
}

TEST_F(MeasureClicksTest, ClearDeleteAndDeleteSpacePoint) {
  // Clearing an unnumbered point does nothing; a numbered one loses its
  // number, the other photo keeps it, so the space point stays.
  EXPECT_EQ(Click(kModeClearNumber, 180, 130), ClickOutcome::kNothing);
  EXPECT_EQ(Click(kModeClearNumber, 61, 19), ClickOutcome::kChanged);
  EXPECT_EQ(doc_.imagePoints[1].pointNumber, kNoNumber);
  EXPECT_GE(doc_.FindSpacePoint(2), 0);
  // Deleting a space point unnumbers every image point of it.
  EXPECT_EQ(Click(kModeDeleteSpacePoint, 61, 19), ClickOutcome::kNothing);  // no number now
  EXPECT_EQ(Click(kModeDeleteSpacePoint, 100, 21), ClickOutcome::kChanged);
  EXPECT_LT(doc_.FindSpacePoint(3), 0);
  for (const ImagePoint& p : doc_.imagePoints) EXPECT_NE(p.pointNumber, 3);
  // Delete removes the point under the cursor.
  const size_t before = doc_.imagePoints.size();
  EXPECT_EQ(Click(kModeDeletePoint, 3, 3), ClickOutcome::kNothing);
  EXPECT_EQ(Click(kModeDeletePoint, 180, 131), ClickOutcome::kChanged);
  EXPECT_EQ(doc_.imagePoints.size(), before - 1);
  // Mode 0 and a running extraction do nothing.
  EXPECT_EQ(Click(kModeNone, 20, 20), ClickOutcome::kNothing);
  doc_.extractionRunning = 1;
  EXPECT_EQ(Click(kModeDeletePoint, 20, 20), ClickOutcome::kNothing);
}

TEST_F(MeasureClicksTest, EditNumbersThroughTheDialog) {
  Point(0, 150, 140, kNoNumber);
  prompt_.TypeNumber(1001);
  EXPECT_EQ(Click(kModeEditPoint, 150, 140), ClickOutcome::kChanged);
  EXPECT_EQ(doc_.imagePoints.back().pointNumber, 1001);
  const int s = doc_.FindSpacePoint(1001);
  ASSERT_GE(s, 0);
  EXPECT_TRUE(doc_.spacePoints[s].IsControl());
  EXPECT_EQ(doc_.spacePoints[s].X, 501);
  EXPECT_EQ(Click(kModeEditPoint, 120, 120), ClickOutcome::kNothing);  // no point there
}

TEST_F(MeasureClicksTest, DistanceTakesTwoQualifiedEnds) {
  EXPECT_EQ(Click(kModeMeasureDistance, 180, 130), ClickOutcome::kNothing);  // unnumbered
  EXPECT_EQ(Click(kModeMeasureDistance, 20, 20), ClickOutcome::kPending);
  EXPECT_EQ(clicks_.Counter(), 1);
  EXPECT_EQ(Click(kModeMeasureDistance, 21, 21), ClickOutcome::kNothing);  // same number
  EXPECT_EQ(Click(kModeMeasureDistance, 60, 20), ClickOutcome::kChanged);
  EXPECT_EQ(doc_.distancePairs, (DistancePairs{1, 2}));
  EXPECT_EQ(clicks_.Counter(), 0);
  // b-a after a-b: the message, and the first end stays.
  EXPECT_EQ(Click(kModeMeasureDistance, 60, 20), ClickOutcome::kPending);
  EXPECT_EQ(Click(kModeMeasureDistance, 20, 20), ClickOutcome::kPending);
  ASSERT_EQ(prompt_.messages.size(), 1u);
  EXPECT_EQ(prompt_.messages[0], "这条距离已经量过!");
  EXPECT_EQ(clicks_.Counter(), 1);
  EXPECT_EQ(Click(kModeMeasureDistance, 100, 20), ClickOutcome::kChanged);
  EXPECT_EQ(doc_.distancePairs, (DistancePairs{1, 2, 2, 3}));
  // A point seen from one ray does not qualify; a plan-map point does.
  doc_.spacePoints[0].rayCount = 1;
  EXPECT_EQ(Click(kModeMeasureDistance, 20, 20), ClickOutcome::kNothing);
  doc_.spacePoints[0].pointNumber = -5;
  doc_.imagePoints[0].pointNumber = -5;
  EXPECT_EQ(Click(kModeMeasureDistance, 20, 20), ClickOutcome::kPending);
}

TEST_F(MeasureClicksTest, PlanePointOffThePlane) {
  EXPECT_EQ(Click(kModePlanePoint, 100, 20), ClickOutcome::kNothing);  // Y = Z = 0
  EXPECT_EQ(doc_.planeSet, 0);
  EXPECT_EQ(Click(kModePlanePoint, 60, 20), ClickOutcome::kOpenPlanMap);
  EXPECT_EQ(doc_.planePoint, 2);
  EXPECT_EQ(doc_.planeSet, 1);
  EXPECT_EQ(doc_.viewMode, kModeNone);
  EXPECT_EQ(doc_.mapWindowOn, 1);
  EXPECT_TRUE(doc_.IsModified());
}

TEST_F(MeasureClicksTest, FourClicksAroundARectangleAddItsCorners) {
  const size_t before = PointsOn(0);
  const PhotoPoint around[4] = {{46, 36}, {154, 36}, {154, 114}, {46, 114}};
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(Click(kModeRectangleCorners, around[k].x, around[k].y), ClickOutcome::kPending);
    EXPECT_EQ(clicks_.Counter(), k + 1);
  }
  EXPECT_EQ(Click(kModeRectangleCorners, around[3].x, around[3].y), ClickOutcome::kChanged);
  EXPECT_EQ(clicks_.Counter(), 0);
  ASSERT_EQ(PointsOn(0), before + 4);
  // Pixel centres are whole numbers, so the edges lie half a pixel out.
  const PhotoPoint truth[4] = {{49.5, 39.5}, {149.5, 39.5}, {149.5, 109.5}, {49.5, 109.5}};
  for (int k = 0; k < 4; ++k) {
    const ImagePoint& p = doc_.imagePoints[doc_.imagePoints.size() - 4 + k];
    EXPECT_NEAR(p.x, truth[k].x, 0.3) << k;
    EXPECT_NEAR(p.y, truth[k].y, 0.3) << k;
    EXPECT_EQ(p.matchState, 2);
    EXPECT_EQ(p.pointNumber, kNoNumber);
  }
}

TEST_F(MeasureClicksTest, CursorsAndLabels) {
  doc_.viewMode = kModeAddPoint;
  EXPECT_EQ(clicks_.CursorAt(doc_, {20, 20}), ToolCursor::kOccupied);
  EXPECT_EQ(clicks_.CursorAt(doc_, {120, 90}), ToolCursor::kAdd);
  doc_.viewMode = kModeClearNumber;
  EXPECT_EQ(clicks_.CursorAt(doc_, {180, 130}), ToolCursor::kCross);
  EXPECT_EQ(clicks_.CursorAt(doc_, {20, 20}), ToolCursor::kClearNumber);
  doc_.viewMode = kModeMeasureDistance;
  EXPECT_EQ(clicks_.CursorAt(doc_, {20, 20}), ToolCursor::kDistanceHit);
  EXPECT_EQ(clicks_.CursorAt(doc_, {180, 130}), ToolCursor::kDistance);
  doc_.viewMode = kModePlanePoint;
  EXPECT_EQ(clicks_.CursorAt(doc_, {60, 20}), ToolCursor::kPlanePointHit);
  EXPECT_EQ(clicks_.CursorAt(doc_, {100, 20}), ToolCursor::kPlanePoint);
  doc_.viewMode = kModeNone;
  EXPECT_EQ(clicks_.CursorAt(doc_, {20, 20}), ToolCursor::kUnchanged);

  EXPECT_EQ(MeasureClicks::Label(doc_, {20, 20}), "(控制点)1(1.000,2.000,0.000m)");
  EXPECT_EQ(MeasureClicks::Label(doc_, {60, 20}), "2(1.500,2.000,0.300m)");
  EXPECT_EQ(MeasureClicks::Label(doc_, {180, 130}), "?");
  EXPECT_EQ(MeasureClicks::Label(doc_, {120, 90}), "");
  doc_.spacePoints.pop_back();
  EXPECT_EQ(MeasureClicks::Label(doc_, {100, 20}), "3");
}

}  // namespace
}  // namespace vistamet
