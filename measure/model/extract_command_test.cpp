#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <deque>
#include <functional>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "measure/compute/work_progress.h"
#include "measure/model/project_file.h"
#include "measure/model/sample_project.h"
#include "measure/records/test_support.h"
#include "measure/model/vistamet_doc.h"

namespace vistamet {
namespace {

using testing::ScriptedPrompt;
using testing::TempDir;

// The sample project at half size, written once for all tests here.
class SampleFolder : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new TempDir;
    options_.width = 1500;
    options_.height = 1000;
    std::string error;
    ASSERT_TRUE(WriteSampleProject(dir_->path(), options_, &error)) << error;
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }
  static CVistametDoc Open(const char* name) {
    CVistametDoc doc;
    const LoadResult r = LoadProjectFile(dir_->File(name), &doc);
    EXPECT_TRUE(r.ok()) << r.message;
    return doc;
  }
  static TempDir* dir_;
  static SampleOptions options_;
};
TempDir* SampleFolder::dir_ = nullptr;
SampleOptions SampleFolder::options_;

// Tasks posted to "the owner's thread", run when the test says so.
struct OwnerQueue {
  std::deque<std::function<void()>> tasks;
  CVistametDoc::PostToOwner Poster() {
    return [this](std::function<void()> task) {
      std::lock_guard<std::mutex> lock(mutex);
      tasks.push_back(std::move(task));
      posted.notify_all();
    };
  }
  void WaitForTask() {
    std::unique_lock<std::mutex> lock(mutex);
    posted.wait(lock, [this] { return !tasks.empty(); });
  }
  int RunAll() {
    std::deque<std::function<void()>> run;
    {
      std::lock_guard<std::mutex> lock(mutex);
      run.swap(tasks);
    }
    for (auto& t : run) t();
    return static_cast<int>(run.size());
  }
  std::mutex mutex;
  std::condition_variable posted;
};

TEST_F(SampleFolder, ExtractionFindsEveryTargetNearItsApex) {
  CVistametDoc doc = Open("sample_photos.vmt");
  ASSERT_EQ(doc.targetsExtracted, 0);
  ASSERT_EQ(doc.ExtractNow(ExtractionKind::kAllPhotos), 1);
  EXPECT_EQ(doc.targetsExtracted, 1);
  EXPECT_EQ(doc.extractionRunning, 0);
  EXPECT_TRUE(doc.IsModified());
  const SampleScene scene = MakeSampleScene(options_);
  int found = 0, total = 0, extra = 0;
  double worst = 0, sum = 0;
  for (int p = 0; p < doc.PhotoCount(); ++p) {
    int on_photo = 0;
    for (const ImagePoint& q : doc.imagePoints) on_photo += q.photoIndex == p;
    for (const ImagePoint& t : scene.observations[p]) {
      ++total;
      double best = 1e9;
      for (const ImagePoint& q : doc.imagePoints)
        if (q.photoIndex == p) best = std::min(best, std::hypot(q.x - t.x, q.y - t.y));
      if (best <= 1.5) {
        ++found;
        sum += best;
        worst = std::max(worst, best);
      }
    }
    extra += on_photo - static_cast<int>(scene.observations[p].size());
    for (const ImagePoint& q : doc.imagePoints) {
      EXPECT_EQ(q.pointNumber, -1);
      EXPECT_EQ(q.matchState, 1);
    }
  }
  EXPECT_EQ(found, total);
  EXPECT_LE(worst, 1.5);
  EXPECT_LE(extra, 4 * doc.PhotoCount());
  RecordProperty("hit_rate", std::to_string(found) + "/" + std::to_string(total));
  RecordProperty("mean_offset_px", std::to_string(found ? sum / found : 0));
  RecordProperty("largest_error_px", std::to_string(worst));
}

// Distances of the extracted points from the exact target positions: the
// RMS over the targets found within 1.5 px, and the points not near any.
struct Offsets {
  int found = 0, extra = 0;
  double rms = 0;
};

Offsets OffsetsFromTruth(const CVistametDoc& doc, const SampleScene& scene) {
  Offsets o;
  double sq = 0;
  for (const ImagePoint& q : doc.imagePoints) {
    double best = 1e9;
    for (const ImagePoint& t : scene.observations[q.photoIndex])
      best = std::min(best, std::hypot(q.x - t.x, q.y - t.y));
    if (best <= 1.5) {
      ++o.found;
      sq += best * best;
    } else {
      ++o.extra;
    }
  }
  if (o.found > 0) o.rms = std::sqrt(sq / o.found);
  return o;
}

// The document's target options reach the extraction: refined points sit
// on the exact positions, the finder alone leaves them near the apex cell.
TEST_F(SampleFolder, TargetOptionsOfTheDocumentReachTheExtraction) {
  const SampleScene scene = MakeSampleScene(options_);
  size_t total = 0;
  for (const auto& on_photo : scene.observations) total += on_photo.size();
  CVistametDoc refined = Open("sample_photos.vmt");
  ASSERT_EQ(refined.ExtractNow(ExtractionKind::kAllPhotos), 1);
  const Offsets r = OffsetsFromTruth(refined, scene);
  EXPECT_EQ(static_cast<size_t>(r.found), total);
  EXPECT_LE(r.extra, refined.PhotoCount());
  EXPECT_LT(r.rms, 0.05);

  CVistametDoc plain = Open("sample_photos.vmt");
  plain.targetOptions = TargetOptions{0, 0, 0};
  ASSERT_EQ(plain.ExtractNow(ExtractionKind::kAllPhotos), 1);
  const Offsets p = OffsetsFromTruth(plain, scene);
  EXPECT_GT(p.rms, 0.3);
  for (const ImagePoint& q : plain.imagePoints) EXPECT_EQ(q.weightX, 1.0);

  CVistametDoc weighted = Open("sample_photos.vmt");
  weighted.targetOptions.weightsFromFit = 1;
  ASSERT_EQ(weighted.ExtractNow(ExtractionKind::kAllPhotos), 1);
  ASSERT_EQ(weighted.imagePoints.size(), refined.imagePoints.size());
  int differing = 0;
  for (const ImagePoint& q : weighted.imagePoints) differing += q.weightX != 1.0 || q.weightY != 1.0;
  EXPECT_GT(differing, 0);
}

// With matching on, the adjustment re-measures the targets: the sample's
// exact positions move by no more than 0.02 px.
TEST_F(SampleFolder, MatchingLeavesExactTargetPositions) {
  CVistametDoc doc = Open("sample.vmt");
  const std::vector<ImagePoint> before = doc.imagePoints;
  EXPECT_EQ(doc.options.bLmsFeature, 1);  // the sample ships with matching on
  ASSERT_EQ(doc.BundleAdjust(AdjustmentReports()), 1);
  ASSERT_EQ(doc.imagePoints.size(), before.size());
  double worst = 0;
  int matched = 0;
  for (size_t i = 0; i < before.size(); ++i) {
    worst = std::max(worst, std::hypot(doc.imagePoints[i].x - before[i].x,
                                       doc.imagePoints[i].y - before[i].y));
    matched += doc.imagePoints[i].matchState == 2;
  }
  EXPECT_LE(worst, 0.02);
  EXPECT_EQ(static_cast<size_t>(matched), before.size());
}

TEST_F(SampleFolder, WorkerResultIsSwappedInOnTheOwnersThread) {
  CVistametDoc reference = Open("sample_photos.vmt");
  ASSERT_EQ(reference.ExtractNow(ExtractionKind::kAllPhotos), 1);

  CVistametDoc doc = Open("sample_photos.vmt");
  testing::CountingNotifier notifier;
  doc.SetNotifier(&notifier);
  OwnerQueue owner;
  ASSERT_EQ(doc.ExtractAfterOpen(owner.Poster()), 1);
  EXPECT_EQ(doc.extractionRunning, 1);
  EXPECT_EQ(doc.StartExtraction(ExtractionKind::kAllPhotos, owner.Poster()), 0);  // one at a time
  EXPECT_EQ(doc.AddPhoto(dir_->File("photo1.bmp") + "x"), 0);  // photos are fixed meanwhile
  EXPECT_EQ(doc.DeletePhoto(0), 0);
  // Nothing lands before the owner runs the posted task.
  owner.WaitForTask();
  EXPECT_TRUE(doc.imagePoints.empty());
  EXPECT_EQ(owner.RunAll(), 1);
  EXPECT_EQ(doc.extractionRunning, 0);
  EXPECT_EQ(doc.targetsExtracted, 1);
  EXPECT_EQ(doc.imagePoints, reference.imagePoints);
  EXPECT_EQ(notifier.codes, std::vector<ViewUpdate>{ViewUpdate::kAll});
}

TEST_F(SampleFolder, ClosingDuringAnExtractionStopsItAndDropsTheResult) {
  OwnerQueue owner;
  {
    CVistametDoc doc = Open("sample_photos.vmt");
    ASSERT_EQ(doc.StartExtraction(ExtractionKind::kAllPhotos, owner.Poster()), 1);
  }  // destroyed while the worker runs
  owner.RunAll();  // a result posted before the end is dropped
  {
    // Quitting after the result was posted but before the owner ran it.
    CVistametDoc doc = Open("sample_photos.vmt");
    ASSERT_EQ(doc.StartExtraction(ExtractionKind::kAllPhotos, owner.Poster()), 1);
    owner.WaitForTask();
  }
  EXPECT_EQ(owner.RunAll(), 1);  // runs, and touches nothing of the gone document
  CVistametDoc doc = Open("sample_photos.vmt");
  ASSERT_EQ(doc.StartExtraction(ExtractionKind::kAllPhotos, owner.Poster()), 1);
  doc.StopWork();
  EXPECT_EQ(doc.extractionRunning, 0);
  owner.RunAll();
  EXPECT_TRUE(doc.imagePoints.empty());
}

// Every space point's number and coordinates, to compare two projects.
std::vector<std::array<double, 4>> Coordinates(const CVistametDoc& doc) {
  std::vector<std::array<double, 4>> out;
  for (const SpacePoint& s : doc.spacePoints) out.push_back({double(s.pointNumber), s.X, s.Y, s.Z});
  return out;
}

TEST_F(SampleFolder, AdjustmentOnTheWorkerLandsAsTheSameResultOnTheOwnersThread) {
  CVistametDoc reference = Open("sample.vmt");
  ASSERT_EQ(reference.BundleAdjust(AdjustmentReports()), 1);

  CVistametDoc doc = Open("sample.vmt");
  const auto before = Coordinates(doc);
  testing::CountingNotifier notifier;
  doc.SetNotifier(&notifier);
  ScriptedPrompt prompt;
  doc.SetPrompt(&prompt);
  OwnerQueue owner;
  auto progress = std::make_shared<WorkProgress>();
  int finished = -1;
  ASSERT_EQ(doc.StartAdjustment(AdjustmentReports(), owner.Poster(), progress,
                                [&](int ok) { finished = ok; }),
            1);
  // The project is locked: no second run, no extraction, no photo change.
  EXPECT_TRUE(doc.WorkRunning());
  EXPECT_EQ(doc.StartAdjustment(AdjustmentReports(), owner.Poster(), progress), 0);
  EXPECT_EQ(doc.StartExtraction(ExtractionKind::kAllPhotos, owner.Poster()), 0);
  EXPECT_EQ(doc.ExtractTargetsCommand(owner.Poster()), 0);
  EXPECT_EQ(doc.DeletePhoto(0), 0);
  // Nothing lands before the owner runs the posted task.
  owner.WaitForTask();
  EXPECT_EQ(doc.adjusted, 0);
  EXPECT_EQ(Coordinates(doc), before);
  EXPECT_TRUE(notifier.codes.empty());
  EXPECT_EQ(owner.RunAll(), 1);
  EXPECT_FALSE(doc.WorkRunning());
  EXPECT_EQ(finished, 1);
  EXPECT_EQ(doc.adjusted, 1);
  EXPECT_EQ(Coordinates(doc), Coordinates(reference));
  EXPECT_EQ(doc.photoParams, reference.photoParams);
  EXPECT_EQ(doc.adjustedPoints, reference.adjustedPoints);
  EXPECT_EQ(doc.lastAdjustment.status, reference.lastAdjustment.status);
  EXPECT_EQ(doc.lastAdjustment.precision.points.size(),
            reference.lastAdjustment.precision.points.size());
  EXPECT_TRUE(doc.IsModified());
  EXPECT_EQ(notifier.codes, std::vector<ViewUpdate>{ViewUpdate::kAll});
  EXPECT_TRUE(prompt.messages.empty());
  EXPECT_GT(progress->Latest().reports, 0);
  // The next work may start at once.
  EXPECT_EQ(doc.StartAdjustment(AdjustmentReports(), owner.Poster(), progress), 1);
  doc.StopWork();
}

TEST_F(SampleFolder, StoppedAdjustmentLeavesTheProjectAsItWas) {
  // The user's stop (through the progress) ends the run; it is reported.
  CVistametDoc doc = Open("sample.vmt");
  doc.options.bCleanPoints = 1;  // the copy sweeps points, the project not
  const auto before = Coordinates(doc);
  const auto image_points = doc.imagePoints;
  OwnerQueue owner;
  auto progress = std::make_shared<WorkProgress>();
  progress->RequestStop();
  int finished = -1;
  ASSERT_EQ(doc.StartAdjustment(AdjustmentReports(), owner.Poster(), progress,
                                [&](int ok) { finished = ok; }),
            1);
  owner.WaitForTask();
  owner.RunAll();
  EXPECT_EQ(finished, 0);
  EXPECT_EQ(doc.lastAdjustment.status, AdjustStatus::kCancelled);
  EXPECT_EQ(doc.adjusted, 0);
  EXPECT_EQ(Coordinates(doc), before);
  EXPECT_EQ(doc.imagePoints, image_points);
  EXPECT_FALSE(doc.IsModified());

  // The owner's stop (closing the project) drops the run without a word.
  finished = -1;
  ASSERT_EQ(doc.StartAdjustment(AdjustmentReports(), owner.Poster(),
                                std::make_shared<WorkProgress>(), [&](int ok) { finished = ok; }),
            1);
  doc.StopWork();
  EXPECT_FALSE(doc.WorkRunning());
  owner.RunAll();
  EXPECT_EQ(finished, -1);
  EXPECT_EQ(doc.adjusted, 0);
  EXPECT_EQ(Coordinates(doc), before);
  {
    // A project that goes away during the run, or after its result was
    // posted, is never touched.
    CVistametDoc gone = Open("sample.vmt");
    ASSERT_EQ(gone.StartAdjustment(AdjustmentReports(), owner.Poster(),
                                   std::make_shared<WorkProgress>()),
              1);
    owner.WaitForTask();
  }
  EXPECT_EQ(owner.RunAll(), 1);
}

TEST_F(SampleFolder, AdjustmentMessagesAreShownOnTheOwnersThread) {
  CVistametDoc doc = Open("sample.vmt");
  for (SpacePoint& s : doc.spacePoints) s.controlFlag = 0;  // no photo can be resected
  ScriptedPrompt prompt;
  doc.SetPrompt(&prompt);
  OwnerQueue owner;
  // A report folder that does not exist: the failure is reported too.
  const AdjustmentReports reports(dir_->File("no/such/folder"));
  int finished = -1;
  ASSERT_EQ(doc.StartAdjustment(reports, owner.Poster(), std::make_shared<WorkProgress>(),
                                [&](int ok) { finished = ok; }),
            1);
  owner.WaitForTask();
  EXPECT_TRUE(prompt.messages.empty());  // the worker never speaks itself
  owner.RunAll();
  EXPECT_EQ(finished, 0);
  ASSERT_FALSE(prompt.messages.empty());
  EXPECT_EQ(prompt.messages[0], "第 1 张照片的控制点不足！");
  EXPECT_EQ(doc.adjusted, 0);

  // With control points back, a run whose reports cannot be written says so.
  CVistametDoc good = Open("sample.vmt");
  good.SetPrompt(&prompt);
  prompt.messages.clear();
  ASSERT_EQ(good.StartAdjustment(reports, owner.Poster(), std::make_shared<WorkProgress>()), 1);
  owner.WaitForTask();
  owner.RunAll();
  EXPECT_EQ(good.adjusted, 1);
  ASSERT_FALSE(prompt.messages.empty());
  EXPECT_EQ(prompt.messages[0].rfind("平差报告未能写入：", 0), 0u) << prompt.messages[0];
}

TEST_F(SampleFolder, ReextractionAsksBeforeWipingData) {
  CVistametDoc doc = Open("sample.vmt");
  ScriptedPrompt prompt;
  doc.SetPrompt(&prompt);
  OwnerQueue owner;
  const auto before = doc.imagePoints;
  // A measured project: the menu command asks; No keeps everything.
  prompt.answers.push_back(false);
  EXPECT_EQ(doc.ExtractTargetsCommand(owner.Poster()), 0);
  ASSERT_EQ(prompt.questions.size(), 1u);
  EXPECT_EQ(prompt.questions[0], "您要求重新提取三角点，这将删除所有现有数据。您确定要这么做吗？");
  EXPECT_EQ(doc.imagePoints, before);
  // After opening, a project with points but targetsExtracted 0 asks too.
  doc.targetsExtracted = 0;
  prompt.answers.push_back(false);
  EXPECT_EQ(doc.ExtractAfterOpen(owner.Poster()), 0);
  EXPECT_EQ(prompt.questions.size(), 2u);
  EXPECT_FALSE(doc.spacePoints.empty());
  // Yes: every image point, space point and distance is replaced.
  doc.targetsExtracted = 1;
  prompt.answers.push_back(true);
  ASSERT_EQ(doc.ExtractTargetsCommand(owner.Poster()), 1);
  owner.WaitForTask();
  owner.RunAll();
  EXPECT_TRUE(doc.spacePoints.empty());
  EXPECT_TRUE(doc.distancePairs.empty());
  for (const ImagePoint& p : doc.imagePoints) EXPECT_EQ(p.pointNumber, -1);
  EXPECT_FALSE(doc.imagePoints.empty());
}

TEST_F(SampleFolder, AddedPhotoIsExtractedAlone) {
  CVistametDoc doc = Open("sample.vmt");
  const size_t measured = doc.imagePoints.size();
  const std::string last = doc.photoPaths.back();
  // Re-open the project without its last photo, then add it back.
  ASSERT_EQ(doc.DeletePhoto(doc.PhotoCount() - 1), 1);
  const size_t kept = doc.imagePoints.size();
  ASSERT_LT(kept, measured);
  ASSERT_EQ(doc.AddPhoto(last), 1);
  ASSERT_EQ(doc.ExtractNow(ExtractionKind::kAddedPhoto), 1);
  EXPECT_GT(doc.imagePoints.size(), kept);
  for (size_t i = kept; i < doc.imagePoints.size(); ++i)
    EXPECT_EQ(doc.imagePoints[i].photoIndex, doc.PhotoCount() - 1);
  EXPECT_FALSE(doc.spacePoints.empty());  // the rest is kept
}

}  // namespace
}  // namespace vistamet
