#include "measure/shell/project_snapshot.h"

#include <algorithm>
#include <vector>

#include "measure/model/bitmap.h"
#include "measure/model/project_file.h"
#include "measure/shell/app_texts.h"

namespace vistamet {

namespace {

// The records a project file stores, the windows' state left out.
void CopyProjectRecords(const CVistametDoc& from, CVistametDoc& to) {
  to.strVersion = from.strVersion;
  to.photoPaths = from.photoPaths;
  to.imagePoints = from.imagePoints;
  to.adjustedPoints = from.adjustedPoints;
  to.spacePoints = from.spacePoints;
  to.photoParams = from.photoParams;
  to.distancePairs = from.distancePairs;
  to.mapFeatures = from.mapFeatures;
  to.planePoint = from.planePoint;
  to.reserved1 = from.reserved1;
  to.reserved2 = from.reserved2;
  to.planeSet = from.planeSet;
  to.mapTitle = from.mapTitle;
  to.mapShowTime = from.mapShowTime;
  to.currentPhoto = from.currentPhoto;
  to.mapScale = from.mapScale;
  to.targetsExtracted = from.targetsExtracted;
  to.adjusted = from.adjusted;
  to.bAutoPlaneTrans = from.bAutoPlaneTrans;
  to.bShowAdjusted = from.bShowAdjusted;
  to.bShowDistances = from.bShowDistances;
  to.options = from.options;
}

bool SameSpacePoints(const std::vector<SpacePoint>& a, const std::vector<SpacePoint>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](const SpacePoint& x, const SpacePoint& y) { return x.SameStored(y); });
}

bool SameFeatures(const std::vector<MapFeature>& a, const std::vector<MapFeature>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](const MapFeature& x, const MapFeature& y) { return x.SameStored(y); });
}

size_t NumberedCount(const std::vector<ImagePoint>& points) {
  return static_cast<size_t>(std::count_if(points.begin(), points.end(), [](const ImagePoint& p) {
    return p.pointNumber != kNoNumber;
  }));
}

// Every space point moved by one and the same offset, none added or gone.
bool ShiftedTogether(const std::vector<SpacePoint>& a, const std::vector<SpacePoint>& b) {
  if (a.size() != b.size() || a.empty()) return false;
  const double dx = b[0].X - a[0].X, dy = b[0].Y - a[0].Y, dz = b[0].Z - a[0].Z;
  if (dx == 0 && dy == 0 && dz == 0) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].pointNumber != b[i].pointNumber) return false;
    if (b[i].X - a[i].X != dx || b[i].Y - a[i].Y != dy || b[i].Z - a[i].Z != dz) return false;
  }
  return true;
}

// The same number of space points, some under another number.
bool Renumbered(const std::vector<SpacePoint>& a, const std::vector<SpacePoint>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i].pointNumber != b[i].pointNumber) return true;
  return false;
}

const char* PointStepName(const CVistametDoc& a, const CVistametDoc& b) {
  if (b.imagePoints.size() > a.imagePoints.size()) return ui::kStepAddPoint;
  if (b.imagePoints.size() < a.imagePoints.size()) return ui::kStepDeletePoint;
  if (b.imagePoints != a.imagePoints) {
    return NumberedCount(b.imagePoints) < NumberedCount(a.imagePoints) ? ui::kStepClearNumber
                                                                       : ui::kStepNumber;
  }
  if (ShiftedTogether(a.spacePoints, b.spacePoints)) return ui::kStepShiftOrigin;
  if (!SameSpacePoints(a.spacePoints, b.spacePoints)) return ui::kStepSpacePoints;
  return ui::kStepOther;
}

}  // namespace

ProjectSnapshot::ProjectSnapshot(const CVistametDoc& doc) {
  CopyProjectRecords(doc, state_);
  bytes_ = WriteProjectBytes(state_);
}

bool ProjectSnapshot::RestoreInto(CVistametDoc& doc, PhotoShelf& shelf,
                                  std::string* error) const {
  const size_t n = state_.photoPaths.size();
  // Where each photo of the state comes from: the document's photo j, the
  // shelf, or its file (read first, so that a failure changes nothing).
  std::vector<int> from_doc(n, -1);
  std::vector<bool> taken(doc.photoPaths.size(), false);
  std::vector<ImageHolder> images(n);
  for (size_t i = 0; i < n; ++i) {
    const std::string& path = state_.photoPaths[i];
    for (size_t j = 0; j < doc.photoPaths.size() && from_doc[i] < 0; ++j) {
      if (!taken[j] && j < doc.photoImages.size() && doc.photoPaths[j] == path) {
        taken[j] = true;
        from_doc[i] = static_cast<int>(j);
      }
    }
    if (from_doc[i] >= 0 || shelf.count(path)) continue;
    if (!LoadBitmapFile(path, &images[i], error)) return false;
  }
  for (size_t i = 0; i < n; ++i) {
    if (from_doc[i] >= 0) {
      images[i] = std::move(doc.photoImages[from_doc[i]]);
    } else if (auto it = shelf.find(state_.photoPaths[i]); it != shelf.end()) {
      images[i] = std::move(it->second);
      shelf.erase(it);
    }
  }
  for (size_t j = 0; j < doc.photoPaths.size() && j < doc.photoImages.size(); ++j)
    if (!taken[j]) shelf.emplace(doc.photoPaths[j], std::move(doc.photoImages[j]));

  CopyProjectRecords(state_, doc);
  doc.photoImages = std::move(images);
  doc.highlightList.clear();
  return true;
}

const char* StepName(const ProjectSnapshot& before, const ProjectSnapshot& after) {
  const CVistametDoc& a = before.State();
  const CVistametDoc& b = after.State();
  if (b.photoPaths.size() > a.photoPaths.size()) return ui::kStepAddPhoto;
  if (b.photoPaths.size() < a.photoPaths.size()) return ui::kStepDeletePhoto;
  if (b.targetsExtracted != a.targetsExtracted) return ui::kStepExtract;
  if (b.adjusted != a.adjusted || b.photoParams != a.photoParams ||
      b.adjustedPoints != a.adjustedPoints)
    return ui::kStepAdjust;
  if (before == after) return ui::kStepOther;
  const AdjustmentOptions& oa = a.options;
  const AdjustmentOptions& ob = b.options;
  if (oa.dAngleTol != ob.dAngleTol || oa.dCoordTol != ob.dCoordTol ||
      oa.nMaxIter != ob.nMaxIter || oa.dControlWeight != ob.dControlWeight ||
      oa.dWeightX != ob.dWeightX || oa.dWeightY != ob.dWeightY ||
      oa.bCleanPoints != ob.bCleanPoints || oa.bLmsFeature != ob.bLmsFeature ||
      oa.bKeepMinRms != ob.bKeepMinRms || a.bAutoPlaneTrans != b.bAutoPlaneTrans ||
      a.mapScale != b.mapScale || a.mapTitle != b.mapTitle || a.mapShowTime != b.mapShowTime ||
      a.bShowAdjusted != b.bShowAdjusted || a.bShowDistances != b.bShowDistances)
    return ui::kStepOptions;
  if (a.planePoint != b.planePoint || a.planeSet != b.planeSet) return ui::kStepPlanePoint;
  const bool same_image_count = a.imagePoints.size() == b.imagePoints.size();
  if (b.spacePoints.size() < a.spacePoints.size() && same_image_count)
    return ui::kStepDeleteSpacePoint;
  if (a.distancePairs != b.distancePairs && same_image_count)
    return b.distancePairs.size() >= a.distancePairs.size() ? ui::kStepAddDistance
                                                            : ui::kStepDeleteDistance;
  if (Renumbered(a.spacePoints, b.spacePoints)) return ui::kStepSpacePoints;
  if (!SameFeatures(a.mapFeatures, b.mapFeatures) && a.spacePoints.size() == b.spacePoints.size())
    return ui::kStepFeatures;
  return PointStepName(a, b);
}

}  // namespace vistamet
