// The document's automatic target extraction: the worker computes into its
// own lists; the finished lists are swapped in on the document's thread.
#include <algorithm>
#include <thread>

#include "measure/compute/extraction_runner.h"
#include "measure/model/photo_cache.h"
#include "measure/records/texts.h"
#include "measure/model/vistamet_doc.h"

namespace vistamet {

namespace {

// A photo of an extraction job: its grey image copied when the document
// holds its pixels, else the path to decode it from when its turn comes.
struct JobPhoto {
  std::string path;
  int32_t width = 0, height = 0;
  ExtractionPhoto held;
};

// The job runs the photos a few at a time (as many as search at once), so
// that besides the photo cache only those photos' grey images are held.
ExtractionResult RunPhotoJob(ExtractionKind kind, int32_t count, int32_t first,
                             const std::vector<JobPhoto>& photos, const TargetOptions& targets,
                             const std::atomic<bool>* stop) {
  ExtractionResult all;
  all.kind = kind;
  all.photoCount = count;
  all.firstPhoto = first;
  all.completed = 1;
  const size_t batch = std::max(1u, std::thread::hardware_concurrency());
  for (size_t b = 0; b < photos.size(); b += batch) {
    ExtractionRequest r;
    r.kind = kind;
    r.photoCount = count;
    r.firstPhoto = first + static_cast<int32_t>(b);
    r.targets = targets;
    for (size_t k = b; k < std::min(photos.size(), b + batch); ++k) {
      const JobPhoto& p = photos[k];
      if (!p.held.grey.empty() || p.path.empty()) {
        r.photos.push_back(p.held);
        continue;
      }
      ExtractionPhoto e;
      // A photo that cannot be decoded (or changed size) gives no points.
      auto image = PhotoCache::Shared().Get(p.path, false);
      if (image && image->width == p.width && image->height == p.height) {
        e.width = image->width;
        e.height = image->height;
        e.grey = image->grey;
      }
      r.photos.push_back(std::move(e));
    }
    ExtractionResult part = RunExtraction(r, stop);
    if (!part.completed) {
      all.completed = 0;
      all.imagePoints.clear();
      all.foundPerPhoto.clear();
      return all;
    }
    all.imagePoints.insert(all.imagePoints.end(), part.imagePoints.begin(), part.imagePoints.end());
    all.foundPerPhoto.insert(all.foundPerPhoto.end(), part.foundPerPhoto.begin(),
                             part.foundPerPhoto.end());
  }
  return all;
}

}  // namespace

std::function<ExtractionResult(const std::atomic<bool>*)> CVistametDoc::MakeExtractionJob(ExtractionKind kind) const {
  const int32_t count = PhotoCount();
  const int32_t first = kind == ExtractionKind::kAddedPhoto ? std::max(0, count - 1) : 0;
  std::vector<JobPhoto> photos;
  for (int32_t i = first; i < count; ++i) {
    JobPhoto p;
    const ImageHolder& h = photoImages[i];
    p.width = h.width;
    p.height = h.height;
    if (!h.grey.empty()) {
      p.held.width = h.width;
      p.held.height = h.height;
      p.held.grey = h.grey;
    } else {
      p.path = photoPaths[i];
    }
    photos.push_back(std::move(p));
  }
  return [kind, count, first, photos = std::move(photos),
          targets = targetOptions](const std::atomic<bool>* stop) {
    return RunPhotoJob(kind, count, first, photos, targets, stop);
  };
}

CVistametDoc::ExtractionSlot::ExtractionSlot()
    : runner(std::make_unique<ExtractionRunner>()), alive(std::make_shared<char>()) {}

CVistametDoc::ExtractionSlot::~ExtractionSlot() {
  // Stop and join before the document's lists go away.
  if (runner) runner->Stop();
}

int CVistametDoc::StartExtraction(ExtractionKind kind, const PostToOwner& post) {
  if (WorkRunning() || PhotoCount() == 0 || !post) return 0;
  ExtractionRunner::Job job = MakeExtractionJob(kind);
  std::weak_ptr<char> alive = extraction_.alive;
  // The completion runs on the worker: it only hands the result over.
  auto done = [this, alive, post](ExtractionResult result) {
    auto shared = std::make_shared<ExtractionResult>(std::move(result));
    post([this, alive, shared] {
      if (alive.expired()) return;
      FinishExtraction(std::move(*shared));
    });
  };
  extractionRunning = 1;
  targetsExtracted = 0;
  adjusted = 0;
  if (!extraction_.runner->Start(std::move(job), done)) {
    extractionRunning = 0;
    return 0;
  }
  return 1;
}

int CVistametDoc::ExtractNow(ExtractionKind kind) {
  if (WorkRunning() || PhotoCount() == 0) return 0;
  extractionRunning = 1;
  return FinishExtraction(MakeExtractionJob(kind)(nullptr));
}

void CVistametDoc::StopWork() {
  extraction_.runner->Stop();
  // A result already posted must not land any more.
  extraction_.alive = std::make_shared<char>();
  extractionRunning = 0;
  adjustmentRunning = 0;
}

int CVistametDoc::FinishExtraction(ExtractionResult&& result) {
  extractionRunning = 0;
  // The worker is past its last step: join it, so that the next work can
  // start at once.
  extraction_.runner->Wait();
  if (!ApplyExtraction(std::move(result), PhotoCount(), imagePoints, spacePoints, distancePairs,
                       targetsExtracted, adjusted))
    return 0;
  highlightList.clear();
  SetModified();
  // New points for every window: the image, the strip and the data list.
  UpdateViews(ViewUpdate::kAll);
  return 1;
}

int CVistametDoc::ExtractTargetsCommand(const PostToOwner& post) {
  if (WorkRunning()) return 0;
  if (ExtractionCommandAsks() && !AskYesNo(text::kReextractQuestion, text::kProgramName))
    return 0;
  return StartExtraction(ExtractionKind::kAllPhotos, post);
}

int CVistametDoc::ExtractAfterOpen(const PostToOwner& post) {
  if (!ExtractionDueAfterOpen() || WorkRunning()) return 0;
  if (HoldsMeasurements() && !AskYesNo(text::kReextractQuestion, text::kProgramName)) return 0;
  return StartExtraction(ExtractionKind::kAllPhotos, post);
}

}  // namespace vistamet
