#include "measure/shell/options_values.h"

#include <gtest/gtest.h>

#include "measure/model/photo_cache.h"
#include "measure/model/project_file.h"
#include "measure/records/test_support.h"

namespace vistamet {
namespace {

CVistametDoc ThreePhotoDoc() {
  CVistametDoc doc;
  doc.photoPaths = {"a.bmp", "b.bmp", "c.bmp"};
  doc.photoImages.resize(3);
  doc.photoParams.resize(3);
  doc.adjusted = 1;
  return doc;
}

TEST(ApplyOptions, WeightsThatAreNotPositiveBecomeTiny) {
  for (double w : {0.0, -3.0}) {
    CVistametDoc doc = ThreePhotoDoc();
    OptionsValues v = ReadOptions(doc);
    v.adjust.dWeightX = w;
    v.adjust.dWeightY = w;
    ApplyOptions(v, doc);
    EXPECT_EQ(doc.options.dWeightX, 0.000001) << w;
    EXPECT_EQ(doc.options.dWeightY, 0.000001) << w;
  }
}

TEST(ApplyOptions, CameraGoesToEveryPhotoAndAChangeInvalidatesTheAdjustment) {
  CVistametDoc doc = ThreePhotoDoc();
  doc.photoParams[2].f1 = 9.1;  // a calibrated value the sheet does not show
  OptionsValues v = ReadOptions(doc);
  v.camera.f = 8.0;
  v.camera.pixelSize = 0.007;
  v.cameraChanged = true;
  ApplyOptions(v, doc);
  for (const PhotoParams& p : doc.photoParams) {
    EXPECT_EQ(p.f, 8.0);
    EXPECT_EQ(p.pixelSize, 0.007);
    // The principal distances the computations use follow a changed f.
    EXPECT_EQ(p.f1, 8.0);
    EXPECT_EQ(p.f2, 8.0);
  }
  EXPECT_EQ(doc.adjusted, 0);
  EXPECT_TRUE(doc.IsModified());
}

TEST(ApplyOptions, UnchangedCameraKeepsAdjustmentAndPrincipalDistances) {
  CVistametDoc doc = ThreePhotoDoc();
  doc.photoParams[0].f1 = 7.7;
  ApplyOptions(ReadOptions(doc), doc);
  EXPECT_EQ(doc.adjusted, 1);
  EXPECT_EQ(doc.photoParams[0].f1, 7.7);
  EXPECT_TRUE(doc.IsModified());  // OK always marks the project modified
}

TEST(ApplyOptions, ProjectWithoutPhotosShowsZeroCamera) {
  CVistametDoc doc;
  const OptionsValues v = ReadOptions(doc);
  EXPECT_EQ(v.camera.f, 0);
  EXPECT_EQ(v.camera.pixelSize, 0);
}

TEST(ApplyOptions, PhotoCacheBoundIsClampedToItsRange) {
  CVistametDoc doc;
  const int64_t saved = PhotoCache::Shared().Budget();
  OptionsValues v = ReadOptions(doc);
  EXPECT_EQ(int64_t{v.photoCacheMb} << 20, saved);
  v.photoCacheMb = 300;
  ApplyOptions(v, doc);
  EXPECT_EQ(PhotoCache::Shared().Budget(), int64_t{300} << 20);
  EXPECT_EQ(ReadOptions(doc).photoCacheMb, 300);
  v.photoCacheMb = 0;  // would decode every photo at every use
  ApplyOptions(v, doc);
  EXPECT_EQ(PhotoCache::Shared().Budget(), int64_t{kMinPhotoCacheMb} << 20);
  v.photoCacheMb = -5;
  ApplyOptions(v, doc);
  EXPECT_EQ(PhotoCache::Shared().Budget(), int64_t{kMinPhotoCacheMb} << 20);
  PhotoCache::Shared().SetBudget(saved);
}

// The target options reach the document but not its file: a project
// saved with them off opens with the user's settings.
TEST(ApplyOptions, TargetOptionsStayOutOfTheProjectFile) {
  CVistametDoc doc = ThreePhotoDoc();
  OptionsValues v = ReadOptions(doc);
  EXPECT_EQ(v.targets.refine, 1);
  EXPECT_EQ(v.targets.rejectFalse, 1);
  EXPECT_EQ(v.targets.weightsFromFit, 0);
  v.targets = TargetOptions{0, 0, 1};
  ApplyOptions(v, doc);
  EXPECT_EQ(doc.targetOptions.refine, 0);
  EXPECT_EQ(doc.targetOptions.rejectFalse, 0);
  EXPECT_EQ(doc.targetOptions.weightsFromFit, 1);
  EXPECT_EQ(ReadOptions(doc).targets.weightsFromFit, 1);

  testing::TempDir dir;
  CVistametDoc plain;
  plain.targetOptions = doc.targetOptions;
  std::string message;
  ASSERT_TRUE(SaveProjectFile(plain, dir.File("p.vmt"), &message)) << message;
  UserSettings settings;
  settings.targets.rejectFalse = 1;
  CVistametDoc opened(settings);
  ASSERT_TRUE(LoadProjectFile(dir.File("p.vmt"), &opened).ok());
  EXPECT_EQ(opened.targetOptions.refine, 1);
  EXPECT_EQ(opened.targetOptions.rejectFalse, 1);
  EXPECT_EQ(opened.targetOptions.weightsFromFit, 0);
}

TEST(PixelSizePreset, OnlyAChangeSetsTheCameraFlag) {
  OptionsValues v;
  v.camera.pixelSize = 0.007;
  EXPECT_FALSE(SetPixelSizePreset(v, kPixelSizeD7));
  EXPECT_FALSE(v.cameraChanged);
  EXPECT_TRUE(SetPixelSizePreset(v, kPixelSizeD75));
  EXPECT_EQ(v.camera.pixelSize, 0.0035);
  EXPECT_TRUE(v.cameraChanged);
}

}  // namespace
}  // namespace vistamet
