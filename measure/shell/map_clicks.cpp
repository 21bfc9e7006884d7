#include "measure/shell/map_clicks.h"

#include <algorithm>
#include <cmath>

#include "measure/shell/app_texts.h"

namespace vistamet {

namespace {

void Tell(const CVistametDoc& doc, const char* text, Icon icon) {
  if (UserPrompt* prompt = doc.Prompt()) prompt->Message(text, icon);
}

}  // namespace

// --- Hit tests ---

int HitMapPoint(const CVistametDoc& doc, double k, double mx, double my, bool adjusted_only) {
  const double radius = 5 * k;
  for (size_t i = 0; i < doc.spacePoints.size(); ++i) {
    const SpacePoint& s = doc.spacePoints[i];
    if (adjusted_only && s.rayCount <= 1) continue;
    if (std::hypot(s.mapX - mx, s.mapY - my) < radius) return static_cast<int>(i);
  }
  return -1;
}

int HitMapFeature(const CVistametDoc& doc, double k, double mx, double my) {
  const double radius = std::trunc(15 * k);
  const double x = std::trunc(mx), y = std::trunc(my);
  for (size_t i = 0; i < doc.mapFeatures.size(); ++i) {
    const MapFeature& f = doc.mapFeatures[i];
    if (std::hypot(f.mapX - x, f.mapY - y) < radius) return static_cast<int>(i);
  }
  return -1;
}

// --- Mouse ---

namespace {

void TruncateInto(const SpacePoint& p, MapFeature& f) {
  auto whole = [](double v) {
    return static_cast<int32_t>(std::clamp(std::trunc(v), -2147483647.0, 2147483647.0));
  };
  f.X = whole(p.X);
  f.Y = whole(p.Y);
  f.Z = whole(p.Z);
}

}  // namespace

MapClick MapClicks::Press(CVistametDoc& doc, const MapProjection& proj, double k, double mx,
                          double my) {
  // Work on the worker holds the project: its result would replace the edit.
  if (!proj.Valid() || doc.WorkRunning()) return MapClick::kNothing;
  switch (doc.mapEditFeatures) {
    case kMapEditFeatures:
      dragged_ = HitMapFeature(doc, k, mx, my);
      return dragged_ >= 0 ? MapClick::kPending : MapClick::kNothing;
    case kMapSpatialDistance:
      return SpatialDistance(doc, k, mx, my);
    case kMapPlaneDistance:
      return PlaneDistance(doc, proj, k, mx, my);
    default:
      return MapClick::kNothing;
  }
}

bool MapClicks::DragTo(CVistametDoc& doc, const MapProjection& proj, double mx, double my) {
  if (dragged_ < 0 || dragged_ >= static_cast<int>(doc.mapFeatures.size()) || !proj.Valid() ||
      doc.WorkRunning())
    return false;
  TruncateInto(proj.Inverse(mx, my), doc.mapFeatures[dragged_]);
  doc.SetModified();
  doc.UpdateViews(ViewUpdate::kPlanMap);
  return true;
}

MapClick MapClicks::DoubleClick(CVistametDoc& doc, const MapProjection& proj, double k,
                                double mx, double my, const FeatureEditor& edit) {
  if (!proj.Valid() || doc.WorkRunning() || doc.mapEditFeatures != kMapEditFeatures)
    return MapClick::kNothing;
  dragged_ = -1;
  const int hit = HitMapFeature(doc, k, mx, my);
  MapFeature copy;
  if (hit >= 0) {
    copy = doc.mapFeatures[hit];
  } else {
    copy.colour = Rgb(255, 0, 0);
    TruncateInto(proj.Inverse(mx, my), copy);
  }
  if (!edit(copy)) return MapClick::kNothing;
  if (hit >= 0) {
    if (copy.symbolType != 0) doc.mapFeatures[hit] = copy;
    else doc.mapFeatures.erase(doc.mapFeatures.begin() + hit);
  } else {
    if (copy.symbolType == 0) return MapClick::kNothing;
    // Large symbols (areas) go first so that they lie under the others.
    if (copy.symbolType > 52) doc.mapFeatures.insert(doc.mapFeatures.begin(), copy);
    else doc.mapFeatures.push_back(copy);
  }
  doc.SetModified();
  doc.UpdateViews(ViewUpdate::kPlanMap);
  return MapClick::kChanged;
}

MapClick MapClicks::SpatialDistance(CVistametDoc& doc, double k, double mx, double my) {
  const int hit = HitMapPoint(doc, k, mx, my, true);
  if (hit < 0) return MapClick::kNothing;
  const SpacePoint& s = doc.spacePoints[hit];
  if (counter_ == 0) {
    first_ = s;
    anchor_x_ = s.mapX;
    anchor_y_ = s.mapY;
    counter_ = 1;
    return MapClick::kPending;
  }
  if (s.pointNumber == first_.pointNumber) return MapClick::kNothing;
  if (doc.FindDistance(first_.pointNumber, s.pointNumber) >= 0) {
    Tell(doc, ui::kDistanceAlreadyMeasured, Icon::kWarning);
    return MapClick::kRefused;
  }
  doc.distancePairs.push_back(first_.pointNumber);
  doc.distancePairs.push_back(s.pointNumber);
  doc.SetModified();
  counter_ = 0;
  doc.UpdateViews(ViewUpdate::kAll);
  return MapClick::kChanged;
}

MapClick MapClicks::PlaneDistance(CVistametDoc& doc, const MapProjection& proj, double k,
                                  double mx, double my) {
  const int hit = HitMapPoint(doc, k, mx, my, false);
  const SpacePoint taken = hit >= 0 ? doc.spacePoints[hit] : proj.Inverse(mx, my);
  if (counter_ == 0) {
    first_ = taken;
    anchor_x_ = mx;
    anchor_y_ = my;
    counter_ = 1;
    return MapClick::kPending;
  }
  // The clicks' separation on the ground in metres: map units times N
  // are 0.01 mm of the object.
  const double tx = proj.Scale() * (mx - anchor_x_) * 0.01;
  const double ty = proj.Scale() * (my - anchor_y_) * 0.01;
  const bool same_point = taken.pointNumber != kNoNumber && taken.pointNumber == first_.pointNumber;
  if (std::sqrt(tx * tx + ty * ty) * 0.001 <= 0.5 || same_point) {
    Tell(doc, ui::kPointsTooClose, Icon::kWarning);
    return MapClick::kRefused;
  }
  second_ = taken;
  StorePlaneDistance(doc);
  counter_ = 0;
  doc.UpdateViews(ViewUpdate::kAll);
  return MapClick::kChanged;
}

void MapClicks::StorePlaneDistance(CVistametDoc& doc) {
  int32_t lowest = kNoNumber;
  for (const SpacePoint& s : doc.spacePoints) lowest = std::min(lowest, s.pointNumber);
  int32_t next = lowest - 1;
  const bool first_new = first_.pointNumber == kNoNumber;
  const bool second_new = second_.pointNumber == kNoNumber;
  if (first_new) first_.pointNumber = next--;
  if (second_new) second_.pointNumber = next--;
  if (doc.FindDistance(first_.pointNumber, second_.pointNumber) >= 0) {
    Tell(doc, ui::kPlaneDistanceMeasured, Icon::kWarning);
    return;
  }
  doc.StoreSpacePoint(first_);
  doc.StoreSpacePoint(second_);
  if (first_new) AddPlanePointImages(doc, first_);
  if (second_new) AddPlanePointImages(doc, second_);
  doc.distancePairs.push_back(first_.pointNumber);
  doc.distancePairs.push_back(second_.pointNumber);
  doc.SetModified();
}

}  // namespace vistamet
