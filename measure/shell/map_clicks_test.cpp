#include "measure/shell/map_clicks.h"

#include <cmath>

#include <gtest/gtest.h>

#include "measure/model/plan_map_test_support.h"
#include "measure/model/recording_sink.h"
#include "measure/records/test_support.h"
#include "measure/shell/app_texts.h"
#include "measure/shell/feature_fields.h"

namespace vistamet {
namespace {

using testing::ScriptedPrompt;

using MapClicksTest = PlanMapFixture;

TEST_F(MapClicksTest, HitTestsAreStrictlyInsideTheirRadius) {
  Paint();
  const double k = 40;
  const double x = P(1).mapX, y = P(1).mapY;
  EXPECT_EQ(HitMapPoint(doc_, k, x + 199, y, false), 1);
  EXPECT_EQ(HitMapPoint(doc_, k, x + 200, y, false), -1);
  // Point 3 has one ray: not a known point for spatial distances.
  EXPECT_EQ(HitMapPoint(doc_, k, P(2).mapX, P(2).mapY, true), -1);
  EXPECT_EQ(HitMapPoint(doc_, k, P(2).mapX, P(2).mapY, false), 2);
  MapFeature f;
  f.symbolType = 1;
  doc_.mapFeatures.push_back(f);
  Paint();
  const MapFeature& g = doc_.mapFeatures[0];
  EXPECT_EQ(HitMapFeature(doc_, 10.5, g.mapX + 149.9, g.mapY), 0);  // trunc(157.5) = 157
  EXPECT_EQ(HitMapFeature(doc_, 10, g.mapX + 150, g.mapY), -1);
}

TEST_F(MapClicksTest, SpatialDistanceNeedsTwoKnownPointsOnce) {
  doc_.mapEditFeatures = kMapSpatialDistance;
  MapProjection proj = Paint();
  MapClicks clicks;
  EXPECT_EQ(clicks.Press(doc_, proj, 40, P(2).mapX, P(2).mapY), MapClick::kNothing);
  EXPECT_EQ(clicks.Press(doc_, proj, 40, P(0).mapX, P(0).mapY), MapClick::kPending);
  EXPECT_EQ(clicks.Press(doc_, proj, 40, P(0).mapX, P(0).mapY), MapClick::kNothing);
  EXPECT_EQ(clicks.Press(doc_, proj, 40, P(1).mapX, P(1).mapY), MapClick::kChanged);
  EXPECT_EQ(doc_.distancePairs, (DistancePairs{1, 2}));
  EXPECT_EQ(clicks.Counter(), 0);
  clicks.Press(doc_, proj, 40, P(1).mapX, P(1).mapY);
  EXPECT_EQ(clicks.Press(doc_, proj, 40, P(0).mapX, P(0).mapY), MapClick::kRefused);
  EXPECT_EQ(prompt_.messages.back(), ui::kDistanceAlreadyMeasured);
  EXPECT_EQ(clicks.Counter(), 1);
  EXPECT_EQ(doc_.DistanceCount(), 1);
}

TEST_F(MapClicksTest, PlaneDistanceMakesNewPlanePointsBelowEveryNumber) {
  doc_.mapEditFeatures = kMapPlaneDistance;
  Space(-3, 0, 0, 0, 0, 0);  // an earlier plane point
  MapProjection proj = Paint();
  MapClicks clicks;
  // Empty paper, then the known point 2: 0.1 m per 100 units at 1:100.
  const double x0 = P(1).mapX - 3000, y0 = P(1).mapY - 2000;
  EXPECT_EQ(clicks.Press(doc_, proj, 40, x0, y0), MapClick::kPending);
  EXPECT_EQ(clicks.Press(doc_, proj, 40, P(1).mapX, P(1).mapY), MapClick::kChanged);
  ASSERT_EQ(doc_.DistanceCount(), 1);
  EXPECT_EQ(doc_.distancePairs[0], -4);
  EXPECT_EQ(doc_.distancePairs[1], 2);
  const int made = doc_.FindSpacePoint(-4);
  ASSERT_GE(made, 0);
  EXPECT_NEAR(doc_.spacePoints[made].X, P(1).X - 3000, 1);
  EXPECT_NEAR(doc_.spacePoints[made].Y, P(1).Y - 2000, 1);
  EXPECT_TRUE(doc_.IsModified());
}

TEST_F(MapClicksTest, PlaneDistanceRefusesShortOnesAndAPointToItself) {
  doc_.mapEditFeatures = kMapPlaneDistance;
  doc_.mapScale = 10000;  // 5 pixels are 20 m: both clicks hit point 2
  MapProjection proj = Paint();
  MapClicks clicks;
  ASSERT_EQ(clicks.Press(doc_, proj, 40, P(1).mapX, P(1).mapY), MapClick::kPending);
  EXPECT_EQ(clicks.Press(doc_, proj, 40, P(1).mapX + 150, P(1).mapY), MapClick::kRefused);
  EXPECT_EQ(prompt_.messages.back(), ui::kPointsTooClose);
  EXPECT_EQ(clicks.Counter(), 1);
  EXPECT_EQ(doc_.DistanceCount(), 0);
  // At 1:100, 4 pixels are 0.16 m: too close.
  doc_.mapScale = 100;
  proj = Paint();
  clicks.Reset();
  clicks.Press(doc_, proj, 40, 100, -90000);
  EXPECT_EQ(clicks.Press(doc_, proj, 40, 260, -90000), MapClick::kRefused);
  EXPECT_EQ(clicks.Press(doc_, proj, 40, 1000, -90000), MapClick::kChanged);
  EXPECT_EQ(doc_.DistanceCount(), 1);
}

TEST_F(MapClicksTest, PlaneDistanceMeasuredTwiceIsRefusedWithItsOwnMessage) {
  doc_.mapEditFeatures = kMapPlaneDistance;
  doc_.distancePairs = {1, 2};
  MapProjection proj = Paint();
  MapClicks clicks;
  clicks.Press(doc_, proj, 40, P(0).mapX, P(0).mapY);
  clicks.Press(doc_, proj, 40, P(1).mapX, P(1).mapY);
  EXPECT_EQ(prompt_.messages.back(), ui::kPlaneDistanceMeasured);
  EXPECT_EQ(clicks.Counter(), 0);
  EXPECT_EQ(doc_.DistanceCount(), 1);
}

TEST_F(MapClicksTest, DoubleClicksAddEditAndDeleteFeatures) {
  MapProjection proj = Paint();
  MapClicks clicks;
  auto choose = [](int type) {
    return [type](MapFeature& f) {
      f.symbolType = type;
      return true;
    };
  };
  const double x = P(1).mapX + 2000, y = P(1).mapY;
  ASSERT_EQ(clicks.DoubleClick(doc_, proj, 40, x, y, choose(5)), MapClick::kChanged);
  ASSERT_EQ(doc_.mapFeatures.size(), 1u);
  EXPECT_EQ(doc_.mapFeatures[0].pointNumber, kNoNumber);
  EXPECT_NEAR(doc_.mapFeatures[0].X, P(1).X + 2000, 1);
  EXPECT_EQ(doc_.mapFeatures[0].colour, Rgb(255, 0, 0));
  // Type 0 adds nothing; a large symbol goes under the others.
  proj = Paint();
  EXPECT_EQ(clicks.DoubleClick(doc_, proj, 40, 0, -90000, choose(0)), MapClick::kNothing);
  proj = Paint();
  clicks.DoubleClick(doc_, proj, 40, 0, -90000, choose(53));
  ASSERT_EQ(doc_.mapFeatures.size(), 2u);
  EXPECT_EQ(doc_.mapFeatures[0].symbolType, 53);
  // Editing the first feature; type 0 deletes it.
  proj = Paint();
  const MapFeature& f = doc_.mapFeatures[1];
  clicks.DoubleClick(doc_, proj, 40, f.mapX, f.mapY, choose(7));
  EXPECT_EQ(doc_.mapFeatures[1].symbolType, 7);
  proj = Paint();
  clicks.DoubleClick(doc_, proj, 40, doc_.mapFeatures[1].mapX, doc_.mapFeatures[1].mapY,
                     choose(0));
  ASSERT_EQ(doc_.mapFeatures.size(), 1u);
  EXPECT_EQ(doc_.mapFeatures[0].symbolType, 53);
  // Cancel changes nothing.
  proj = Paint();
  EXPECT_EQ(clicks.DoubleClick(doc_, proj, 40, 0, -90000, [](MapFeature&) { return false; }),
            MapClick::kNothing);
}

TEST_F(MapClicksTest, DraggingMovesTheFeatureToTheCursor) {
  MapFeature f;
  f.symbolType = 2;
  f.X = 500;
  f.Y = 2500;
  doc_.mapFeatures.push_back(f);
  MapProjection proj = Paint();
  MapClicks clicks;
  const MapFeature& g = doc_.mapFeatures[0];
  EXPECT_EQ(clicks.Press(doc_, proj, 40, g.mapX + 100, g.mapY), MapClick::kPending);
  EXPECT_EQ(clicks.Dragged(), 0);
  const double tx = g.mapX + 300, ty = g.mapY - 200;
  ASSERT_TRUE(clicks.DragTo(doc_, proj, tx, ty));
  EXPECT_NEAR(doc_.mapFeatures[0].X, 800, 1);
  EXPECT_NEAR(doc_.mapFeatures[0].Y, 2300, 1);
  clicks.Release();
  EXPECT_FALSE(clicks.DragTo(doc_, proj, 0, 0));
  // A press on empty paper starts nothing.
  EXPECT_EQ(clicks.Press(doc_, proj, 40, 0, -99000), MapClick::kNothing);
}

// The feature dialog's fields.

TEST(FeatureFields, RotationOpensInWholeDegreesAndSavesWithTheOldFactor) {
  MapFeature f;
  f.rotation = 1.0f;
  EXPECT_EQ(FeatureFieldsOf(f).degrees, 57);
  FeatureFields fields = FeatureFieldsOf(f);
  ApplyFeatureFields(fields, f);
  EXPECT_NEAR(f.rotation, 0.99483767, 1e-7);
}

TEST(FeatureFields, EveryWholeDegreeSurvivesAnyNumberOfOks) {
  for (int d = 0; d < 360; ++d) {
    MapFeature f;
    FeatureFields fields;
    fields.degrees = d;
    ApplyFeatureFields(fields, f);
    for (int ok = 0; ok < 3; ++ok) ApplyFeatureFields(FeatureFieldsOf(f), f);
    ASSERT_EQ(FeatureFieldsOf(f).degrees, d);
  }
}

TEST(FeatureFields, StoredRotationsAreTakenIntoOneTurn) {
  const struct { float rad; int degrees; } cases[] = {
      {-0.5f, 331}, {7.0f, 41}, {6.2831853f, 0}, {-6.2831853f, 0}, {1e30f, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rad);
    MapFeature f;
    f.rotation = c.rad;
    const int d = FeatureFieldsOf(f).degrees;
    EXPECT_GE(d, 0);
    EXPECT_LT(d, 360);
    if (c.rad < 1e29f) {
      EXPECT_EQ(d, c.degrees);
    }
  }
}

TEST(FeatureFields, ScaleAndLineWidthOpenAsTheyWereTyped) {
  MapFeature f;
  f.lineWidth = 0.2f;
  f.scale = 1.3f;
  const FeatureFields fields = FeatureFieldsOf(f);
  EXPECT_EQ(fields.lineWidth, 0.2);
  EXPECT_EQ(fields.scale, 1.3);
}

TEST(FeatureFields, LargeSymbolsPreviewAtAFifthAndThinLinesAtOnePixel) {
  EXPECT_DOUBLE_EQ(PreviewSize(52, 1.0f), 0.5);
  EXPECT_DOUBLE_EQ(PreviewSize(53, 1.0f), 0.1);
  EXPECT_DOUBLE_EQ(PreviewLineWidth(0.1), 0.25);
}

}  // namespace
}  // namespace vistamet
