// What a left click on the photo does in each interaction mode of the image
// view, apart from any window: the hit test, the click counter of the
// two-click and four-click modes, the operations on the document and the
// view's own two messages. The image view converts mouse positions to photo
// positions and shows what the outcome asks for.
//
// Photo positions are pixels of the current photo, unrounded (column x,
// row y, origin top-left). The hit test uses the position rounded half up,
// as the view always has.
#pragma once

#include <string>
#include <vector>

#include "measure/model/vistamet_doc.h"

namespace vistamet {

// The interaction modes, as stored in the document's viewMode.
enum MeasureMode : int {
  kModeNone = 0,
  kModeEditPoint = 1,
  kModeClearNumber = 2,
  kModeDeleteSpacePoint = 3,
  kModeDeletePoint = 4,
  kModeAddPoint = 5,
  kModeMeasureDistance = 6,
  kModeRectangleCorners = 7,
  kModePlanePoint = 8,
};

// The hit radius of the image view, photo pixels.
inline constexpr double kHitRadius = 5.0;

// The cursor the view shows over a position.
enum class ToolCursor {
  kUnchanged,        // mode 0: whatever the window shows
  kCross,            // the standard cross
  kEdit,
  kClearNumber,
  kDeleteSpacePoint,
  kDelete,
  kAdd,
  kOccupied,         // adding over an existing point
  kDistance,
  kDistanceHit,
  kRectangle,
  kPlanePoint,
  kPlanePointHit,
};

enum class ClickOutcome {
  kNothing,        // the click did not qualify
  kPending,        // remembered; more clicks to come (distance, rectangle)
  kChanged,        // the project changed; the views were refreshed
  kOpenPlanMap,    // the projection plane point was set; open the plan map
};

struct PhotoPoint {
  double x = 0;
  double y = 0;
};

class MeasureClicks {
 public:
  // Forgets collected clicks (entering modes 6 and 7, Esc, the context menu).
  void Reset() { clicks_.clear(); first_number_ = kNoNumber; }
  // Clicks collected: 0 or 1 in the distance mode, 0 to 3 for rectangles.
  int Counter() const { return static_cast<int>(clicks_.size()); }
  // The collected clicks, for the rubber bands.
  const std::vector<PhotoPoint>& Clicks() const { return clicks_; }

  // A left click at `at` in the document's mode. Messages go through the
  // document's prompt.
  ClickOutcome Click(CVistametDoc& doc, PhotoPoint at);

  // The cursor over `at` in the document's mode; CursorOf takes the image
  // point already hit there (-1 for none), so one hit test serves both the
  // cursor and the label of a mouse move.
  ToolCursor CursorAt(const CVistametDoc& doc, PhotoPoint at) const;
  ToolCursor CursorOf(const CVistametDoc& doc, int hit) const;

  // The tooltip text of the point under `at`, "" when there is none:
  // "?" for an unnumbered point, else the number with the space point's
  // coordinates in metres, "(控制点)" in front for a control point.
  static std::string Label(const CVistametDoc& doc, PhotoPoint at);
  static std::string LabelOf(const CVistametDoc& doc, int hit);

  // The image point of the current photo hit at `at`, or -1.
  static int HitPoint(const CVistametDoc& doc, PhotoPoint at);

 private:
  ClickOutcome MeasureDistance(CVistametDoc& doc, PhotoPoint at, int hit);
  ClickOutcome CollectCorner(CVistametDoc& doc, PhotoPoint at);

  std::vector<PhotoPoint> clicks_;
  int32_t first_number_ = kNoNumber;  // the distance's first end
};

// Whether the point of image point index i qualifies as a distance end
// (numbered, its space point exists and was adjusted from more than one
// ray, or was placed on the plan map) or as the projection plane point
// (numbered, more than one ray, off the plane Y = Z = 0).
bool QualifiesAsDistanceEnd(const CVistametDoc& doc, int i);
bool QualifiesAsPlanePoint(const CVistametDoc& doc, int i);

}  // namespace vistamet
