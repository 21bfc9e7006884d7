#include "measure/shell/project_snapshot.h"

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "measure/model/project_file.h"
#include "measure/model/test_photos.h"
#include "measure/records/test_support.h"
#include "measure/shell/app_texts.h"

namespace vistamet {
namespace {

using testing::ScriptedPrompt;
using testing::TempDir;
using testing::WritePhoto;

ImagePoint Pt(int photo, int32_t number, double x, double y) {
  ImagePoint p;
  p.photoIndex = photo;
  p.pointNumber = number;
  p.x = x;
  p.y = y;
  return p;
}

// Three photos with numbered points, two control points, a distance and a
// map feature.
class SnapshotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < 3; ++i)
      paths_.push_back(WritePhoto(dir_.File("p" + std::to_string(i) + ".bmp"), 8 + i, 6, i));
    ASSERT_EQ(doc_.InitNewProject(paths_), 1);
    doc_.SetPrompt(&prompt_);
    for (int photo = 0; photo < 3; ++photo)
      for (int32_t n = 1; n <= 3; ++n) doc_.imagePoints.push_back(Pt(photo, n, n, photo + 1));
    doc_.imagePoints.push_back(Pt(1, kNoNumber, 5, 5));
    for (int32_t n = 1; n <= 3; ++n) {
      SpacePoint s;
      s.pointNumber = n;
      s.controlFlag = n < 3 ? 1 : 0;
      s.X = 10.0 * n;
      doc_.spacePoints.push_back(s);
    }
    doc_.distancePairs = {1, 2};
    MapFeature f;
    f.pointNumber = 3;
    doc_.mapFeatures.push_back(f);
    extra_photo_ = WritePhoto(dir_.File("extra.bmp"), 7, 5, 9);
  }

  TempDir dir_;
  std::vector<std::string> paths_;
  std::string extra_photo_;
  CVistametDoc doc_;
  ScriptedPrompt prompt_;
};

// Every kind of change the program makes: undone it gives back the project
// file byte for byte, redone the changed one, and it is named for the menu.
TEST_F(SnapshotTest, EachKindOfChangeIsUndoneAndRedoneByteForByte) {
  struct Step {
    const char* name;
    std::function<void(CVistametDoc&)> change;
  };
  const Step steps[] = {
      {ui::kStepAddPoint, [](CVistametDoc& d) { d.AddImagePoint(3, 4); }},
      {ui::kStepDeletePoint, [](CVistametDoc& d) { d.DeleteImagePoint(9); }},
      {ui::kStepClearNumber, [](CVistametDoc& d) { d.ClearImagePointNumber(0); }},
      {ui::kStepClearNumber, [](CVistametDoc& d) { d.ClearCurrentPhotoNumbers(); }},
      {ui::kStepNumber, [this](CVistametDoc& d) {
         prompt_.TypeNumber(7);
         d.currentPhoto = 1;
         d.NumberImagePoint(9);
       }},
      {ui::kStepDeleteSpacePoint, [](CVistametDoc& d) { d.DeleteSpacePoint(3, true); }},
      {ui::kStepSpacePoints, [](CVistametDoc& d) { d.RenameSpacePoint(3, 30); }},
      {ui::kStepShiftOrigin, [](CVistametDoc& d) {
         for (SpacePoint& s : d.spacePoints) s.X += 100;
       }},
      {ui::kStepAddDistance, [](CVistametDoc& d) { d.distancePairs.insert(d.distancePairs.end(), {2, 3}); }},
      {ui::kStepDeleteDistance, [](CVistametDoc& d) { d.RemoveDistance(0); }},
      {ui::kStepFeatures, [](CVistametDoc& d) { d.mapFeatures[0].rotation = 1.5f; }},
      {ui::kStepPlanePoint, [](CVistametDoc& d) {
         d.planePoint = 2;
         d.planeSet = 1;
       }},
      {ui::kStepOptions, [](CVistametDoc& d) {
         AdjustmentOptions o = d.options;
         o.nMaxIter = 7;
         d.SetOptions(o);
       }},
      {ui::kStepAdjust, [](CVistametDoc& d) {
         d.photoParams[1].f = 35;
         d.adjustedPoints.push_back(Pt(0, 1, 1.5, 1.5));
         d.adjusted = 1;
       }},
      {ui::kStepExtract, [](CVistametDoc& d) {
         d.imagePoints.push_back(Pt(2, kNoNumber, 4, 4));
         d.targetsExtracted = 1;
       }},
      {ui::kStepAddPhoto, [this](CVistametDoc& d) { d.AddPhoto(extra_photo_); }},
      {ui::kStepDeletePhoto, [](CVistametDoc& d) {
         d.currentPhoto = 2;
         d.DeletePhoto(1);
       }},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    CVistametDoc doc = doc_;
    doc.SetPrompt(&prompt_);
    const std::string file_before = WriteProjectBytes(doc);
    const ProjectSnapshot before(doc);
    step.change(doc);
    const std::string file_after = WriteProjectBytes(doc);
    const ProjectSnapshot after(doc);
    ASSERT_NE(file_before, file_after);
    EXPECT_STREQ(StepName(before, after), step.name);

    PhotoShelf shelf;
    std::string error;
    ASSERT_TRUE(before.RestoreInto(doc, shelf, &error)) << error;
    EXPECT_EQ(WriteProjectBytes(doc), file_before);
    ASSERT_EQ(doc.photoImages.size(), doc.photoPaths.size());
    ASSERT_TRUE(after.RestoreInto(doc, shelf, &error)) << error;
    EXPECT_EQ(WriteProjectBytes(doc), file_after);
    ASSERT_EQ(doc.photoImages.size(), doc.photoPaths.size());
    EXPECT_LE(shelf.size(), 1u);
  }
}

// Each photo comes back with its own pixels, wherever it moved in the list.
void ExpectPhotosMatchTheirFiles(const CVistametDoc& doc, const std::vector<std::string>& paths,
                                 const std::vector<int>& widths) {
  ASSERT_EQ(doc.photoPaths, paths);
  ASSERT_EQ(doc.photoImages.size(), paths.size());
  for (size_t i = 0; i < paths.size(); ++i) EXPECT_EQ(doc.photoImages[i].width, widths[i]) << i;
}

TEST_F(SnapshotTest, PhotosFollowTheirPathsWithoutReadingWhatIsAtHand) {
  const ProjectSnapshot three(doc_);
  ASSERT_EQ(doc_.DeletePhoto(0), 1);
  const ProjectSnapshot two(doc_);
  PhotoShelf shelf;
  std::string error;

  // The deleted photo is read again from its file.
  ASSERT_TRUE(three.RestoreInto(doc_, shelf, &error)) << error;
  ExpectPhotosMatchTheirFiles(doc_, paths_, {8, 9, 10});
  EXPECT_TRUE(shelf.empty());

  // Redo puts it on the shelf; with its file gone, undo takes it from there.
  ASSERT_TRUE(two.RestoreInto(doc_, shelf, &error)) << error;
  ExpectPhotosMatchTheirFiles(doc_, {paths_[1], paths_[2]}, {9, 10});
  ASSERT_EQ(shelf.count(paths_[0]), 1u);
  std::remove(paths_[0].c_str());
  ASSERT_TRUE(three.RestoreInto(doc_, shelf, &error)) << error;
  ExpectPhotosMatchTheirFiles(doc_, paths_, {8, 9, 10});

  // Without the file and off the shelf the step cannot be taken, and nothing
  // changes.
  ASSERT_TRUE(two.RestoreInto(doc_, shelf, &error));
  shelf.clear();
  const std::string file = WriteProjectBytes(doc_);
  EXPECT_FALSE(three.RestoreInto(doc_, shelf, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(WriteProjectBytes(doc_), file);
  ExpectPhotosMatchTheirFiles(doc_, {paths_[1], paths_[2]}, {9, 10});
}

TEST_F(SnapshotTest, WindowsStateIsNeitherComparedNorRestored) {
  const ProjectSnapshot before(doc_);
  doc_.listWindowOn = 1;
  doc_.viewMode = 3;
  doc_.listMode = 2;
  doc_.highlightList = {0};
  EXPECT_EQ(ProjectSnapshot(doc_), before);
  EXPECT_STREQ(StepName(before, ProjectSnapshot(doc_)), ui::kStepOther);

  doc_.imagePoints.clear();
  PhotoShelf shelf;
  ASSERT_TRUE(before.RestoreInto(doc_, shelf, nullptr));
  EXPECT_EQ(doc_.imagePoints.size(), 10u);
  EXPECT_EQ(doc_.listWindowOn, 1);
  EXPECT_EQ(doc_.viewMode, 3);
  EXPECT_EQ(doc_.listMode, 2);
  EXPECT_TRUE(doc_.highlightList.empty());  // indices into the old distances
}

}  // namespace
}  // namespace vistamet
