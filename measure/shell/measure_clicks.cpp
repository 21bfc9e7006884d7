#include "measure/shell/measure_clicks.h"

#include <cmath>

#include "common/strformat.h"
#include "measure/compute/grey_image.h"
#include "measure/compute/rectangle_corners.h"
#include "measure/shell/app_texts.h"

namespace vistamet {

namespace {

// The hit-test position: the photo position rounded half up, as integers.
PhotoPoint HitPosition(PhotoPoint at) {
  return {std::trunc(at.x + 0.5), std::trunc(at.y + 0.5)};
}

// Inside the current photo's pixels (a click on the blank area beside a
// zoomed-out photo, or with no photo, is outside).
bool OnPhoto(const CVistametDoc& doc, PhotoPoint at) {
  if (!doc.ValidPhoto(doc.currentPhoto)) return false;
  const ImageHolder& photo = doc.photoImages[doc.currentPhoto];
  return at.x >= 0 && at.y >= 0 && at.x < photo.width && at.y < photo.height;
}

const SpacePoint* SpacePointOf(const CVistametDoc& doc, int i) {
  if (i < 0) return nullptr;
  const int32_t number = doc.imagePoints[i].pointNumber;
  if (number == kNoNumber) return nullptr;
  const int s = doc.FindSpacePoint(number);
  return s < 0 ? nullptr : &doc.spacePoints[s];
}

void Tell(const CVistametDoc& doc, const char* text, Icon icon) {
  if (UserPrompt* prompt = doc.Prompt()) prompt->Message(text, icon);
}

}  // namespace

bool QualifiesAsDistanceEnd(const CVistametDoc& doc, int i) {
  const SpacePoint* s = SpacePointOf(doc, i);
  return s && (s->rayCount > 1 || s->pointNumber < -1);
}

bool QualifiesAsPlanePoint(const CVistametDoc& doc, int i) {
  const SpacePoint* s = SpacePointOf(doc, i);
  return s && s->rayCount > 1 && (s->Y != 0 || s->Z != 0);
}

int MeasureClicks::HitPoint(const CVistametDoc& doc, PhotoPoint at) {
  if (!doc.ValidPhoto(doc.currentPhoto)) return -1;
  const PhotoPoint h = HitPosition(at);
  return doc.FindImagePointNear(h.x, h.y, kHitRadius);
}

ClickOutcome MeasureClicks::Click(CVistametDoc& doc, PhotoPoint at) {
  if (doc.WorkRunning() || !doc.ValidPhoto(doc.currentPhoto)) return ClickOutcome::kNothing;
  const int hit = HitPoint(doc, at);
  switch (doc.viewMode) {
    case kModeEditPoint:
      if (hit < 0) return ClickOutcome::kNothing;
      doc.NumberAndTransfer(hit);  // refreshes all views itself
      return ClickOutcome::kChanged;
    case kModeClearNumber:
      if (hit < 0 || !doc.ClearImagePointNumber(hit)) return ClickOutcome::kNothing;
      break;
    case kModeDeleteSpacePoint:
      if (!SpacePointOf(doc, hit) ||
          !doc.DeleteSpacePoint(doc.imagePoints[hit].pointNumber, true))
        return ClickOutcome::kNothing;
      break;
    case kModeDeletePoint:
      if (hit < 0 || !doc.DeleteImagePoint(hit)) return ClickOutcome::kNothing;
      break;
    case kModeAddPoint:
      if (hit >= 0) {
        Tell(doc, ui::kPointAlreadyHere, Icon::kError);
        return ClickOutcome::kNothing;
      }
      if (!OnPhoto(doc, at)) return ClickOutcome::kNothing;
      doc.AddImagePoint(at.x, at.y);
      break;
    case kModeMeasureDistance:
      return MeasureDistance(doc, at, hit);
    case kModeRectangleCorners:
      return CollectCorner(doc, at);
    case kModePlanePoint:
      if (!QualifiesAsPlanePoint(doc, hit)) return ClickOutcome::kNothing;
      doc.planePoint = doc.imagePoints[hit].pointNumber;
      doc.planeSet = 1;
      doc.viewMode = kModeNone;
      doc.mapWindowOn = 1;
      doc.SetModified();
      doc.UpdateViews(ViewUpdate::kAll);
      return ClickOutcome::kOpenPlanMap;
    default:
      return ClickOutcome::kNothing;
  }
  doc.UpdateViews(ViewUpdate::kAll);
  return ClickOutcome::kChanged;
}

ClickOutcome MeasureClicks::MeasureDistance(CVistametDoc& doc, PhotoPoint at, int hit) {
  if (!QualifiesAsDistanceEnd(doc, hit)) return ClickOutcome::kNothing;
  const int32_t number = doc.imagePoints[hit].pointNumber;
  if (clicks_.empty()) {
    clicks_.push_back(at);
    first_number_ = number;
    return ClickOutcome::kPending;
  }
  if (number == first_number_) return ClickOutcome::kNothing;
  if (doc.FindDistance(first_number_, number) >= 0) {
    Tell(doc, ui::kDistanceAlreadyMeasured, Icon::kWarning);
    return ClickOutcome::kPending;  // the next valid click is again a second one
  }
  doc.distancePairs.push_back(first_number_);
  doc.distancePairs.push_back(number);
  doc.SetModified();
  Reset();
  doc.UpdateViews(ViewUpdate::kAll);
  return ClickOutcome::kChanged;
}

ClickOutcome MeasureClicks::CollectCorner(CVistametDoc& doc, PhotoPoint at) {
  clicks_.push_back(at);
  if (clicks_.size() < 4) return ClickOutcome::kPending;
  CornerQuad rough;
  for (int k = 0; k < 4; ++k)
    rough[k] = CornerPoint{static_cast<float>(clicks_[k].x), static_cast<float>(-clicks_[k].y)};
  Reset();
  const std::shared_ptr<const ImageHolder> photo = doc.PhotoPixels(doc.currentPhoto);
  if (!photo) return ClickOutcome::kNothing;
  CornerQuad corners;
  std::array<bool, 4> found{};
  LocateRectangleCorners(GreyView(*photo), rough, &corners, {}, &found);
  int added = 0;
  for (int k = 0; k < 4; ++k) {
    if (!found[k]) continue;
    const PhotoPoint p{corners[k].x, -corners[k].y};
    if (!OnPhoto(doc, p)) continue;
    ImagePoint point;
    point.x = p.x;
    point.y = p.y;
    point.matchState = 2;
    point.photoIndex = doc.currentPhoto;
    doc.imagePoints.push_back(point);
    ++added;
  }
  if (added) doc.SetModified();
  doc.UpdateViews(ViewUpdate::kAll);
  return added ? ClickOutcome::kChanged : ClickOutcome::kNothing;
}

ToolCursor MeasureClicks::CursorAt(const CVistametDoc& doc, PhotoPoint at) const {
  return CursorOf(doc, HitPoint(doc, at));
}

ToolCursor MeasureClicks::CursorOf(const CVistametDoc& doc, int hit) const {
  switch (doc.viewMode) {
    case kModeEditPoint:
      return hit >= 0 ? ToolCursor::kEdit : ToolCursor::kCross;
    case kModeClearNumber:
      return hit >= 0 && doc.imagePoints[hit].pointNumber != kNoNumber ? ToolCursor::kClearNumber
                                                                        : ToolCursor::kCross;
    case kModeDeleteSpacePoint:
      return SpacePointOf(doc, hit) ? ToolCursor::kDeleteSpacePoint : ToolCursor::kCross;
    case kModeDeletePoint:
      return hit >= 0 ? ToolCursor::kDelete : ToolCursor::kCross;
    case kModeAddPoint:
      return hit >= 0 ? ToolCursor::kOccupied : ToolCursor::kAdd;
    case kModeMeasureDistance:
      return QualifiesAsDistanceEnd(doc, hit) ? ToolCursor::kDistanceHit : ToolCursor::kDistance;
    case kModeRectangleCorners:
      return ToolCursor::kRectangle;
    case kModePlanePoint:
      return QualifiesAsPlanePoint(doc, hit) ? ToolCursor::kPlanePointHit
                                             : ToolCursor::kPlanePoint;
    default:
      return ToolCursor::kUnchanged;
  }
}

std::string MeasureClicks::Label(const CVistametDoc& doc, PhotoPoint at) {
  return LabelOf(doc, HitPoint(doc, at));
}

std::string MeasureClicks::LabelOf(const CVistametDoc& doc, int hit) {
  if (hit < 0) return {};
  const int32_t number = doc.imagePoints[hit].pointNumber;
  if (number == kNoNumber) return "?";
  std::string label = common::StrFormat("%d", number);
  if (const SpacePoint* s = SpacePointOf(doc, hit)) {
    label += common::StrFormat("(%.3f,%.3f,%.3fm)", s->X * 0.001, s->Y * 0.001, s->Z * 0.001);
    if (s->IsControl()) label = ui::kControlPointMark + label;
  }
  return label;
}

}  // namespace vistamet
