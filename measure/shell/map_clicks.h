// What the mouse does on the plan map in its three modes, apart from the
// window: the hit tests, dragging and editing features, and the two kinds
// of distance. Positions are map units (0.01 mm on paper, y up) as the
// mouse gives them: (px k, -py k) for canvas pixel (px, py).
#pragma once

#include <functional>

#include "measure/model/plan_map.h"

namespace vistamet {

// The first space point (index) whose map position lies less than 5 pixels
// (5 k units) from (mx, my), or -1. With `adjusted_only` only points
// observed by more than one ray count.
int HitMapPoint(const CVistametDoc& doc, double k, double mx, double my, bool adjusted_only);
// The first feature (index) whose map position lies less than trunc(15 k)
// units from (mx, my) truncated, or -1.
int HitMapFeature(const CVistametDoc& doc, double k, double mx, double my);

// The feature dialog: edits a copy, true on OK.
using FeatureEditor = std::function<bool(MapFeature&)>;

enum class MapClick {
  kNothing,   // the click did not count
  kPending,   // the first end of a distance is remembered
  kChanged,   // the project changed and the views were refreshed
  kRefused,   // a message was shown; the first end stays
};

// The mouse on the map. Positions are map units as the mouse gives them:
// (px k, -py k) for canvas pixel (px, py).
class MapClicks {
 public:
  void Reset() { counter_ = 0; dragged_ = -1; }
  int Counter() const { return counter_; }
  int Dragged() const { return dragged_; }
  // The map position of the first click, for the rubber band.
  double AnchorX() const { return anchor_x_; }
  double AnchorY() const { return anchor_y_; }

  // Left button down: starts dragging a feature (mode 0) or takes a
  // distance end (modes 1 and 2).
  MapClick Press(CVistametDoc& doc, const MapProjection& proj, double k, double mx, double my);
  // Mouse moved with the button down while dragging: moves the feature.
  bool DragTo(CVistametDoc& doc, const MapProjection& proj, double mx, double my);
  void Release() { dragged_ = -1; }
  // Double click in mode 0: edits the feature hit, or a new one there.
  MapClick DoubleClick(CVistametDoc& doc, const MapProjection& proj, double k, double mx,
                       double my, const FeatureEditor& edit);

 private:
  MapClick SpatialDistance(CVistametDoc& doc, double k, double mx, double my);
  MapClick PlaneDistance(CVistametDoc& doc, const MapProjection& proj, double k, double mx,
                         double my);
  void StorePlaneDistance(CVistametDoc& doc);

  int counter_ = 0;
  int dragged_ = -1;
  double anchor_x_ = 0, anchor_y_ = 0;
  SpacePoint first_, second_;
};

}  // namespace vistamet
