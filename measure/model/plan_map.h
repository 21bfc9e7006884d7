// The plan map apart from any window: the projection of the space points and
// features onto the map plane and back, and the painting into a DrawSink.
// What the mouse does is in measure/shell/map_clicks.h.
//
// Map units are 0.01 mm on the paper, y up, so a map at 1:N shows one metre
// of the object as 100000 / N map units. The map plane holds the object's X
// axis and the projection plane point P: a rotation about X by
// theta0 = atan(-Z_P / Y_P) (taken into [0, pi)) carries P into it.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

#include "measure/model/vistamet_doc.h"
#include "measure/model/draw_sink.h"
#include "measure/model/symbol_library.h"

namespace vistamet {

// The interaction modes of the map, as stored in the document's mapEditFeatures.
enum MapMode : int {
  kMapEditFeatures = 0,
  kMapSpatialDistance = 1,  // between adjusted space points
  kMapPlaneDistance = 2,    // between arbitrary points of the plane
};

// The scale selector's entries.
inline constexpr int kMapScales[] = {10, 20, 50, 100, 200, 500, 1000, 2000, 5000, 10000};

// What one map window shows; not stored with the project.
struct MapViewState {
  bool showDistances = true;
  bool showSpacePoints = true;
  bool showFeatures = true;
  double phi = 0;    // extra rotation about X, rad
  double beta = 0;   // rotation in the map plane, rad
  int xOffset = 4000;  // left margin, map units
  int yOffset = 5000;  // top margin, map units
  double k = 40.0;   // map units per screen pixel
};

// Outcome of the toolbar's turn and shift commands.
enum class TurnOutcome { kTurned, kFullCircle };
// beta -= 0.1, back to 0 past a full turn either way.
TurnOutcome TurnMap(MapViewState& view);
// phi -= 0.1, back to 0 past a full turn.
TurnOutcome TurnAboutX(MapViewState& view);
// Left and up move the drawing by 1000 units while the margin is above
// 1000; right and down while it is at most 99999.
void ShiftMap(MapViewState& view, int dx, int dy);

// A map scale N as the project holds it: not above 0 is taken as 100.
int SaneMapScale(int32_t n);

class MapProjection {
 public:
  // Sets up from the plane point and the view. False when there is no
  // plane point, its space point is gone, or it lies on the X axis
  // (Y = Z = 0), which fixes no plane: then only the header is drawn.
  bool Set(const CVistametDoc& doc, const MapViewState& view);
  bool Valid() const { return valid_; }
  double Theta() const { return theta_; }
  int Scale() const { return scale_; }

  // Raw map position of an object point (mm), before the margins; clamped
  // to +-1e9 units so that no later step overflows.
  void Raw(double X, double Y, double Z, int64_t* x, int64_t* y) const;
  // Computes the extent and the final map positions (mapX, mapY) of every
  // space point and feature of `doc`.
  void Place(CVistametDoc& doc);
  // The point of the plane under the map position (mx, my) (a SpacePoint
  // numbered -1 with X, Y, Z in mm).
  SpacePoint Inverse(double mx, double my) const;
  // The drawing's size in map units (width, height) for the scroll bars.
  void DrawingSize(int64_t* width, int64_t* height) const;

 private:
  bool valid_ = false;
  int scale_ = 100;
  double theta_ = 0, beta_ = 0, a_ = 1;
  int x_offset_ = 4000, y_offset_ = 5000;
  int64_t min_x_ = 0, max_x_ = 0, min_y_ = 0, max_y_ = 0;
};

// Space point indices by number, for drawing every distance of a large
// project in linear time.
class SpacePointIndex {
 public:
  explicit SpacePointIndex(const CVistametDoc& doc);
  int Find(int32_t number) const;  // -1 when there is none
  // The space points at both ends of distance i; false when an end has
  // none.
  bool DistanceEnds(int i, const SpacePoint** a, const SpacePoint** b) const;

 private:
  const CVistametDoc& doc_;
  std::unordered_map<int32_t, int> at_;
};

// The plane distance of two object points in mm: their separation in the
// map plane rotated by theta.
double PlaneDistance(const SpacePoint& a, const SpacePoint& b, double theta);

// Paints the map into `sink` in map units: header (scale, scale bar, title
// with `time_text` when the project shows the time), then features,
// distances and space points when the adjustment result is valid and the
// projection is set. Recomputes the map positions. Returns the projection.
MapProjection PaintPlanMap(CVistametDoc& doc, const MapViewState& view,
                           const SymbolLibrary& symbols, const std::string& time_text,
                           DrawSink& sink);

// A document with only what the map draws (points, distances, features and
// the map settings; no photos), for a page that may outlive the project
// (print preview) or an export that must not touch the project.
CVistametDoc MapSnapshot(const CVistametDoc& doc);

// "(YYYY/MM/DD hh:mm:ss)" of the local time now.
std::string MapTimeText();

// Back-projects a plane point into every photo and adds an image point of
// its number where it falls inside the photo. Returns how many were added.
int AddPlanePointImages(CVistametDoc& doc, const SpacePoint& point);

}  // namespace vistamet
