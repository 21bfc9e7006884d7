// The document's photogrammetric commands: orientation of one photo, the
// refinement from control points and the bundle adjustment.
#include <cmath>

#include "common/strformat.h"
#include "measure/compute/camera_model.h"
#include "measure/compute/corresponding_points.h"
#include "measure/compute/lsm_matching.h"
#include "measure/compute/orientation.h"
#include "measure/records/texts.h"
#include "measure/model/vistamet_doc.h"

namespace vistamet {

int CVistametDoc::OrientPhoto(int photo) {
  return ResectPhoto(imagePoints, spacePoints, photoParams, photoImages, photo);
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

int CVistametDoc::RunAdjustment(std::vector<ImagePoint>& observations,
                                std::vector<SpacePoint>& points, std::vector<PhotoParams>& photos,
                                std::vector<ImagePoint>* residuals,
                                const AdjustmentReports& reports, Progress* progress,
                                AdjustSummary* summary) {
  AdjustSettings settings;
  settings.iterationLimit = nMaxIter;
  settings.angleTol = dAngleTol;
  settings.coordTol = dCoordTol;
  settings.keepBest = bKeepMinRms != 0;
  AdjustSummary local;
  AdjustSummary& sum = summary ? *summary : local;
  const int ok = Adjust(observations, points, photos, settings, residuals, reports, progress, &sum);
  if (sum.status == AdjustStatus::kSolveFailed)
    Message(common::StrFormat(text::kUnknownNotSolved, sum.failedUnknown), Icon::kError);
  return ok;
}

int CVistametDoc::RefineFromControlPoints(const AdjustmentReports& reports, Progress* progress) {
  std::vector<ImagePoint> observations;
  std::vector<SpacePoint> points;
  for (const SpacePoint& s : spacePoints) {
    if (s.pointNumber < 0 || !s.IsControl()) continue;
    std::vector<ImagePoint> rays;
    for (const ImagePoint& p : imagePoints) {
      if (p.pointNumber != s.pointNumber) continue;
      ImagePoint mm = p;
      if (ToPhotoMm(mm)) rays.push_back(mm);
    }
    if (rays.size() <= 1) continue;
    observations.insert(observations.end(), rays.begin(), rays.end());
    SpacePoint fixed = s;
    fixed.controlFlag = -1;
    points.push_back(fixed);
  }
  std::vector<PhotoParams> photos = photoParams;
  std::vector<ImagePoint> residuals = adjustedPoints;
  if (!RunAdjustment(observations, points, photos, &residuals, reports, progress, nullptr))
    return 0;
  photoParams = std::move(photos);
  return 1;
}

int CVistametDoc::BundleAdjust(const AdjustmentReports& reports, Progress* progress,
                               AdjustSummary* summary) {
  if (PhotoCount() == 0) return 0;
  // 1. Redundant feature points go first when asked.
  if (bCleanPoints) DeleteUnnumberedPoints(0);

  // 2-3. Every photo is resected from its first four control points.
  for (int p = 0; p < PhotoCount(); ++p) {
    if (!OrientPhoto(p)) {
      Message(common::StrFormat(text::kTooFewControlPoints, p + 1), Icon::kWarning);
      return 0;
    }
  }
  // 4. All orientations together from the control points alone.
  RefineFromControlPoints(reports, progress);

  // 5. Observations and points.
  std::vector<ImagePoint> observations;
  std::vector<SpacePoint> points;
  const int total = static_cast<int>(spacePoints.size());
  for (size_t si = 0; si < spacePoints.size(); ++si) {
    if (progress) progress->Report(static_cast<int>(si), total, "准备数据");
    const int32_t number = spacePoints[si].pointNumber;
    if (number < 0) continue;
    std::vector<int> mine;
    for (size_t k = 0; k < imagePoints.size(); ++k)
      if (imagePoints[k].pointNumber == number) mine.push_back(static_cast<int>(k));
    if (bLmsFeature && !mine.empty()) {
      ImagePoint& reference = imagePoints[mine[0]];
      reference.matchState = 2;
      for (size_t r = 1; r < mine.size(); ++r) {
        ImagePoint& target = imagePoints[mine[r]];
        if (target.matchState >= 2) continue;
        MatchImagePoint(photoImages, reference, target);
        target.matchState = 2;
      }
    }
    std::vector<ImagePoint> rays;
    for (int k : mine) {
      ImagePoint mm = imagePoints[k];
      if (ToPhotoMm(mm)) rays.push_back(mm);
    }
    SpacePoint& s = spacePoints[si];
    const int ray_count = static_cast<int>(rays.size());
    if (ray_count >= 2) {
      SpacePoint entry = s;
      if (s.IsControl()) {
        for (ImagePoint& r : rays) {
          r.weightX = dWeightX * dControlWeight;
          r.weightY = dWeightY * dControlWeight;
        }
        entry.controlFlag = -1;
      } else {
        ObjectPoint o;
        if (!IntersectRays(rays, photoParams, &o)) continue;
        for (ImagePoint& r : rays) {
          r.weightX = dWeightX;
          r.weightY = dWeightY;
        }
        entry.X = s.X = o.X;
        entry.Y = s.Y = o.Y;
        entry.Z = s.Z = o.Z;
        entry.controlFlag = 0;
      }
      s.rayCount = ray_count;
      entry.rayCount = ray_count;
      observations.insert(observations.end(), rays.begin(), rays.end());
      points.push_back(entry);
      continue;
    }
    // Fewer than two rays: the point cannot be adjusted.
    s.rayCount = ray_count;
    RemoveDistancesOf(number, 2);
    if (s.IsControl()) continue;  // known coordinates are the user's data
    if (ray_count == 0 && bCleanPoints) {
      DeleteSpacePoint(number, false);
      --si;
      continue;
    }
    s.X = s.Y = s.Z = 0;
  }

  // 6. The core on copies of the photos.
  std::vector<PhotoParams> photos = photoParams;
  std::vector<ImagePoint> residuals = adjustedPoints;
  if (!RunAdjustment(observations, points, photos, &residuals, reports, progress, summary)) {
    Message(text::kAdjustmentFailed, Icon::kError);
    SetModified();
    return 0;
  }

  // 8. Write back orientations, coordinates and back-projected points.
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
  adjusted = 1;
  SetModified();
  UpdateViews(-1);
  return 1;
}

}  // namespace vistamet
