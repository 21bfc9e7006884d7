#include "measure/model/vistamet_doc.h"

#include <gtest/gtest.h>

#include "measure/model/sample_project.h"
#include "measure/model/test_photos.h"
#include "measure/records/test_support.h"

namespace vistamet {
namespace {

using testing::CountingNotifier;
using testing::ScriptedPrompt;
using testing::TempDir;
using testing::WritePhoto;

ImagePoint Pt(int photo, int32_t number, double x = 0, double y = 0) {
  ImagePoint p;
  p.photoIndex = photo;
  p.pointNumber = number;
  p.x = x;
  p.y = y;
  return p;
}

SpacePoint Sp(int32_t number, int control = 0, double x = 0) {
  SpacePoint s;
  s.pointNumber = number;
  s.controlFlag = control;
  s.X = x;
  return s;
}

// A document with `photos` photos on disk (so photo operations work).
class DocTest : public ::testing::Test {
 protected:
  void MakePhotos(int photos) {
    std::vector<std::string> paths;
    for (int i = 0; i < photos; ++i)
      paths.push_back(WritePhoto(dir_.File("p" + std::to_string(i) + ".bmp"), 8, 6, i));
    ASSERT_EQ(doc_.InitNewProject(paths), 1);
    doc_.SetPrompt(&prompt_);
    doc_.SetNotifier(&notifier_);
  }
  TempDir dir_;
  CVistametDoc doc_;
  ScriptedPrompt prompt_;
  CountingNotifier notifier_;
};

TEST(CVistametDoc, FreshDocumentHasItsInitialValues) {
  CVistametDoc doc;
  EXPECT_EQ(doc.PhotoCount(), 0);
  EXPECT_EQ(doc.strVersion, "1.231");
  EXPECT_EQ(doc.currentPhoto, 0);
  EXPECT_EQ(doc.planePoint, -1);
  EXPECT_EQ(doc.mapScale, 100);
  EXPECT_EQ(doc.options.nMaxIter, 60);
  EXPECT_EQ(doc.options.dAngleTol, 0.0005);
  EXPECT_EQ(doc.options.dCoordTol, 1.5);
  EXPECT_EQ(doc.options.bLmsFeature, 1);
  EXPECT_EQ(doc.bAutoPlaneTrans, 0);
  EXPECT_FALSE(doc.IsModified());
  UserSettings settings;
  settings.bLmsFeature = 0;
  settings.bAutoPlaneTrans = 1;
  CVistametDoc other(settings);
  EXPECT_EQ(other.options.bLmsFeature, 0);
  EXPECT_EQ(other.bAutoPlaneTrans, 1);

  const PhotoParams p;
  const double expected[22] = {7.52, 7.52, 7.52, 0, 0, 0, 0, 4000, 0, 0, 0,
                               0,    1.0,  0,    0, 0, 0, 0, 0,    0, 0, 0.0036};
  for (int k = 0; k < 22; ++k) EXPECT_EQ(p.Get(k), expected[k]) << k;
}

TEST(CVistametDoc, LookupsNeverFindNumberMinusOne) {
  CVistametDoc doc;
  doc.spacePoints = {Sp(-1), Sp(5, 1), Sp(7)};
  doc.imagePoints = {Pt(0, -1, 1, 1), Pt(0, 5, 10, 10), Pt(1, 7), Pt(1, 5)};
  EXPECT_EQ(doc.FindSpacePoint(-1), -1);
  EXPECT_EQ(doc.FindSpacePoint(7), 2);
  EXPECT_EQ(doc.FindControlPoint(5), 1);
  EXPECT_EQ(doc.FindControlPoint(7), -1);
  EXPECT_EQ(doc.FindImagePointByNumber(-1, 0, true), -1);
  EXPECT_EQ(doc.FindImagePointByNumber(-1, 0, false), -1);
  EXPECT_EQ(doc.FindImagePointByNumber(5, 1, true), 3);
  EXPECT_EQ(doc.FindImagePointByNumber(5, 1, false), 1);
  EXPECT_EQ(doc.FindImagePointByNumber(7, -1, true), -1);  // current photo 0
  EXPECT_EQ(doc.FindImagePointNear(11, 11, 1.5, 0), 1);
  EXPECT_EQ(doc.FindImagePointNear(11, 11, 1.0, 0), -1);
}

TEST(CVistametDoc, HighestNumberSkipsTheReferenceSquare) {
  CVistametDoc doc;
  doc.imagePoints = {Pt(0, 998), Pt(0, 999), Pt(0, 1002), Pt(1, 3), Pt(1, -1)};
  int count = 0;
  EXPECT_EQ(doc.HighestPointNumber(0, &count), 999);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(doc.HighestPointNumber(1, &count), 3);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(doc.HighestPointNumber(2, &count), -1);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(doc.HighestPointNumber(), 1003);  // 999 is reported as 1003
  doc.imagePoints.push_back(Pt(1, 1004));
  EXPECT_EQ(doc.HighestPointNumber(), 1004);
}

TEST(CVistametDoc, DistancesAreFoundInEitherOrder) {
  CVistametDoc doc;
  doc.distancePairs = {1, 2, 5, 7};
  EXPECT_EQ(doc.FindDistance(5, 7), 1);
  EXPECT_EQ(doc.FindDistance(7, 5), 1);
  EXPECT_EQ(doc.FindDistance(1, 7), -1);
  EXPECT_EQ(doc.RemoveDistance(2), 0);
  EXPECT_EQ(doc.RemoveDistance(-1), 0);
  EXPECT_EQ(doc.RemoveDistance(0), 1);
  EXPECT_EQ(doc.distancePairs, (DistancePairs{5, 7}));
}

TEST(CVistametDoc, DistancesOfAPointByTheirEnd) {
  CVistametDoc doc;
  const DistancePairs all = {4, 2, 2, 9, 3, 5};
  doc.distancePairs = all;
  EXPECT_EQ(doc.RemoveDistancesOf(2, DistanceEnd::kStart), 1);
  EXPECT_EQ(doc.distancePairs, (DistancePairs{4, 2, 3, 5}));
  doc.distancePairs = all;
  EXPECT_EQ(doc.RemoveDistancesOf(2, DistanceEnd::kEnd), 1);
  EXPECT_EQ(doc.distancePairs, (DistancePairs{2, 9, 3, 5}));
  doc.distancePairs = all;
  EXPECT_EQ(doc.RemoveDistancesOf(2, DistanceEnd::kEither), 1);
  EXPECT_EQ(doc.distancePairs, (DistancePairs{3, 5}));
  EXPECT_EQ(doc.RemoveDistancesOf(7, DistanceEnd::kEither), 0);
  EXPECT_EQ(doc.distancePairs, (DistancePairs{3, 5}));
}

TEST_F(DocTest, NewProjectAndAddPhoto) {
  MakePhotos(2);
  EXPECT_EQ(doc_.PhotoCount(), 2);
  EXPECT_EQ(doc_.photoImages.size(), 2u);
  EXPECT_EQ(doc_.photoParams.size(), 2u);
  EXPECT_EQ(doc_.photoImages[1].width, 8);
  // The same path twice fails and changes nothing.
  EXPECT_EQ(doc_.AddPhoto(doc_.photoPaths[0]), 0);
  EXPECT_EQ(doc_.PhotoCount(), 2);
  EXPECT_FALSE(doc_.IsModified());
  // An undecodable file fails too.
  std::string error;
  EXPECT_EQ(doc_.AddPhoto(dir_.File("none.bmp"), &error), 0);
  EXPECT_FALSE(error.empty());
  doc_.photoParams[0].f = 12.0;
  ASSERT_EQ(doc_.AddPhoto(WritePhoto(dir_.File("new.bmp"))), 1);
  EXPECT_EQ(doc_.PhotoCount(), 3);
  EXPECT_EQ(doc_.photoParams[2], PhotoParams{});  // does not inherit the camera
  EXPECT_TRUE(doc_.IsModified());
  EXPECT_TRUE(notifier_.modified);
}

TEST(CVistametDoc, NewProjectWithAnUndecodablePhotoIsRefused) {
  TempDir dir;
  CVistametDoc doc;
  std::string error;
  const std::string good = WritePhoto(dir.File("a.bmp"));
  EXPECT_EQ(doc.InitNewProject({good, dir.File("b.bmp")}, &error), 0);
  EXPECT_NE(error.find("b.bmp"), std::string::npos);
  EXPECT_EQ(doc.PhotoCount(), 0);
  EXPECT_TRUE(doc.photoImages.empty());
}

TEST_F(DocTest, SetCurrentPhotoRefreshesWithoutMarkingModified) {
  MakePhotos(3);
  doc_.SetCurrentPhoto(2);
  EXPECT_EQ(doc_.currentPhoto, 2);
  EXPECT_EQ(notifier_.codes, std::vector<ViewUpdate>{ViewUpdate::kAll});
  doc_.SetCurrentPhoto(2);
  doc_.SetCurrentPhoto(3);  // invalid
  EXPECT_EQ(notifier_.codes.size(), 1u);
  EXPECT_FALSE(doc_.IsModified());
}

TEST_F(DocTest, DeletePhotoMovesTheCurrentPhoto) {
  struct Case {
    int current, deleted, expected;
  } cases[] = {{2, 0, 1}, {0, 0, 0}, {1, 2, 1}, {2, 2, 1}};
  for (const Case& c : cases) {
    CVistametDoc doc;
    std::vector<std::string> paths;
    for (int i = 0; i < 3; ++i)
      paths.push_back(WritePhoto(dir_.File("q" + std::to_string(i) + ".bmp"), 4, 4, i));
    ASSERT_EQ(doc.InitNewProject(paths), 1);
    doc.currentPhoto = c.current;
    ASSERT_EQ(doc.DeletePhoto(c.deleted), 1);
    EXPECT_EQ(doc.currentPhoto, c.expected) << c.current << " " << c.deleted;
    EXPECT_EQ(doc.photoImages.size(), 2u);
    EXPECT_EQ(doc.photoParams.size(), 2u);
  }
}

TEST_F(DocTest, DeletePhotoRemovesWhatOnlyItObserved) {
  MakePhotos(3);
  // Point 1 on photos 0 and 1; point 2 only on photo 1; point 3 on 1 and 2.
  doc_.imagePoints = {Pt(0, 1), Pt(1, 1), Pt(1, 2), Pt(1, 3), Pt(2, 3), Pt(2, -1)};
  doc_.spacePoints = {Sp(1), Sp(2), Sp(3), Sp(9, 1)};  // 9: control, never observed
  doc_.distancePairs = {1, 2, 1, 3, 2, 3};
  MapFeature f1, f2;
  f1.pointNumber = 2;
  f2.pointNumber = 3;
  doc_.mapFeatures = {f1, f2};
  doc_.planePoint = 2;
  doc_.planeSet = 1;
  doc_.adjustedPoints = {Pt(0, 1), Pt(1, 1), Pt(1, 3), Pt(2, 3)};

  EXPECT_EQ(doc_.DeletePhoto(3), 0);
  EXPECT_EQ(doc_.DeletePhoto(-1), 0);
  ASSERT_EQ(doc_.DeletePhoto(1), 1);
  ASSERT_EQ(doc_.imagePoints.size(), 3u);
  EXPECT_EQ(doc_.imagePoints[0], Pt(0, 1));
  EXPECT_EQ(doc_.imagePoints[1], Pt(1, 3));
  EXPECT_EQ(doc_.imagePoints[2], Pt(1, -1));
  ASSERT_EQ(doc_.spacePoints.size(), 2u);
  EXPECT_EQ(doc_.spacePoints[0].pointNumber, 1);
  EXPECT_EQ(doc_.spacePoints[1].pointNumber, 3);
  EXPECT_EQ(doc_.distancePairs, (DistancePairs{1, 3}));
  ASSERT_EQ(doc_.mapFeatures.size(), 1u);
  EXPECT_EQ(doc_.mapFeatures[0].pointNumber, 3);
  EXPECT_EQ(doc_.planePoint, -1);
  EXPECT_EQ(doc_.planeSet, 0);
  // Back-projected points of the photo are gone, later ones moved down.
  ASSERT_EQ(doc_.adjustedPoints.size(), 2u);
  EXPECT_EQ(doc_.adjustedPoints[0], Pt(0, 1));
  EXPECT_EQ(doc_.adjustedPoints[1], Pt(1, 3));
  EXPECT_TRUE(doc_.IsModified());

  // A project always keeps two photos at least... and one photo cannot go.
  ASSERT_EQ(doc_.DeletePhoto(0), 1);
  EXPECT_EQ(doc_.DeletePhoto(0), 0);
}

TEST_F(DocTest, NumberingProposesTheNextFreeNumber) {
  MakePhotos(2);
  doc_.imagePoints = {Pt(0, -1), Pt(0, -1), Pt(0, -1), Pt(1, -1)};
  prompt_.TypeNumber(0);
  ASSERT_EQ(doc_.NumberImagePoint(0), 1);
  EXPECT_EQ(prompt_.shown.back().pointNumber, 0);  // first point of a photo: 0
  EXPECT_EQ(doc_.imagePoints[0].pointNumber, 0);
  ASSERT_EQ(doc_.FindSpacePoint(0), 0);

  // After 998 and 999 the proposal is 1000, which becomes a control corner.
  doc_.imagePoints[0].pointNumber = 998;
  doc_.imagePoints[1].pointNumber = 999;
  doc_.spacePoints = {Sp(998), Sp(999)};
  prompt_.edits.push_back([](SpacePoint& r) {
    ApplyReferenceCorner(r);
    return true;
  });
  ASSERT_EQ(doc_.NumberImagePoint(2), 1);
  EXPECT_EQ(prompt_.shown.back().pointNumber, 1000);
  const int s = doc_.FindControlPoint(1000);
  ASSERT_GE(s, 0);
  EXPECT_EQ(doc_.spacePoints[s].X, 0);
  EXPECT_EQ(doc_.adjusted, 0);
}

TEST(ApplyReferenceCorner, FillsTheSquareOf501mm) {
  struct Case {
    int32_t n;
    double x, y;
  } cases[] = {{1000, 0, 0}, {1001, 501, 0}, {1002, 501, 501}, {1003, 0, 501}};
  for (const Case& c : cases) {
    SpacePoint r;
    r.pointNumber = c.n;
    ApplyReferenceCorner(r);
    EXPECT_EQ(r.controlFlag, 1);
    EXPECT_EQ(r.X, c.x);
    EXPECT_EQ(r.Y, c.y);
    EXPECT_EQ(r.Z, 0);
  }
  SpacePoint r;
  r.pointNumber = 1004;
  ApplyReferenceCorner(r);
  EXPECT_EQ(r.controlFlag, 0);
}

TEST_F(DocTest, NumberUsedTwiceOnAPhotoFailsButLinksAcrossPhotos) {
  MakePhotos(2);
  doc_.imagePoints = {Pt(0, 4), Pt(0, -1), Pt(1, -1)};
  doc_.spacePoints = {Sp(4)};
  prompt_.TypeNumber(4);
  EXPECT_EQ(doc_.NumberImagePoint(1), 0);
  ASSERT_EQ(prompt_.messages.size(), 1u);
  EXPECT_EQ(prompt_.messages[0], "这个点号(' 4 ')已经存在!");
  EXPECT_EQ(doc_.imagePoints[1].pointNumber, -1);
  EXPECT_EQ(doc_.imagePoints[0].pointNumber, 4);

  doc_.currentPhoto = 1;
  prompt_.TypeNumber(4);
  ASSERT_EQ(doc_.NumberImagePoint(2), 1);
  EXPECT_EQ(doc_.imagePoints[2].pointNumber, 4);
  EXPECT_EQ(doc_.spacePoints.size(), 1u);
  // Cancel changes nothing.
  prompt_.Cancel();
  EXPECT_EQ(doc_.NumberImagePoint(1), 0);
}

TEST_F(DocTest, TheNoNumberValueIsNeverGivenOrStored) {
  MakePhotos(1);
  doc_.imagePoints = {Pt(0, -1), Pt(0, 5)};
  doc_.spacePoints = {Sp(5)};
  prompt_.TypeNumber(-1);
  EXPECT_EQ(doc_.NumberImagePoint(0), 0);
  prompt_.TypeNumber(-1);
  EXPECT_EQ(doc_.NumberImagePoint(1), 0);
  EXPECT_EQ(doc_.imagePoints[1].pointNumber, 5);
  EXPECT_EQ(doc_.StoreSpacePoint(Sp(-1)), 0);
  EXPECT_EQ(doc_.StoreSpacePoint(Sp(-1)), 0);
  ASSERT_EQ(doc_.spacePoints.size(), 1u);
  EXPECT_EQ(FindBrokenInvariant(doc_), "");
}

TEST_F(DocTest, NumberingChecksThePhotoOfThePointNotTheCurrentOne) {
  MakePhotos(2);
  doc_.imagePoints = {Pt(1, 4), Pt(1, -1)};
  doc_.spacePoints = {Sp(4)};
  doc_.currentPhoto = 0;
  prompt_.TypeNumber(4);
  EXPECT_EQ(doc_.NumberImagePoint(1), 0);
  EXPECT_EQ(doc_.imagePoints[1].pointNumber, -1);
  EXPECT_EQ(FindBrokenInvariant(doc_), "");
}

TEST_F(DocTest, NumberingOntoAControlPointAsksWhetherToKeepIt) {
  MakePhotos(2);
  doc_.imagePoints = {Pt(0, -1), Pt(0, -1)};
  doc_.spacePoints = {Sp(7, 1, 100.0)};
  // Yes keeps the control point's data.
  prompt_.TypeControl(7, 1, 2, 3);
  prompt_.answers.push_back(true);
  ASSERT_EQ(doc_.NumberImagePoint(0), 1);
  EXPECT_EQ(prompt_.questions.size(), 1u);
  EXPECT_EQ(doc_.spacePoints[0].X, 100.0);
  // No stores the dialog's record over it (on another point of photo 1).
  doc_.currentPhoto = 1;
  doc_.imagePoints.push_back(Pt(1, -1));
  prompt_.TypeControl(7, 1, 2, 3);
  prompt_.answers.push_back(false);
  ASSERT_EQ(doc_.NumberImagePoint(2), 1);
  EXPECT_EQ(doc_.spacePoints[0].X, 1.0);
}

TEST_F(DocTest, RenumberingAPointMovesItsSpacePoint) {
  MakePhotos(2);
  doc_.imagePoints = {Pt(0, 3), Pt(0, -1)};
  doc_.spacePoints = {Sp(3)};
  doc_.adjusted = 1;
  // Same number, nothing changed: 0.
  prompt_.TypeNumber(3);
  EXPECT_EQ(doc_.NumberImagePoint(0), 0);
  EXPECT_EQ(doc_.adjusted, 1);
  // Same number, becomes a control point: stored.
  prompt_.TypeControl(3, 5, 6, 7);
  ASSERT_EQ(doc_.NumberImagePoint(0), 1);
  EXPECT_EQ(doc_.spacePoints[0].controlFlag, 1);
  EXPECT_EQ(doc_.spacePoints[0].Z, 7);
  EXPECT_EQ(doc_.adjusted, 0);
  // New number: space point 3 goes away, 8 takes its record.
  prompt_.TypeNumber(8);
  ASSERT_EQ(doc_.NumberImagePoint(0), 1);
  EXPECT_EQ(doc_.FindSpacePoint(3), -1);
  ASSERT_GE(doc_.FindSpacePoint(8), 0);
  EXPECT_EQ(doc_.spacePoints[doc_.FindSpacePoint(8)].Z, 7);
}

TEST(CVistametDoc, NumberingFourControlPointsOrientsThePhoto) {
  const SampleScene scene = MakeSampleScene(SampleOptions{});
  CVistametDoc doc;
  ScriptedPrompt prompt;
  doc.SetPrompt(&prompt);
  for (int p = 0; p < 2; ++p) {
    doc.photoPaths.push_back("p" + std::to_string(p));
    ImageHolder img;
    img.width = 3000;
    img.height = 2000;
    doc.photoImages.push_back(img);
    doc.photoParams.push_back(PhotoParams{});
  }
  for (const ImagePoint& ip : scene.observations[0]) {
    if (!IsReferenceNumber(ip.pointNumber)) continue;
    ImagePoint p = ip;
    p.pointNumber = -1;
    doc.imagePoints.push_back(p);
  }
  ASSERT_EQ(doc.imagePoints.size(), 4u);
  const PhotoParams truth = scene.photos[0];
  for (int i = 0; i < 4; ++i) {
    prompt.TypeNumber(1000 + i);
    ASSERT_EQ(doc.NumberImagePoint(i), 1);
    if (i < 3) {
      EXPECT_EQ(doc.photoParams[0].Zs, 4000.0) << i;
    }
  }
  const PhotoParams& got = doc.photoParams[0];
  EXPECT_NEAR(got.Xs, truth.Xs, 1.0);
  EXPECT_NEAR(got.Ys, truth.Ys, 1.0);
  EXPECT_NEAR(got.Zs, truth.Zs, 1.0);
  EXPECT_NEAR(got.phi, truth.phi, 1e-3);
  EXPECT_NEAR(got.omega, truth.omega, 1e-3);
  EXPECT_NEAR(got.kappa, truth.kappa, 1e-3);
  EXPECT_EQ(doc.photoParams[1], PhotoParams{});
}

TEST_F(DocTest, ClearingTheLastObservationDeletesTheSpacePoint) {
  MakePhotos(2);
  doc_.imagePoints = {Pt(0, 7), Pt(1, 7), Pt(0, 8)};
  doc_.spacePoints = {Sp(7), Sp(8)};
  doc_.distancePairs = {7, 8};
  MapFeature f;
  f.pointNumber = 7;
  doc_.mapFeatures = {f};
  doc_.planePoint = 7;
  doc_.planeSet = 1;
  doc_.adjustedPoints = {Pt(0, 7), Pt(1, 7)};
  doc_.adjusted = 1;

  ASSERT_EQ(doc_.ClearImagePointNumber(0), 1);
  EXPECT_EQ(doc_.FindSpacePoint(7), 0);  // still observed on photo 1
  EXPECT_EQ(doc_.adjustedPoints.size(), 1u);
  EXPECT_EQ(doc_.adjusted, 0);
  EXPECT_EQ(doc_.ClearImagePointNumber(0), 0);  // already unnumbered

  ASSERT_EQ(doc_.ClearImagePointNumber(1), 1);
  EXPECT_EQ(doc_.FindSpacePoint(7), -1);
  EXPECT_TRUE(doc_.distancePairs.empty());
  EXPECT_TRUE(doc_.mapFeatures.empty());
  EXPECT_TRUE(doc_.adjustedPoints.empty());
  EXPECT_EQ(doc_.planePoint, -1);
  EXPECT_EQ(doc_.planeSet, 0);
}

TEST_F(DocTest, DeletingAndAddingImagePoints) {
  MakePhotos(2);
  doc_.imagePoints = {Pt(0, -1), Pt(0, 5), Pt(1, -1), Pt(1, 5)};
  doc_.spacePoints = {Sp(5)};
  EXPECT_EQ(doc_.DeleteImagePoint(4), 0);
  ASSERT_EQ(doc_.DeleteImagePoint(1), 1);
  EXPECT_EQ(doc_.FindSpacePoint(5), 0);
  EXPECT_EQ(doc_.DeleteUnnumberedPoints(SweepScope::kCurrentPhoto), 1);  // current photo only
  EXPECT_EQ(doc_.imagePoints.size(), 2u);
  EXPECT_EQ(doc_.DeleteUnnumberedPoints(SweepScope::kCurrentPhoto), 0);
  EXPECT_EQ(doc_.DeleteUnnumberedPoints(SweepScope::kAllPhotos), 1);
  ASSERT_EQ(doc_.imagePoints.size(), 1u);
  ASSERT_EQ(doc_.AddImagePoint(3.5, 4.5), 1);
  EXPECT_EQ(doc_.imagePoints.back(), Pt(0, -1, 3.5, 4.5));
  ASSERT_EQ(doc_.ClearCurrentPhotoNumbers(), 0);
  doc_.currentPhoto = 1;
  ASSERT_EQ(doc_.ClearCurrentPhotoNumbers(), 1);
  EXPECT_TRUE(doc_.spacePoints.empty());
}

TEST_F(DocTest, StoreSpacePointUpdatesOnlyTheFlagOfOrdinaryRecords) {
  MakePhotos(2);
  EXPECT_EQ(doc_.StoreSpacePoint(Sp(4, 1, 10)), 1);
  EXPECT_EQ(doc_.StoreSpacePoint(Sp(4, 0, 99)), 0);
  EXPECT_EQ(doc_.spacePoints[0].controlFlag, 0);
  EXPECT_EQ(doc_.spacePoints[0].X, 10);
  EXPECT_EQ(doc_.StoreSpacePoint(Sp(4, 1, 99)), 0);
  EXPECT_EQ(doc_.spacePoints[0].X, 99);
}

TEST_F(DocTest, RenameAndDeleteSpacePoints) {
  MakePhotos(2);
  doc_.imagePoints = {Pt(0, 5), Pt(1, 5), Pt(0, -3)};
  doc_.adjustedPoints = {Pt(0, 5)};
  doc_.spacePoints = {Sp(5), Sp(6), Sp(-3)};
  doc_.distancePairs = {5, 6, -3, 5};
  MapFeature f;
  f.pointNumber = 5;
  doc_.mapFeatures = {f};
  doc_.planePoint = 5;
  doc_.adjusted = 1;

  EXPECT_EQ(doc_.RenameSpacePoint(5, 6), 0);  // 6 exists
  EXPECT_EQ(doc_.RenameSpacePoint(4, 9), 0);  // 4 does not
  EXPECT_EQ(doc_.spacePoints[0].pointNumber, 5);
  ASSERT_EQ(doc_.RenameSpacePoint(5, 12), 1);
  EXPECT_EQ(doc_.imagePoints[0].pointNumber, 12);
  EXPECT_EQ(doc_.imagePoints[1].pointNumber, 12);
  EXPECT_EQ(doc_.adjustedPoints[0].pointNumber, 12);
  EXPECT_EQ(doc_.distancePairs, (DistancePairs{12, 6, -3, 12}));
  EXPECT_EQ(doc_.planePoint, 12);
  EXPECT_EQ(doc_.mapFeatures[0].pointNumber, 12);
  EXPECT_EQ(doc_.adjusted, 1);  // renaming keeps the adjustment

  // A plane point (negative number) goes without resetting the adjustment.
  ASSERT_EQ(doc_.DeleteSpacePoint(-3, true), 1);
  EXPECT_EQ(doc_.adjusted, 1);
  EXPECT_EQ(doc_.imagePoints[2].pointNumber, -1);
  EXPECT_EQ(doc_.distancePairs, (DistancePairs{12, 6}));
  EXPECT_EQ(doc_.DeleteSpacePoint(-3, true), 0);
  ASSERT_EQ(doc_.DeleteSpacePoint(12, false), 1);
  EXPECT_EQ(doc_.adjusted, 0);
  EXPECT_EQ(doc_.imagePoints[0].pointNumber, 12);  // not unnumbered
  EXPECT_TRUE(doc_.distancePairs.empty());
  EXPECT_TRUE(doc_.adjustedPoints.empty());
}

TEST_F(DocTest, ShiftOriginMovesEverySpacePoint) {
  MakePhotos(2);
  doc_.spacePoints = {Sp(1, 1, 10), Sp(2, 0, 20)};
  prompt_.offset_ok = false;
  doc_.ShiftOrigin();
  EXPECT_EQ(doc_.spacePoints[0].X, 10);
  prompt_.offset_ok = true;
  prompt_.offset[0] = 5;
  prompt_.offset[2] = -1;
  doc_.ShiftOrigin();
  EXPECT_EQ(doc_.spacePoints[0].X, 15);
  EXPECT_EQ(doc_.spacePoints[1].X, 25);
  EXPECT_EQ(doc_.spacePoints[1].Z, -1);
  EXPECT_EQ(doc_.photoParams[0].Xs, 0);
  EXPECT_TRUE(doc_.IsModified());
}

TEST(CVistametDoc, OptionsKeepWeightsPositive) {
  CVistametDoc doc;
  AdjustmentOptions o = doc.options;
  o.dWeightX = 0;
  o.dWeightY = -2;
  o.nMaxIter = 10;
  doc.SetOptions(o);
  EXPECT_EQ(doc.options.dWeightX, 0.000001);
  EXPECT_EQ(doc.options.dWeightY, 0.000001);
  EXPECT_EQ(doc.options.nMaxIter, 10);
}

}  // namespace
}  // namespace vistamet
