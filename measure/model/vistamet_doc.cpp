#include "measure/model/vistamet_doc.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <utility>

#include "common/strformat.h"
#include "measure/model/photo_cache.h"
#include "measure/model/photo_file.h"
#include "measure/records/texts.h"

namespace vistamet {

namespace {

template <typename T, typename Pred>
bool EraseIf(std::vector<T>& v, Pred pred) {
  const auto end = std::remove_if(v.begin(), v.end(), pred);
  const bool any = end != v.end();
  v.erase(end, v.end());
  return any;
}

}  // namespace

CVistametDoc::CVistametDoc(const UserSettings& settings)
    : bAutoPlaneTrans(settings.bAutoPlaneTrans), targetOptions(settings.targets) {
  options.bLmsFeature = settings.bLmsFeature;
  if (settings.denseAdjustEngine == 1) adjustEngine = AdjustEngine::kDense;
}

void CVistametDoc::SetModified(bool modified) {
  modified_ = modified;
  if (notifier_) notifier_->SetModified(modified);
}

void CVistametDoc::UpdateViews(ViewUpdate what) const {
  if (notifier_) notifier_->UpdateViews(what);
}

void CVistametDoc::Message(const std::string& text, Icon icon) const {
  if (prompt_) prompt_->Message(text, icon);
}

bool CVistametDoc::AskYesNo(const std::string& text, const std::string& caption) const {
  return prompt_ ? prompt_->AskYesNo(text, caption, Icon::kQuestion) : false;
}

void CVistametDoc::SetOptions(const AdjustmentOptions& o) {
  options = o;
  options.dWeightX = PositiveWeight(o.dWeightX);
  options.dWeightY = PositiveWeight(o.dWeightY);
}

// --- Lookups ---

int CVistametDoc::FindSpacePoint(int32_t number) const {
  if (number == kNoNumber) return -1;
  for (size_t i = 0; i < spacePoints.size(); ++i)
    if (spacePoints[i].pointNumber == number) return static_cast<int>(i);
  return -1;
}

int CVistametDoc::FindControlPoint(int32_t number) const {
  if (number == kNoNumber) return -1;
  for (size_t i = 0; i < spacePoints.size(); ++i)
    if (spacePoints[i].pointNumber == number && spacePoints[i].controlFlag == 1)
      return static_cast<int>(i);
  return -1;
}

int CVistametDoc::FindImagePointByNumber(int32_t number, int photo, bool on_photo) const {
  if (number == kNoNumber) return -1;
  if (photo < 0) photo = currentPhoto;
  for (size_t i = 0; i < imagePoints.size(); ++i) {
    const ImagePoint& p = imagePoints[i];
    if (p.pointNumber == number && (!on_photo || p.photoIndex == photo))
      return static_cast<int>(i);
  }
  return -1;
}

int CVistametDoc::FindImagePointNear(double x, double y, double radius, int photo) const {
  if (photo < 0) photo = currentPhoto;
  for (size_t i = 0; i < imagePoints.size(); ++i) {
    const ImagePoint& p = imagePoints[i];
    if (p.photoIndex == photo && std::hypot(p.x - x, p.y - y) <= radius)
      return static_cast<int>(i);
  }
  return -1;
}

int32_t CVistametDoc::HighestPointNumber(int photo, int* count) const {
  int32_t highest = -1;
  int n = 0;
  for (const ImagePoint& p : imagePoints) {
    if (p.photoIndex != photo || p.pointNumber == kNoNumber) continue;
    ++n;
    if (!IsReferenceNumber(p.pointNumber)) highest = std::max(highest, p.pointNumber);
  }
  if (count) *count = n;
  return highest;
}

int32_t CVistametDoc::HighestPointNumber() const {
  int32_t highest = -1;
  for (const ImagePoint& p : imagePoints)
    if (!IsReferenceNumber(p.pointNumber)) highest = std::max(highest, p.pointNumber);
  return highest == 999 ? kReferenceLast : highest;
}

int CVistametDoc::FindDistance(int32_t a, int32_t b) const {
  for (int i = 0; i < DistanceCount(); ++i) {
    const int32_t s = distancePairs[2 * i], e = distancePairs[2 * i + 1];
    if ((s == a && e == b) || (s == b && e == a)) return i;
  }
  return -1;
}

bool CVistametDoc::DistanceLength(int i, double* mm) const {
  if (i < 0 || i >= DistanceCount()) return false;
  const int s = FindSpacePoint(distancePairs[2 * i]);
  const int e = FindSpacePoint(distancePairs[2 * i + 1]);
  if (s < 0 || e < 0) return false;
  const SpacePoint& a = spacePoints[s];
  const SpacePoint& b = spacePoints[e];
  *mm = std::sqrt((a.X - b.X) * (a.X - b.X) + (a.Y - b.Y) * (a.Y - b.Y) +
                  (a.Z - b.Z) * (a.Z - b.Z));
  return true;
}

bool CVistametDoc::AnyImagePointNumbered(int32_t number) const {
  return std::any_of(imagePoints.begin(), imagePoints.end(),
                     [number](const ImagePoint& p) { return p.pointNumber == number; });
}

// --- Photos ---

int CVistametDoc::InitNewProject(const std::vector<std::string>& paths, std::string* error,
                                 const NewProjectCamera& camera) {
  std::vector<ImageHolder> images(paths.size());
  std::vector<PhotoParams> params(paths.size());
  for (size_t i = 0; i < paths.size(); ++i) {
    if (std::find(paths.begin(), paths.begin() + i, paths[i]) != paths.begin() + i) {
      if (error) *error = paths[i] + ": the photo is listed twice";
      return 0;
    }
    PhotoInfo info;
    if (!ProbePhotoFile(paths[i], &info, error)) return 0;
    images[i] = PhotoHeader(info);
    const double f = camera.f > 0 ? camera.f : info.focalLengthMm;
    if (f > 0) params[i].f = params[i].f1 = params[i].f2 = f;
    const double pixel = camera.pixelSize > 0 ? camera.pixelSize : info.pixelSizeMm;
    if (pixel > 0) params[i].pixelSize = pixel;
  }
  photoPaths = paths;
  photoImages = std::move(images);
  photoParams = std::move(params);
  currentPhoto = 0;
  return 1;
}

int CVistametDoc::AddPhoto(const std::string& path, std::string* error) {
  // Running work's result is bound to the project's photos.
  if (WorkRunning()) {
    if (error) *error = "the project is busy with an extraction or an adjustment";
    return 0;
  }
  if (std::find(photoPaths.begin(), photoPaths.end(), path) != photoPaths.end()) {
    if (error) *error = path + ": the photo is already in the project";
    return 0;
  }
  PhotoInfo info;
  if (!ProbePhotoFile(path, &info, error)) return 0;
  photoImages.push_back(PhotoHeader(info));
  photoPaths.push_back(path);
  photoParams.push_back(PhotoParams{});
  SetModified();
  return 1;
}

std::shared_ptr<const ImageHolder> CVistametDoc::PhotoPixels(int photo, bool colour,
                                                             std::string* error) const {
  if (!ValidPhoto(photo) || static_cast<size_t>(photo) >= photoImages.size()) {
    if (error) *error = "no such photo";
    return nullptr;
  }
  const ImageHolder& held = photoImages[photo];
  if (!held.grey.empty() && (!colour || !held.dib.empty()))
    return std::shared_ptr<const ImageHolder>(std::shared_ptr<const ImageHolder>(), &held);
  auto image = PhotoCache::Shared().Get(photoPaths[photo], colour, error);
  if (image && (image->width != held.width || image->height != held.height)) {
    if (error)
      *error = common::StrFormat("%s: the photo is now %d x %d pixels, not %d x %d as when it "
                                 "joined the project", photoPaths[photo].c_str(), image->width,
                                 image->height, held.width, held.height);
    return nullptr;
  }
  return image;
}

int CVistametDoc::DeletePhoto(int n) {
  if (PhotoCount() < 2 || !ValidPhoto(n) || WorkRunning()) return 0;
  // Points of photo n are deleted (their numbers cleared first); points of
  // later photos move down one photo.
  for (size_t i = 0; i < imagePoints.size();) {
    if (imagePoints[i].photoIndex == n) {
      DeleteImagePoint(static_cast<int>(i));
      continue;
    }
    if (imagePoints[i].photoIndex > n) --imagePoints[i].photoIndex;
    ++i;
  }
  // The back-projected points of the photo go with it.
  EraseIf(adjustedPoints, [n](const ImagePoint& p) { return p.photoIndex == n; });
  for (ImagePoint& p : adjustedPoints)
    if (p.photoIndex > n) --p.photoIndex;
  // Space points no image point observes any more.
  EraseIf(spacePoints, [this](const SpacePoint& s) { return !AnyImagePointNumbered(s.pointNumber); });
  // Distances with an end that is gone.
  DistancePairs kept;
  for (int i = 0; i < DistanceCount(); ++i) {
    const int32_t s = distancePairs[2 * i], e = distancePairs[2 * i + 1];
    if (FindSpacePoint(s) >= 0 && FindSpacePoint(e) >= 0) {
      kept.push_back(s);
      kept.push_back(e);
    }
  }
  distancePairs = std::move(kept);
  // Features tied to a point that is gone go with it; free ones stay.
  EraseIf(mapFeatures, [this](const MapFeature& f) {
    return f.pointNumber != kNoNumber && FindSpacePoint(f.pointNumber) < 0;
  });
  if (planePoint != kNoNumber && FindSpacePoint(planePoint) < 0) {
    planePoint = kNoNumber;
    planeSet = 0;
  }
  highlightList.clear();
  if (currentPhoto >= n) currentPhoto = std::max(0, currentPhoto - 1);
  photoParams.erase(photoParams.begin() + n);
  photoImages.erase(photoImages.begin() + n);
  photoPaths.erase(photoPaths.begin() + n);
  SetModified();
  return 1;
}

void CVistametDoc::SetCurrentPhoto(int n) {
  if (!ValidPhoto(n) || n == currentPhoto) return;
  currentPhoto = n;
  UpdateViews(ViewUpdate::kAll);
}

// --- Numbering and space points ---

int CVistametDoc::StoreSpacePoint(const SpacePoint& record) {
  // A record without a number could never be found again, and a second one
  // would share its "number".
  if (record.pointNumber == kNoNumber) return 0;
  const int k = FindSpacePoint(record.pointNumber);
  if (k >= 0) {
    if (record.controlFlag < 1)
      spacePoints[k].controlFlag = record.controlFlag;
    else
      spacePoints[k] = record;
    return 0;
  }
  spacePoints.push_back(record);
  return 1;
}

int CVistametDoc::NumberImagePoint(int i) {
  if (i < 0 || i >= static_cast<int>(imagePoints.size()) || !prompt_) return 0;
  const int32_t b = imagePoints[i].pointNumber;
  // The photo of the point: the current one when the user clicked it.
  const int photo = imagePoints[i].photoIndex;
  SpacePoint record;
  record.controlFlag = 0;
  if (b == kNoNumber) {
    record.pointNumber = HighestPointNumber(photo) + 1;
  } else {
    record.pointNumber = b;
  }
  const int existing = FindSpacePoint(record.pointNumber);
  if (existing >= 0) record = spacePoints[existing];
  const SpacePoint before = record;
  if (!prompt_->EditSpacePoint(record)) return 0;
  const int32_t k = record.pointNumber;
  if (k == kNoNumber) return 0;  // "no number" is no number to give

  if (b == kNoNumber) {
    if (FindImagePointByNumber(k, photo, true) >= 0) {
      Message(common::StrFormat(text::kNumberExists, k), Icon::kWarning);
      return 0;
    }
    imagePoints[i].pointNumber = k;
    const int s = FindSpacePoint(k);
    if (s < 0) {
      StoreSpacePoint(record);
    } else if (spacePoints[s].controlFlag > 0) {
      if (!AskYesNo(text::kKeepControlQuestion, text::kProgramName)) StoreSpacePoint(record);
    }
    int on_control = 0;
    for (const ImagePoint& p : imagePoints)
      if (p.photoIndex == photo && FindControlPoint(p.pointNumber) >= 0) ++on_control;
    if (on_control >= 4) OrientPhoto(photo);
    adjusted = 0;
    SetModified();
    return 1;
  }

  if (k == b) {
    if (record.SameStored(before)) return 0;
    if (before.controlFlag != 0 || record.controlFlag != 0) {
      StoreSpacePoint(record);
      adjusted = 0;
      SetModified();
      return 1;
    }
    return 0;
  }
  if (FindImagePointByNumber(k, photo, true) >= 0) {
    Message(common::StrFormat(text::kNumberExists, k), Icon::kWarning);
    return 0;
  }
  imagePoints[i].pointNumber = k;
  if (FindSpacePoint(b) >= 0 && !AnyImagePointNumbered(b)) DeleteSpacePoint(b, false);
  StoreSpacePoint(record);
  adjusted = 0;
  SetModified();
  return 1;
}

int CVistametDoc::NumberAndTransfer(int i) {
  const int numbered = NumberImagePoint(i);
  if (numbered && bAutoPlaneTrans) AutoTransfer();
  UpdateViews(ViewUpdate::kAll);
  return numbered;
}

int CVistametDoc::ClearImagePointNumber(int i) {
  if (i < 0 || i >= static_cast<int>(imagePoints.size())) return 0;
  const int32_t b = imagePoints[i].pointNumber;
  if (b == kNoNumber) return 0;
  RemoveAdjustedPoints(imagePoints[i].photoIndex, b, true);
  imagePoints[i].pointNumber = kNoNumber;
  if (!AnyImagePointNumbered(b)) DeleteSpacePoint(b, false);
  if (b >= 0) adjusted = 0;
  SetModified();
  return 1;
}

int CVistametDoc::ClearCurrentPhotoNumbers() {
  int changed = 0;
  for (size_t i = 0; i < imagePoints.size(); ++i)
    if (imagePoints[i].photoIndex == currentPhoto)
      changed |= ClearImagePointNumber(static_cast<int>(i));
  if (changed) SetModified();
  return changed;
}

int CVistametDoc::DeleteImagePoint(int i) {
  if (i < 0 || i >= static_cast<int>(imagePoints.size())) return 0;
  if (imagePoints[i].pointNumber != kNoNumber && !ClearImagePointNumber(i)) return 0;
  imagePoints.erase(imagePoints.begin() + i);
  SetModified();
  return 1;
}

int CVistametDoc::DeleteUnnumberedPoints(SweepScope scope) {
  const int photo = currentPhoto;
  const bool any = EraseIf(imagePoints, [scope, photo](const ImagePoint& p) {
    return p.pointNumber == kNoNumber &&
           (scope == SweepScope::kAllPhotos || p.photoIndex == photo);
  });
  if (any) SetModified();
  return any ? 1 : 0;
}

int CVistametDoc::AddImagePoint(double x, double y) {
  ImagePoint p;
  p.x = x;
  p.y = y;
  p.photoIndex = currentPhoto;
  imagePoints.push_back(p);
  SetModified();
  return 1;
}

void CVistametDoc::RemoveFeaturesOf(int32_t number) {
  EraseIf(mapFeatures, [number](const MapFeature& f) { return f.pointNumber == number; });
}

int CVistametDoc::DeleteSpacePoint(int32_t number, bool unnumber) {
  const int k = FindSpacePoint(number);
  if (k < 0) return 0;
  spacePoints.erase(spacePoints.begin() + k);
  if (unnumber)
    for (ImagePoint& p : imagePoints)
      if (p.pointNumber == number) p.pointNumber = kNoNumber;
  RemoveAdjustedPoints(-1, number, false);
  RemoveDistancesOf(number, DistanceEnd::kEither);
  if (planePoint == number) {
    planePoint = kNoNumber;
    planeSet = 0;
  }
  RemoveFeaturesOf(number);
  if (number >= 0) adjusted = 0;
  SetModified();
  return 1;
}

int CVistametDoc::RenameSpacePoint(int32_t from, int32_t to) {
  const int k = FindSpacePoint(from);
  if (k < 0 || FindSpacePoint(to) >= 0 || to == kNoNumber) return 0;
  spacePoints[k].pointNumber = to;
  for (ImagePoint& p : imagePoints)
    if (p.pointNumber == from) p.pointNumber = to;
  for (ImagePoint& p : adjustedPoints)
    if (p.pointNumber == from) p.pointNumber = to;
  for (int32_t& n : distancePairs)
    if (n == from) n = to;
  if (planePoint == from) planePoint = to;
  for (MapFeature& f : mapFeatures)
    if (f.pointNumber == from) f.pointNumber = to;
  SetModified();
  return 1;
}

int CVistametDoc::RemoveAdjustedPoints(int photo, int32_t number, bool per_photo) {
  if (per_photo) {
    for (size_t i = 0; i < adjustedPoints.size(); ++i) {
      if (adjustedPoints[i].photoIndex == photo && adjustedPoints[i].pointNumber == number) {
        adjustedPoints.erase(adjustedPoints.begin() + static_cast<long>(i));
        return 1;
      }
    }
    return 0;
  }
  EraseIf(adjustedPoints, [number](const ImagePoint& p) { return p.pointNumber == number; });
  return 0;
}

int CVistametDoc::RemoveDistancesOf(int32_t number, DistanceEnd end) {
  DistancePairs kept;
  kept.reserve(distancePairs.size());
  bool any = false;
  for (int i = 0; i < DistanceCount(); ++i) {
    const int32_t s = distancePairs[2 * i], e = distancePairs[2 * i + 1];
    const bool hit = (end != DistanceEnd::kEnd && s == number) ||
                     (end != DistanceEnd::kStart && e == number);
    if (hit) {
      any = true;
      continue;
    }
    kept.push_back(s);
    kept.push_back(e);
  }
  if (any) {
    distancePairs = std::move(kept);
    highlightList.clear();
  }
  return any ? 1 : 0;
}

int CVistametDoc::RemoveDistance(int j) {
  if (j < 0 || 2 * static_cast<size_t>(j) + 1 >= distancePairs.size()) return 0;
  distancePairs.erase(distancePairs.begin() + 2 * j, distancePairs.begin() + 2 * j + 2);
  highlightList.clear();
  SetModified();
  return 1;
}

void CVistametDoc::ShiftOrigin() {
  double x = 0, y = 0, z = 0;
  if (!prompt_ || !prompt_->AskOffset(x, y, z)) return;
  for (SpacePoint& s : spacePoints) {
    s.X += x;
    s.Y += y;
    s.Z += z;
  }
  // The shifted coordinates are project data: mark the document modified so
  // that closing it asks to save them.
  SetModified();
  UpdateViews(ViewUpdate::kAll);
}

std::string FindBrokenInvariant(const CVistametDoc& doc) {
  std::set<int32_t> numbers;
  for (size_t i = 0; i < doc.spacePoints.size(); ++i) {
    const int32_t number = doc.spacePoints[i].pointNumber;
    if (!numbers.insert(number).second)
      return common::StrFormat("空间点 %zu 的点号 %d 与前面的空间点重复", i + 1, number);
  }
  std::set<std::pair<int32_t, int32_t>> on_photo;
  for (size_t i = 0; i < doc.imagePoints.size(); ++i) {
    const ImagePoint& p = doc.imagePoints[i];
    if (p.photoIndex < 0 || p.photoIndex >= doc.PhotoCount())
      return common::StrFormat("图像点 %zu 的相片编号 %d 无效", i + 1, p.photoIndex);
    if (p.pointNumber == kNoNumber) continue;
    if (!numbers.count(p.pointNumber))
      return common::StrFormat("图像点 %zu 的点号 %d 没有对应的空间点", i + 1, p.pointNumber);
    if (!on_photo.insert({p.photoIndex, p.pointNumber}).second)
      return common::StrFormat("图像点 %zu 的点号 %d 在相片 %d 上出现了两次", i + 1, p.pointNumber,
                               p.photoIndex + 1);
  }
  if (doc.distancePairs.size() % 2 != 0) return "距离点号的数目不是偶数";
  return std::string();
}

namespace {

// Clamps one value into [low, high]; not a number becomes `fallback`.
template <typename T>
void ClampOption(const char* name, T* value, T low, T high, T fallback,
                 std::vector<std::string>* notes) {
  T wanted = *value;
  if (std::isnan(static_cast<double>(wanted))) {
    wanted = fallback;
  } else {
    wanted = std::clamp(wanted, low, high);
  }
  if (wanted == *value) return;
  notes->push_back(common::StrFormat("%s %.10g 超出 %.10g 到 %.10g 的范围，改为 %.10g", name,
                                     static_cast<double>(*value), static_cast<double>(low),
                                     static_cast<double>(high), static_cast<double>(wanted)));
  *value = wanted;
}

}  // namespace

std::vector<std::string> ClampAdjustmentOptions(AdjustmentOptions* o) {
  const AdjustmentOptions defaults;
  std::vector<std::string> notes;
  ClampOption("次数限制", &o->nMaxIter, 0, kMaxIterationsLimit, defaults.nMaxIter, &notes);
  ClampOption("坐标限差", &o->dCoordTol, 0.0, kMaxCoordTol, defaults.dCoordTol, &notes);
  ClampOption("角度限差", &o->dAngleTol, 0.0, kMaxAngleTol, defaults.dAngleTol, &notes);
  ClampOption("控制点倍权", &o->dControlWeight, kMinControlWeight, kMaxControlWeight,
              defaults.dControlWeight, &notes);
  ClampOption("x权", &o->dWeightX, kTinyWeight, kMaxObservationWeight, defaults.dWeightX, &notes);
  ClampOption("y权", &o->dWeightY, kTinyWeight, kMaxObservationWeight, defaults.dWeightY, &notes);
  return notes;
}

}  // namespace vistamet
