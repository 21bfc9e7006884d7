// Photos in projects: headers only on open, pixels through the cache,
// camera defaults from EXIF, and a JPEG project that measures like a BMP
// one.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "common/atomic_file.h"
#include "measure/model/photo_cache.h"
#include "measure/model/photo_encode.h"
#include "measure/model/photo_thumbnails.h"
#include "measure/model/project_file.h"
#include "measure/model/sample_project.h"
#include "measure/model/test_photos.h"
#include "measure/model/vistamet_doc.h"
#include "measure/records/test_support.h"

namespace vistamet {
namespace {

using testing::TempDir;

std::string WriteJpeg(const std::string& path, int w, int h, const ExifFields* exif) {
  std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
  for (size_t k = 0; k < rgb.size(); ++k) rgb[k] = static_cast<uint8_t>(k * 7);
  EXPECT_TRUE(common::SaveFileAtomically(
      path, EncodeJpeg(w, h, 3, rgb.data(), 90, exif ? BuildExifBlock(*exif) : std::string())));
  return path;
}

TEST(NewProject, CameraComesFromExifUnlessGiven) {
  TempDir dir;
  ExifFields exif;
  exif.focalLengthMm = 35;
  exif.focalPlaneXResolution = 2000;  // per cm: 0.005 mm
  exif.resolutionUnit = 3;
  const std::string a = WriteJpeg(dir.File("a.jpg"), 40, 30, &exif);
  const std::string b = testing::WritePhoto(dir.File("b.bmp"), 40, 30);
  CVistametDoc doc;
  std::string error;
  ASSERT_EQ(doc.InitNewProject({a, b}, &error), 1) << error;
  EXPECT_DOUBLE_EQ(doc.photoParams[0].f, 35);
  EXPECT_DOUBLE_EQ(doc.photoParams[0].f1, 35);
  EXPECT_DOUBLE_EQ(doc.photoParams[0].f2, 35);
  EXPECT_DOUBLE_EQ(doc.photoParams[0].pixelSize, 0.005);
  // No EXIF: the initial values.
  EXPECT_DOUBLE_EQ(doc.photoParams[1].f, PhotoParams{}.f);
  EXPECT_DOUBLE_EQ(doc.photoParams[1].pixelSize, PhotoParams{}.pixelSize);
  EXPECT_EQ(doc.photoImages[0].width, 40);
  EXPECT_EQ(doc.photoImages[0].height, 30);
  EXPECT_TRUE(doc.photoImages[0].grey.empty());  // header only

  // Explicit values win over EXIF.
  CVistametDoc given;
  ASSERT_EQ(given.InitNewProject({a, b}, &error, NewProjectCamera{24, 0.004}), 1) << error;
  EXPECT_DOUBLE_EQ(given.photoParams[0].f, 24);
  EXPECT_DOUBLE_EQ(given.photoParams[0].pixelSize, 0.004);
  EXPECT_DOUBLE_EQ(given.photoParams[1].f, 24);

  // A photo listed twice refuses the project and leaves it empty.
  CVistametDoc twice;
  EXPECT_EQ(twice.InitNewProject({a, b, a}, &error), 0);
  EXPECT_NE(error.find("listed twice"), std::string::npos) << error;
  EXPECT_EQ(twice.PhotoCount(), 0);
}

TEST(PhotoCache, KeepsWithinItsBudgetAndNoticesChangedFiles) {
  TempDir dir;
  std::vector<std::string> paths;
  for (int i = 0; i < 4; ++i)
    paths.push_back(testing::WritePhoto(dir.File("p" + std::to_string(i) + ".bmp"), 100, 100, i));
  // Grey only: 10,000 bytes a photo; room for two.
  PhotoCache cache(25000);
  for (const std::string& p : paths) ASSERT_NE(cache.Get(p, false), nullptr);
  EXPECT_EQ(cache.Decodes(), 4);
  EXPECT_LE(cache.Held(), 25000);
  ASSERT_NE(cache.Get(paths[3], false), nullptr);  // the newest is still there
  EXPECT_EQ(cache.Decodes(), 4);
  ASSERT_NE(cache.Get(paths[0], false), nullptr);  // the oldest was dropped
  EXPECT_EQ(cache.Decodes(), 5);

  // Colour asked after grey decodes again; grey after colour does not.
  auto colour = cache.Get(paths[0], true);
  ASSERT_NE(colour, nullptr);
  EXPECT_FALSE(colour->dib.empty());
  EXPECT_EQ(cache.Decodes(), 6);
  EXPECT_EQ(cache.Get(paths[0], false), colour);

  // A file written anew is decoded anew.
  testing::WritePhoto(paths[0], 50, 20, 9);
  auto changed = cache.Get(paths[0], false);
  ASSERT_NE(changed, nullptr);
  EXPECT_EQ(changed->width, 50);
  // What a caller still holds stays valid after the cache lets go of it.
  EXPECT_EQ(colour->width, 100);
  cache.Clear();
  EXPECT_EQ(cache.Held(), 0);
}

TEST(PhotoPixels, PhotoThatChangedSizeIsRefused) {
  TempDir dir;
  const std::string a = testing::WritePhoto(dir.File("a.bmp"), 30, 20);
  const std::string b = testing::WritePhoto(dir.File("b.bmp"), 30, 20);
  CVistametDoc doc;
  ASSERT_EQ(doc.InitNewProject({a, b}), 1);
  std::string error;
  ASSERT_NE(doc.PhotoPixels(1, true, &error), nullptr) << error;
  testing::WritePhoto(b, 20, 30);
  EXPECT_EQ(doc.PhotoPixels(1, false, &error), nullptr);
  EXPECT_NE(error.find("20 x 30"), std::string::npos) << error;
}

TEST(ProjectPhotos, OneLargePhotoListedTwoThousandTimesOpensWithoutDecoding) {
  TempDir dir;
  const std::string photo = testing::WritePhoto(dir.File("big.bmp"), 600, 400);
  CVistametDoc doc;
  ASSERT_EQ(doc.InitNewProject({photo, testing::WritePhoto(dir.File("b.bmp"), 600, 400)}), 1);
  doc.photoPaths.assign(2000, photo);
  doc.photoImages.assign(2000, doc.photoImages[0]);
  doc.photoParams.assign(2000, PhotoParams{});
  std::string message;
  ASSERT_TRUE(SaveProjectFile(doc, dir.File("many.vmt"), &message)) << message;
  const int64_t before = PhotoCache::Shared().Decodes();
  CVistametDoc loaded;
  const LoadResult r = LoadProjectFile(dir.File("many.vmt"), &loaded);
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(loaded.PhotoCount(), 2000);
  EXPECT_EQ(PhotoCache::Shared().Decodes(), before);
  // All of them are one decoded photo.
  const auto first = loaded.PhotoPixels(0);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(loaded.PhotoPixels(1999), first);
  EXPECT_EQ(PhotoCache::Shared().Decodes(), before + 1);
}

TEST(ProjectPhotos, FifoAsPhotoRefusesTheProjectAtOnce) {
  TempDir dir;
  const std::string a = testing::WritePhoto(dir.File("a.bmp"), 30, 20);
  const std::string b = testing::WritePhoto(dir.File("b.bmp"), 30, 20);
  CVistametDoc doc;
  ASSERT_EQ(doc.InitNewProject({a, b}), 1);
  std::string message;
  ASSERT_TRUE(SaveProjectFile(doc, dir.File("p.vmt"), &message)) << message;
  ASSERT_EQ(::unlink(b.c_str()), 0);
  ASSERT_EQ(::mkfifo(b.c_str(), 0600), 0);
  CVistametDoc loaded;
  const LoadResult r = LoadProjectFile(dir.File("p.vmt"), &loaded);
  EXPECT_FALSE(r.ok());
  EXPECT_NE(r.message.find("not a regular file"), std::string::npos) << r.message;
  std::string error;
  EXPECT_EQ(doc.AddPhoto(b, &error), 0);
  ::unlink(b.c_str());
}

void ExpectSamePoints(const CVistametDoc& a, const CVistametDoc& b, double mm) {
  ASSERT_EQ(a.spacePoints.size(), b.spacePoints.size());
  for (size_t i = 0; i < a.spacePoints.size(); ++i) {
    const SpacePoint& p = a.spacePoints[i];
    const SpacePoint& q = b.spacePoints[i];
    EXPECT_EQ(p.pointNumber, q.pointNumber);
    EXPECT_NEAR(p.X, q.X, mm) << p.pointNumber;
    EXPECT_NEAR(p.Y, q.Y, mm) << p.pointNumber;
    EXPECT_NEAR(p.Z, q.Z, mm) << p.pointNumber;
  }
}

// The sample scene photographed as BMP and as JPEG: the same targets are
// found within a fraction of a pixel, and the adjustment gives the same
// coordinates; opening and adjusting without matching decode nothing.
TEST(ProjectPhotos, JpegProjectExtractsAndAdjustsLikeBmp) {
  TempDir dir;
  SampleOptions options;
  options.width = 1200;
  options.height = 800;
  std::string error;
  ASSERT_TRUE(WriteSampleProject(dir.File("bmp"), options, &error, PhotoFormat::kBmp)) << error;
  ASSERT_TRUE(WriteSampleProject(dir.File("jpeg"), options, &error, PhotoFormat::kJpeg)) << error;
  CVistametDoc docs[2];
  for (int k = 0; k < 2; ++k) {
    const LoadResult r =
        LoadProjectFile(dir.File(k ? "jpeg/sample_photos.vmt" : "bmp/sample_photos.vmt"), &docs[k]);
    ASSERT_TRUE(r.ok()) << r.message;
    ASSERT_EQ(docs[k].ExtractNow(ExtractionKind::kAllPhotos), 1);
  }
  ASSERT_EQ(docs[0].imagePoints.size(), docs[1].imagePoints.size());
  ASSERT_FALSE(docs[0].imagePoints.empty());
  for (const ImagePoint& p : docs[0].imagePoints) {
    double best = 1e9;
    for (const ImagePoint& q : docs[1].imagePoints)
      if (q.photoIndex == p.photoIndex) best = std::min(best, std::hypot(p.x - q.x, p.y - q.y));
    EXPECT_LT(best, 0.5) << "photo " << p.photoIndex << " at " << p.x << ", " << p.y;
  }

  CVistametDoc adjusted[2];
  for (int k = 0; k < 2; ++k) {
    const int64_t before = PhotoCache::Shared().Decodes();
    const LoadResult r =
        LoadProjectFile(dir.File(k ? "jpeg/sample.vmt" : "bmp/sample.vmt"), &adjusted[k]);
    ASSERT_TRUE(r.ok()) << r.message;
    adjusted[k].options.bLmsFeature = 0;  // without matching no pixels are needed
    ASSERT_EQ(adjusted[k].BundleAdjust(AdjustmentReports()), 1);
    EXPECT_EQ(PhotoCache::Shared().Decodes(), before);
  }
  ExpectSamePoints(adjusted[0], adjusted[1], 1e-6);

  // With matching, the image points move to where the pixels say (by up to
  // half a millimetre in space here); the two formats agree to well within
  // that.
  for (int k = 0; k < 2; ++k) {
    const LoadResult r =
        LoadProjectFile(dir.File(k ? "jpeg/sample.vmt" : "bmp/sample.vmt"), &adjusted[k]);
    ASSERT_TRUE(r.ok()) << r.message;
    adjusted[k].options.bLmsFeature = 1;
    ASSERT_EQ(adjusted[k].BundleAdjust(AdjustmentReports()), 1);
  }
  ExpectSamePoints(adjusted[0], adjusted[1], 0.3);
}

}  // namespace
}  // namespace vistamet

namespace vistamet {
namespace {

TEST(PhotoThumbnail, MadeOnceThenReadFromTheCacheUntilThePhotoChanges) {
  TempDir dir;
  const std::string cache = dir.File("cache/thumbs");
  const std::string photo = WriteJpeg(dir.File("big.jpg"), 2048, 1536, nullptr);
  ImageHolder thumb;
  std::string error;
  ASSERT_TRUE(LoadPhotoThumbnail(photo, &thumb, &error, cache)) << error;
  EXPECT_EQ(thumb.width, kThumbnailSide);
  EXPECT_EQ(thumb.height, 192);
  EXPECT_FALSE(thumb.dib.empty());
  const std::string stored = ThumbnailFile(photo, cache);
  ASSERT_TRUE(common::FileExists(stored));

  // The stored file is what is shown next time: replaced by a marker
  // image, the marker comes back.
  std::vector<uint8_t> marker(10 * 5 * 3, 77);
  ASSERT_TRUE(common::SaveFileAtomically(stored, EncodePng(10, 5, 3, 8, marker.data())));
  ASSERT_TRUE(LoadPhotoThumbnail(photo, &thumb, &error, cache)) << error;
  EXPECT_EQ(thumb.width, 10);

  // A photo written anew (other size and time) gets a thumbnail of its own.
  struct timespec times[2] = {{0, UTIME_NOW}, {1000, 0}};
  WriteJpeg(photo, 300, 600, nullptr);
  ASSERT_EQ(::utimensat(AT_FDCWD, photo.c_str(), times, 0), 0);
  ASSERT_TRUE(LoadPhotoThumbnail(photo, &thumb, &error, cache)) << error;
  EXPECT_EQ(thumb.width, 128);
  EXPECT_EQ(thumb.height, kThumbnailSide);

  // A photo smaller than a thumbnail keeps its size; a cache folder that
  // cannot be made costs only the storing.
  const std::string small = testing::WritePhoto(dir.File("small.bmp"), 40, 30);
  ASSERT_TRUE(LoadPhotoThumbnail(small, &thumb, &error, "/proc/no/such/folder")) << error;
  EXPECT_EQ(thumb.width, 40);
  EXPECT_EQ(thumb.height, 30);
  EXPECT_FALSE(LoadPhotoThumbnail(dir.File("missing.jpg"), &thumb, &error, cache));
}

}  // namespace
}  // namespace vistamet
