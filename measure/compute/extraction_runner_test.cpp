#include "measure/compute/extraction_runner.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

#include "measure/compute/target_images_test_support.h"

namespace vistamet {
namespace {

using testing::Canvas;

std::vector<ImageHolder> Photos(int count, int w, int h) {
  std::vector<ImageHolder> photos;
  for (int i = 0; i < count; ++i) {
    Canvas img(w, h);
    testing::FillTexture(&img, 150, w > 1000 ? 0 : 30, 3, 20 + i);
    for (int t = 0; t < 12; ++t) testing::DrawTriangle(&img, 30 + t * 22, 40 + i, 14, 9, 30);
    ImageHolder holder;
    holder.width = w;
    holder.height = h;
    holder.grey = std::move(img.grey);
    photos.push_back(std::move(holder));
  }
  return photos;
}

// The owner's side: results arrive from the worker and wait in a queue
// until the owner's thread takes them, as a GUI posts them to its event
// loop.
class Mailbox {
 public:
  void Post(ExtractionResult r) {
    std::lock_guard<std::mutex> lock(mutex_);
    results_.push_back(std::move(r));
    ready_.notify_all();
  }
  ExtractionResult Take() {
    std::unique_lock<std::mutex> lock(mutex_);
    ready_.wait(lock, [&] { return !results_.empty(); });
    ExtractionResult r = std::move(results_.front());
    results_.pop_front();
    return r;
  }
  size_t Count() {
    std::lock_guard<std::mutex> lock(mutex_);
    return results_.size();
  }

 private:
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<ExtractionResult> results_;
};

// A project that owns its lists and its runner, in the order a document
// holds them: the runner is destroyed (stopped and joined) first.
struct Project {
  std::vector<ImageHolder> photos;
  std::vector<ImagePoint> imagePoints;
  std::vector<SpacePoint> spacePoints;
  DistancePairs distancePairs;
  int32_t targetsExtracted = 0;
  int32_t adjusted = 0;
  int32_t extractionRunning = 0;
  std::shared_ptr<Mailbox> mailbox = std::make_shared<Mailbox>();
  ExtractionRunner runner;

  bool StartExtraction(ExtractionKind kind) {
    if (extractionRunning) return false;
    std::shared_ptr<Mailbox> box = mailbox;
    if (!runner.Start(MakeExtractionRequest(kind, photos),
                      [box](ExtractionResult r) { box->Post(std::move(r)); })) {
      return false;
    }
    extractionRunning = 1;
    return true;
  }
  // What the owner's thread does when the result arrives.
  int Finish() {
    ExtractionResult r = mailbox->Take();
    extractionRunning = 0;
    return ApplyExtraction(std::move(r), static_cast<int32_t>(photos.size()), imagePoints,
                           spacePoints, distancePairs, targetsExtracted, adjusted);
  }
};

TEST(ExtractionRunner, ResultArrivesOnceAndIsAppliedByTheOwner) {
  Project p;
  p.photos = Photos(3, 320, 200);
  p.spacePoints.resize(2);
  p.distancePairs = {1, 2};
  p.adjusted = 1;
  ASSERT_TRUE(p.StartExtraction(ExtractionKind::kAllPhotos));
  EXPECT_FALSE(p.StartExtraction(ExtractionKind::kAllPhotos));  // one at a time
  ASSERT_EQ(p.Finish(), 1);
  p.runner.Wait();
  EXPECT_FALSE(p.runner.Running());
  EXPECT_EQ(p.mailbox->Count(), 0u);
  EXPECT_GE(p.imagePoints.size(), 36u);
  EXPECT_TRUE(p.spacePoints.empty());
  EXPECT_TRUE(p.distancePairs.empty());
  EXPECT_EQ(p.targetsExtracted, 1);
  EXPECT_EQ(p.adjusted, 0);

  // An added photo afterwards: its points are appended.
  const size_t before = p.imagePoints.size();
  p.photos.push_back(Photos(1, 320, 200)[0]);
  ASSERT_TRUE(p.StartExtraction(ExtractionKind::kAddedPhoto));
  ASSERT_EQ(p.Finish(), 1);
  EXPECT_GT(p.imagePoints.size(), before);
  EXPECT_EQ(p.imagePoints.back().photoIndex, 3);
}

TEST(ExtractionRunner, StopEndsTheJobWithoutCallingBack) {
  // Large enough that the job is far from done when Stop comes.
  const std::vector<ImageHolder> photos = Photos(6, 2000, 1500);
  auto box = std::make_shared<Mailbox>();
  ExtractionRunner runner;
  ExtractionRequest request = MakeExtractionRequest(ExtractionKind::kAllPhotos, photos);
  request.threads = 1;
  ASSERT_TRUE(runner.Start(std::move(request),
                           [box](ExtractionResult r) { box->Post(std::move(r)); }));
  EXPECT_TRUE(runner.Running());
  runner.Stop();
  EXPECT_FALSE(runner.Running());
  EXPECT_EQ(box->Count(), 0u);
  runner.Stop();  // twice is harmless
  // The runner can start again after a stop.
  ASSERT_TRUE(runner.Start(MakeExtractionRequest(ExtractionKind::kAddedPhoto, photos),
                           [box](ExtractionResult r) { box->Post(std::move(r)); }));
  runner.Wait();
  ASSERT_EQ(box->Count(), 1u);
  EXPECT_EQ(box->Take().firstPhoto, 5);
}

TEST(ExtractionRunner, ClosingTheProjectInTheMiddleStopsAndJoins) {
  auto box = std::make_shared<Mailbox>();
  {
    auto p = std::make_unique<Project>();
    p->photos = Photos(6, 2000, 1500);
    p->mailbox = box;
    ASSERT_TRUE(p->StartExtraction(ExtractionKind::kAllPhotos));
    p.reset();  // the document goes away while its worker runs
  }
  EXPECT_EQ(box->Count(), 0u);
}

TEST(ExtractionRunner, CompletionCannotRestartOrJoinItsOwnThread) {
  ExtractionRunner runner;
  std::mutex m;
  bool restarted = true;
  ASSERT_TRUE(runner.Start(MakeExtractionRequest(ExtractionKind::kAllPhotos, Photos(1, 64, 48)),
                           [&](ExtractionResult) {
                             runner.Wait();  // returns at once on its own thread
                             const bool r = runner.Start(ExtractionRequest{}, nullptr);
                             std::lock_guard<std::mutex> lock(m);
                             restarted = r;
                           }));
  runner.Wait();
  std::lock_guard<std::mutex> lock(m);
  EXPECT_FALSE(restarted);
}

TEST(ExtractionRunner, ProjectWithoutPhotosEndsAtOnce) {
  Project p;
  ASSERT_TRUE(p.StartExtraction(ExtractionKind::kAllPhotos));
  EXPECT_EQ(p.Finish(), 0);  // nothing to apply
  EXPECT_EQ(p.extractionRunning, 0);
  EXPECT_EQ(p.targetsExtracted, 0);
}

}  // namespace
}  // namespace vistamet
