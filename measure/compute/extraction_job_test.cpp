#include "measure/compute/extraction_job.h"

#include <gtest/gtest.h>

#include "measure/compute/target_images_test_support.h"

namespace vistamet {
namespace {

using testing::Canvas;

// A photo with `count` targets on a grid (at most 10 a row), as a decoded
// photo holds it.
ImageHolder PhotoWithTargets(int count, uint32_t seed, int w = 320, int h = 240) {
  Canvas img(w, h);
  testing::FillTexture(&img, 160, 30, 3, seed);
  for (int i = 0; i < count; ++i) {
    const double x = 20 + (i % 10) * 28 + 0.3 * (seed % 3);
    const double y = 20 + (i / 10) * 22 + 0.2 * (seed % 5);
    testing::DrawTriangle(&img, x, y, 13, 8, 30);
  }
  ImageHolder holder;
  holder.width = w;
  holder.height = h;
  holder.grey = std::move(img.grey);
  return holder;
}

std::vector<ImageHolder> SmallProject() {
  std::vector<ImageHolder> photos;
  photos.push_back(PhotoWithTargets(7, 1));
  photos.push_back(PhotoWithTargets(80, 2, 320, 240));
  photos.push_back(ImageHolder{});  // a photo that could not be decoded
  photos.push_back(PhotoWithTargets(3, 4));
  return photos;
}

TEST(ExtractionJob, ParallelRunsEqualTheSequentialOneInPhotoOrder) {
  const std::vector<ImageHolder> photos = SmallProject();
  const ExtractionRequest request = MakeExtractionRequest(ExtractionKind::kAllPhotos, photos);
  ASSERT_EQ(request.photos.size(), 4u);

  std::vector<ExtractionResult> runs;
  for (int threads : {1, 2, 4, 0}) {
    ExtractionRequest r = request;
    r.threads = threads;
    runs.push_back(RunExtraction(r));
  }
  const ExtractionResult& seq = runs[0];
  ASSERT_EQ(seq.completed, 1);
  // A photo with 80 targets contributes 50; the undecoded one none.
  ASSERT_EQ(seq.foundPerPhoto.size(), 4u);
  EXPECT_GE(seq.foundPerPhoto[0], 7);
  EXPECT_EQ(seq.foundPerPhoto[1], 50);
  EXPECT_EQ(seq.foundPerPhoto[2], 0);
  EXPECT_GE(seq.foundPerPhoto[3], 3);
  for (const ExtractionResult& r : runs) {
    EXPECT_EQ(r.completed, 1);
    EXPECT_EQ(r.foundPerPhoto, seq.foundPerPhoto);
    EXPECT_EQ(r.imagePoints, seq.imagePoints);
  }

  // Photo order, and each point as the extraction creates it.
  int32_t lastPhoto = 0;
  size_t k = 0;
  for (size_t photo = 0; photo < seq.foundPerPhoto.size(); ++photo) {
    for (int32_t i = 0; i < seq.foundPerPhoto[photo]; ++i, ++k) {
      const ImagePoint& p = seq.imagePoints[k];
      EXPECT_EQ(p.photoIndex, static_cast<int32_t>(photo));
      EXPECT_GE(p.photoIndex, lastPhoto);
      lastPhoto = p.photoIndex;
      EXPECT_EQ(p.weightX, 1.0);
      EXPECT_EQ(p.weightY, 1.0);
      EXPECT_EQ(p.matchState, 1);
      EXPECT_EQ(p.pointNumber, kNoNumber);
    }
  }
  EXPECT_EQ(k, seq.imagePoints.size());
  // The points are the target search's, best first.
  std::vector<FoundTarget> direct;
  FindTargets(GreyView(photos[3]), kMaxTrianglesPerPhoto, request.targets, &direct);
  ASSERT_EQ(static_cast<int32_t>(direct.size()), seq.foundPerPhoto[3]);
  const size_t first3 = seq.imagePoints.size() - direct.size();
  for (size_t i = 0; i < direct.size(); ++i) {
    EXPECT_EQ(seq.imagePoints[first3 + i].x, direct[i].x);
    EXPECT_EQ(seq.imagePoints[first3 + i].y, direct[i].y);
  }
}

TEST(ExtractionJob, RequestsCopyWhatTheyNeed) {
  std::vector<ImageHolder> photos = SmallProject();
  ExtractionRequest all = MakeExtractionRequest(ExtractionKind::kAllPhotos, photos);
  ExtractionRequest added = MakeExtractionRequest(ExtractionKind::kAddedPhoto, photos);
  EXPECT_EQ(all.photoCount, 4);
  EXPECT_EQ(all.firstPhoto, 0);
  EXPECT_EQ(all.photos.size(), 4u);
  EXPECT_EQ(added.photoCount, 4);
  EXPECT_EQ(added.firstPhoto, 3);
  ASSERT_EQ(added.photos.size(), 1u);
  EXPECT_EQ(added.photos[0].grey, photos[3].grey);
  // The job's images do not change with the project's.
  photos[3].grey.assign(photos[3].grey.size(), 7);
  EXPECT_NE(added.photos[0].grey, photos[3].grey);

  const ExtractionResult r = RunExtraction(added);
  EXPECT_EQ(r.completed, 1);
  ASSERT_FALSE(r.imagePoints.empty());
  for (const ImagePoint& p : r.imagePoints) EXPECT_EQ(p.photoIndex, 3);

  for (ExtractionKind kind : {ExtractionKind::kAllPhotos, ExtractionKind::kAddedPhoto}) {
    const ExtractionRequest none = MakeExtractionRequest(kind, {});
    EXPECT_EQ(none.photoCount, 0);
    EXPECT_TRUE(none.photos.empty());
    const ExtractionResult nr = RunExtraction(none);
    EXPECT_EQ(nr.completed, 1);
    EXPECT_TRUE(nr.imagePoints.empty());
  }
}

TEST(ExtractionJob, StoppedJobReturnsNothing) {
  const ExtractionRequest request =
      MakeExtractionRequest(ExtractionKind::kAllPhotos, SmallProject());
  std::atomic<bool> stop(true);
  const ExtractionResult r = RunExtraction(request, &stop);
  EXPECT_EQ(r.completed, 0);
  EXPECT_TRUE(r.imagePoints.empty());
  EXPECT_TRUE(r.foundPerPhoto.empty());
}

// The project's lists and flags as a document holds them.
struct Lists {
  std::vector<ImagePoint> imagePoints;
  std::vector<SpacePoint> spacePoints;
  DistancePairs distancePairs;
  int32_t targetsExtracted = 0;
  int32_t adjusted = 1;

  static Lists WithData() {
    Lists l;
    ImagePoint old;
    old.x = 5;
    old.photoIndex = 0;
    old.pointNumber = 12;
    l.imagePoints = {old, old};
    SpacePoint sp;
    sp.pointNumber = 12;
    l.spacePoints = {sp};
    l.distancePairs = {12, 13};
    return l;
  }
  int Apply(ExtractionResult r, int32_t photoCount) {
    return ApplyExtraction(std::move(r), photoCount, imagePoints, spacePoints, distancePairs,
                           targetsExtracted, adjusted);
  }
};

ExtractionResult FinishedResult(ExtractionKind kind, int32_t photoCount) {
  ExtractionResult r;
  r.kind = kind;
  r.photoCount = photoCount;
  r.completed = 1;
  r.firstPhoto = kind == ExtractionKind::kAddedPhoto ? photoCount - 1 : 0;
  const int32_t searched = kind == ExtractionKind::kAddedPhoto ? 1 : photoCount;
  for (int32_t i = 0; i < searched; ++i) {
    ImagePoint p;
    p.x = 100 + i;
    p.photoIndex = r.firstPhoto + i;
    r.imagePoints.push_back(p);
    r.foundPerPhoto.push_back(1);
  }
  return r;
}

TEST(ExtractionJob, ApplyReplacesOrAppends) {
  {
    SCOPED_TRACE("full extraction deletes every image point, space point and distance");
    Lists l = Lists::WithData();
    ASSERT_EQ(l.Apply(FinishedResult(ExtractionKind::kAllPhotos, 3), 3), 1);
    ASSERT_EQ(l.imagePoints.size(), 3u);
    EXPECT_EQ(l.imagePoints[2].x, 102);
    EXPECT_EQ(l.imagePoints[2].photoIndex, 2);
    EXPECT_TRUE(l.spacePoints.empty());
    EXPECT_TRUE(l.distancePairs.empty());
    EXPECT_EQ(l.targetsExtracted, 1);
    EXPECT_EQ(l.adjusted, 0);
  }
  {
    SCOPED_TRACE("added photo keeps everything and appends");
    Lists l = Lists::WithData();
    ASSERT_EQ(l.Apply(FinishedResult(ExtractionKind::kAddedPhoto, 3), 3), 1);
    ASSERT_EQ(l.imagePoints.size(), 3u);
    EXPECT_EQ(l.imagePoints[0].pointNumber, 12);
    EXPECT_EQ(l.imagePoints[2].photoIndex, 2);
    EXPECT_EQ(l.spacePoints.size(), 1u);
    EXPECT_EQ(l.distancePairs.size(), 2u);
    EXPECT_EQ(l.targetsExtracted, 1);
    EXPECT_EQ(l.adjusted, 0);
  }
  struct Refused {
    const char* note;
    ExtractionResult result;
    int32_t photoCount;
  };
  ExtractionResult stopped = FinishedResult(ExtractionKind::kAllPhotos, 3);
  stopped.completed = 0;
  ExtractionResult badIndex = FinishedResult(ExtractionKind::kAllPhotos, 3);
  badIndex.imagePoints[1].photoIndex = 3;
  ExtractionResult partial = FinishedResult(ExtractionKind::kAllPhotos, 3);
  partial.foundPerPhoto.pop_back();
  const Refused refused[] = {
      {"stopped", stopped, 3},
      {"no photo", FinishedResult(ExtractionKind::kAllPhotos, 0), 0},
      {"a photo was added meanwhile", FinishedResult(ExtractionKind::kAllPhotos, 3), 4},
      {"added photo, count changed", FinishedResult(ExtractionKind::kAddedPhoto, 3), 2},
      {"photo index out of range", badIndex, 3},
      {"not every photo searched", partial, 3},
  };
  for (const Refused& c : refused) {
    SCOPED_TRACE(c.note);
    Lists l = Lists::WithData();
    EXPECT_EQ(l.Apply(c.result, c.photoCount), 0);
    EXPECT_EQ(l.imagePoints.size(), 2u);
    EXPECT_EQ(l.spacePoints.size(), 1u);
    EXPECT_EQ(l.distancePairs.size(), 2u);
    EXPECT_EQ(l.targetsExtracted, 0);
    EXPECT_EQ(l.adjusted, 1);
  }
}

}  // namespace
}  // namespace vistamet
