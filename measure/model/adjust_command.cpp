// The document's photogrammetric commands: orientation of one photo, the
// refinement from control points and the bundle adjustment.
#include <atomic>
#include <cmath>
#include <memory>
#include <string>
#include <string_view>

#include "common/strformat.h"
#include "measure/compute/camera_model.h"
#include "measure/compute/corresponding_points.h"
#include "measure/compute/extraction_runner.h"
#include "measure/compute/lsm_matching.h"
#include "measure/compute/orientation.h"
#include "measure/compute/triangle_refinement.h"
#include "measure/records/texts.h"
#include "measure/model/vistamet_doc.h"

namespace vistamet {

int CVistametDoc::OrientPhoto(int photo, ResectStatus* status) {
  return ResectPhoto(imagePoints, spacePoints, photoParams, photoImages, photo, status);
}

int CVistametDoc::AutoTransfer(int* assigned) {
  std::vector<int> disagreeing;
  const int processed = AutoTransferFromPhoto(imagePoints, spacePoints, PhotoCount(),
                                              currentPhoto, assigned, &disagreeing);
  for (size_t k = 0; k < disagreeing.size(); ++k)
    Message(text::kCorrespondingPointsWrong, Icon::kWarning);
  return processed;
}

int CVistametDoc::ToPhotoMm(ImagePoint& point) const {
  return PixelToPhoto(point, PixelConversion::kPixelToPhoto, photoParams, photoImages);
}

int CVistametDoc::RunAdjustment(AdjustmentInput& input, std::vector<PhotoParams>& photos,
                                std::vector<ImagePoint>* residuals,
                                const AdjustmentReports& reports, Progress* progress,
                                AdjustSummary* summary, bool precision) {
  AdjustSettings settings;
  settings.iterationLimit = options.nMaxIter;
  settings.angleTol = options.dAngleTol;
  settings.coordTol = options.dCoordTol;
  settings.keepBest = options.bKeepMinRms != 0;
  settings.engine = adjustEngine;
  settings.precision = precision;
  AdjustSummary local;
  AdjustSummary& sum = summary ? *summary : local;
  const int ok = Adjust(input.observations, input.points, photos, settings, residuals, reports,
                        progress, &sum);
  if (sum.status == AdjustStatus::kSolveFailed)
    Message(common::StrFormat(text::kUnknownNotSolved, sum.failedUnknown), Icon::kError);
  return ok;
}

std::vector<ImagePoint> CVistametDoc::RaysInMm(const std::vector<int>& indices) const {
  std::vector<ImagePoint> rays;
  for (int k : indices) {
    ImagePoint mm = imagePoints[k];
    if (ToPhotoMm(mm)) rays.push_back(mm);
  }
  return rays;
}

int CVistametDoc::RefineFromControlPoints(const AdjustmentReports& reports, Progress* progress) {
  AdjustmentInput input;
  for (const SpacePoint& s : spacePoints) {
    if (s.pointNumber < 0 || !s.IsControl()) continue;
    std::vector<int> observing;
    for (size_t k = 0; k < imagePoints.size(); ++k)
      if (imagePoints[k].pointNumber == s.pointNumber) observing.push_back(static_cast<int>(k));
    const std::vector<ImagePoint> rays = RaysInMm(observing);
    if (rays.size() <= 1) continue;
    input.observations.insert(input.observations.end(), rays.begin(), rays.end());
    SpacePoint fixed = s;
    fixed.controlFlag = -1;
    input.points.push_back(fixed);
  }
  std::vector<PhotoParams> photos = photoParams;
  std::vector<ImagePoint> residuals = adjustedPoints;
  if (!RunAdjustment(input, photos, &residuals, reports, progress, nullptr)) return 0;
  photoParams = std::move(photos);
  return 1;
}

bool CVistametDoc::ResectEveryPhoto() {
  for (int p = 0; p < PhotoCount(); ++p) {
    ResectStatus status = ResectStatus::kResected;
    if (OrientPhoto(p, &status)) continue;
    // A record that gives no orientation keeps the general message.
    const std::string why = status == ResectStatus::kCollinearControlPoints
                                ? common::StrFormat(text::kCollinearControlPoints, p + 1)
                                : common::StrFormat(text::kTooFewControlPoints, p + 1);
    Message(why, Icon::kWarning);
    return false;
  }
  return true;
}

// Triangle targets are matched to the target model on their own photo
// rather than to the first image point's window: the grey windows of two
// photos differ by the perspective, which the window matching would take
// for a shift. Points that are no targets are matched as windows to the
// first point. Points matched before (or measured by hand) stay.
void CVistametDoc::MatchToFirstImagePoint(const std::vector<int>& observing) {
  if (!targetOptions.refine) {
    MatchWindows(observing);
    return;
  }
  std::vector<int> windows{observing[0]};
  for (int k : observing) {
    ImagePoint& p = imagePoints[k];
    if (p.matchState >= 2 || !ValidPhoto(p.photoIndex)) continue;
    // The pixels come from the photo cache; a photo that cannot be decoded
    // leaves its point to the window matching (which then keeps it).
    const std::shared_ptr<const ImageHolder> pixels = PhotoPixels(p.photoIndex);
    if (pixels && RemeasureTarget(GreyView(*pixels), &p.x, &p.y))
      p.matchState = 2;
    else if (k != observing[0])
      windows.push_back(k);
  }
  MatchWindows(windows);
}

void CVistametDoc::MatchWindows(const std::vector<int>& observing) {
  ImagePoint& reference = imagePoints[observing[0]];
  reference.matchState = 2;
  for (size_t r = 1; r < observing.size(); ++r) {
    ImagePoint& target = imagePoints[observing[r]];
    if (target.matchState >= 2) continue;  // matched before
    MatchImagePoint(GreyPhotos(), reference, target);
    target.matchState = 2;
  }
}

void CVistametDoc::AddObservedPoint(SpacePoint& s, std::vector<ImagePoint> rays,
                                    AdjustmentInput& input) {
  const int ray_count = static_cast<int>(rays.size());
  SpacePoint entry = s;
  // With weights from the target fit, each point's own weights scale the
  // option's; otherwise every point weighs alike.
  const bool own = targetOptions.weightsFromFit != 0;
  if (s.IsControl()) {
    for (ImagePoint& r : rays) {
      r.weightX = options.dWeightX * options.dControlWeight * (own ? r.weightX : 1.0);
      r.weightY = options.dWeightY * options.dControlWeight * (own ? r.weightY : 1.0);
    }
    entry.controlFlag = -1;
  } else {
    ObjectPoint o;
    if (!IntersectRays(rays, photoParams, &o)) return;  // left out, untouched
    for (ImagePoint& r : rays) {
      r.weightX = options.dWeightX * (own ? r.weightX : 1.0);
      r.weightY = options.dWeightY * (own ? r.weightY : 1.0);
    }
    entry.X = s.X = o.X;
    entry.Y = s.Y = o.Y;
    entry.Z = s.Z = o.Z;
    entry.controlFlag = 0;
  }
  s.rayCount = ray_count;
  entry.rayCount = ray_count;
  input.observations.insert(input.observations.end(), rays.begin(), rays.end());
  input.points.push_back(entry);
}

bool CVistametDoc::PreparePointForAdjustment(size_t si, AdjustmentInput& input) {
  const int32_t number = spacePoints[si].pointNumber;
  if (number < 0) return true;
  std::vector<int> observing;
  for (size_t k = 0; k < imagePoints.size(); ++k)
    if (imagePoints[k].pointNumber == number) observing.push_back(static_cast<int>(k));
  if (options.bLmsFeature && !observing.empty()) MatchToFirstImagePoint(observing);
  std::vector<ImagePoint> rays = RaysInMm(observing);
  SpacePoint& s = spacePoints[si];
  const int ray_count = static_cast<int>(rays.size());
  if (ray_count >= 2) {
    AddObservedPoint(s, std::move(rays), input);
    return true;
  }
  // Fewer than two rays: the point cannot be adjusted.
  s.rayCount = ray_count;
  RemoveDistancesOf(number, DistanceEnd::kEither);
  if (s.IsControl()) return true;  // known coordinates are the user's data
  if (ray_count == 0 && options.bCleanPoints) {
    // Image points whose photo cannot convert them may still carry the
    // number: they lose it with the point, never keep a number without one.
    DeleteSpacePoint(number, true);
    return false;
  }
  s.X = s.Y = s.Z = 0;
  return true;
}

CVistametDoc::AdjustmentInput CVistametDoc::CollectAdjustmentInput(Progress* progress) {
  AdjustmentInput input;
  const int total = static_cast<int>(spacePoints.size());
  size_t si = 0;
  while (si < spacePoints.size()) {
    if (progress) progress->Report(static_cast<int>(si), total, "准备数据");
    if (progress && progress->StopRequested()) break;
    if (PreparePointForAdjustment(si, input)) ++si;
  }
  return input;
}

void CVistametDoc::TakeAdjustmentResult(std::vector<PhotoParams> photos,
                                        const std::vector<SpacePoint>& points,
                                        std::vector<ImagePoint> residuals) {
  photoParams = std::move(photos);
  for (const SpacePoint& p : points) {
    const int k = FindSpacePoint(p.pointNumber);
    if (k < 0) continue;
    if (p.controlFlag == 0) {
      spacePoints[k] = p;
    } else {
      spacePoints[k].X = p.X;
      spacePoints[k].Y = p.Y;
      spacePoints[k].Z = p.Z;
    }
  }
  // The residual list becomes the adjusted points of every point, projected
  // with the new orientations, in pixels.
  for (ImagePoint& r : residuals) {
    const int k = FindSpacePoint(r.pointNumber);
    if (k >= 0 && ValidPhoto(r.photoIndex)) {
      const SpacePoint& s = spacePoints[k];
      const ImagePoint projected =
          ProjectSpacePoint(s.X, s.Y, s.Z, r.photoIndex, r.pointNumber, photoParams);
      r.x = projected.x;
      r.y = projected.y;
    }
    PixelToPhoto(r, PixelConversion::kPhotoToPixel, photoParams, photoImages);
  }
  adjustedPoints = std::move(residuals);
}

CVistametDoc::AdjustableState CVistametDoc::SaveAdjustableState() const& {
  return AdjustableState{imagePoints,   adjustedPoints, spacePoints, photoParams,
                         distancePairs, highlightList,  mapFeatures, planePoint,
                         planeSet,      adjusted,       modified_};
}

CVistametDoc::AdjustableState CVistametDoc::SaveAdjustableState() && {
  return AdjustableState{std::move(imagePoints),   std::move(adjustedPoints),
                         std::move(spacePoints),   std::move(photoParams),
                         std::move(distancePairs), std::move(highlightList),
                         std::move(mapFeatures),   planePoint,
                         planeSet,                 adjusted,
                         modified_};
}

void CVistametDoc::PutAdjustableState(AdjustableState state) {
  imagePoints = std::move(state.imagePoints);
  adjustedPoints = std::move(state.adjustedPoints);
  spacePoints = std::move(state.spacePoints);
  photoParams = std::move(state.photoParams);
  distancePairs = std::move(state.distancePairs);
  highlightList = std::move(state.highlightList);
  mapFeatures = std::move(state.mapFeatures);
  planePoint = state.planePoint;
  planeSet = state.planeSet;
  adjusted = state.adjusted;
  SetModified(state.modified);
}

int CVistametDoc::RestoreAfterStop(AdjustableState state) {
  PutAdjustableState(std::move(state));
  lastAdjustment = AdjustSummary{};
  lastAdjustment.status = AdjustStatus::kCancelled;
  UpdateViews(ViewUpdate::kAll);
  return 0;
}

int CVistametDoc::BundleAdjust(const AdjustmentReports& reports, Progress* progress,
                               AdjustSummary* summary) {
  lastAdjustment = AdjustSummary{};
  if (PhotoCount() == 0) return 0;
  // A stop leaves the project as it was.
  AdjustableState before = SaveAdjustableState();
  auto stopped = [progress] { return progress && progress->StopRequested(); };
  // Redundant feature points go first when asked.
  if (options.bCleanPoints) DeleteUnnumberedPoints(SweepScope::kAllPhotos);
  // Start values: each photo resected on its own, then all orientations
  // together from the control points alone.
  if (!ResectEveryPhoto()) return 0;
  // The full run rewrites every report, so the refinement writes none: a
  // command stopped before the full run leaves the reports as they were.
  RefineFromControlPoints(AdjustmentReports(), progress);

  AdjustmentInput input = CollectAdjustmentInput(progress);
  if (stopped()) {
    RestoreAfterStop(std::move(before));
    if (summary) *summary = lastAdjustment;
    return 0;
  }
  // The core works on copies: a failed run leaves orientations and results.
  std::vector<PhotoParams> photos = photoParams;
  std::vector<ImagePoint> residuals = adjustedPoints;
  lastAdjustment = AdjustSummary{};
  const int ok =
      RunAdjustment(input, photos, &residuals, reports, progress, &lastAdjustment, adjustPrecision);
  if (lastAdjustment.status == AdjustStatus::kCancelled) {
    RestoreAfterStop(std::move(before));
    if (summary) *summary = lastAdjustment;
    return 0;
  }
  if (summary) *summary = lastAdjustment;
  if (!ok) {
    // The points now hold their intersections: whatever an earlier run left
    // is no longer a result.
    adjusted = 0;
    adjustedPoints.clear();
    if (lastAdjustment.status == AdjustStatus::kIterationLimit) {
      // Not converged: the best iterate is kept as the new start, without
      // back-projected points and without the adjusted state.
      TakeAdjustmentResult(std::move(photos), input.points, {});
    } else {
      lastAdjustment.precision = AdjustPrecision{};
    }
    Message(text::kAdjustmentFailed, Icon::kError);
    SetModified();
    UpdateViews(ViewUpdate::kAll);
    return 0;
  }
  TakeAdjustmentResult(std::move(photos), input.points, std::move(residuals));
  adjusted = 1;
  SetModified();
  UpdateViews(ViewUpdate::kAll);
  return 1;
}

// --- The adjustment on the worker ---

namespace {

// The prompt of the copy on the worker: it keeps the run's messages for
// the owner's thread and answers every question with No (the adjustment
// asks none).
class MessageRecorder : public UserPrompt {
 public:
  struct Entry {
    std::string text;
    Icon icon;
  };
  void Message(std::string_view text, Icon icon) override {
    entries.push_back({std::string(text), icon});
  }
  bool AskYesNo(std::string_view, std::string_view, Icon) override { return false; }
  bool EditSpacePoint(SpacePoint&) override { return false; }
  bool AskOffset(double&, double&, double&) override { return false; }

  std::vector<Entry> entries;
};

// The worker's progress: reports go to the owner's progress; the run stops
// when the user asks there or when the runner is stopped.
class WorkerProgress : public Progress {
 public:
  WorkerProgress(Progress* owner, const std::atomic<bool>* stop) : owner_(owner), stop_(stop) {}
  void Report(int done, int total, std::string_view text) override {
    if (owner_) owner_->Report(done, total, text);
  }
  bool StopRequested() const override {
    return (stop_ && stop_->load(std::memory_order_acquire)) ||
           (owner_ && owner_->StopRequested());
  }

 private:
  Progress* owner_;
  const std::atomic<bool>* stop_;
};

}  // namespace

int CVistametDoc::StartAdjustment(const AdjustmentReports& reports, const PostToOwner& post,
                                  std::shared_ptr<Progress> progress, AdjustmentDone done) {
  if (WorkRunning() || PhotoCount() == 0 || !post) return 0;
  // Everything the run touches is its own: a copy of the records (photos
  // held in memory included), its prompt and its reports.
  struct Run {
    explicit Run(const CVistametDoc& doc, const AdjustmentReports& r) : work(doc), reports(r) {}
    CVistametDoc work;
    MessageRecorder prompt;
    AdjustmentReports reports;
    int ok = 0;
  };
  auto run = std::make_shared<Run>(*this, reports);
  run->work.SetNotifier(nullptr);
  run->work.SetPrompt(&run->prompt);
  std::weak_ptr<char> alive = extraction_.alive;
  auto task = [this, run, progress, post, alive, done](const std::atomic<bool>* stop) {
    WorkerProgress link(progress.get(), stop);
    run->ok = run->work.BundleAdjust(run->reports, &link);
    if (stop->load(std::memory_order_acquire)) return;  // the owner stopped the work
    post([this, run, alive, done] {
      if (alive.expired()) return;  // stopped, or the document is gone
      adjustmentRunning = 0;
      extraction_.runner->Wait();
      if (run->work.lastAdjustment.status == AdjustStatus::kCancelled) {
        lastAdjustment = run->work.lastAdjustment;
      } else {
        TakeAdjustedCopy(run->work);
      }
      UpdateViews(ViewUpdate::kAll);
      for (const MessageRecorder::Entry& m : run->prompt.entries) Message(m.text, m.icon);
      for (const std::string& failure : run->reports.failures())
        Message(common::StrFormat(text::kReportNotWritten, failure.c_str()), Icon::kWarning);
      if (done) done(run->ok);
    });
  };
  adjustmentRunning = 1;
  if (!extraction_.runner->Run(std::move(task))) {
    adjustmentRunning = 0;
    return 0;
  }
  return 1;
}

void CVistametDoc::TakeAdjustedCopy(CVistametDoc& work) {
  PutAdjustableState(std::move(work).SaveAdjustableState());
  lastAdjustment = std::move(work.lastAdjustment);
}

}  // namespace vistamet
