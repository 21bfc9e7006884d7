#include "measure/model/plan_map.h"

#include <algorithm>
#include <cmath>
#include <ctime>

#include "common/strformat.h"
#include "measure/compute/camera_model.h"

namespace vistamet {

namespace {

constexpr double kFullTurn = 6.283;
// Map positions stay within this many units, so that every later sum or
// conversion to screen pixels fits an int.
constexpr double kMapLimit = 1e9;

int64_t ClampToMap(double v) {
  if (!(v == v)) return 0;  // NaN
  return static_cast<int64_t>(std::clamp(v, -kMapLimit, kMapLimit));
}

}  // namespace

TurnOutcome TurnMap(MapViewState& view) {
  view.beta -= 0.1;
  if (view.beta < -kFullTurn || view.beta > kFullTurn) {
    view.beta = 0;
    return TurnOutcome::kFullCircle;
  }
  return TurnOutcome::kTurned;
}

TurnOutcome TurnAboutX(MapViewState& view) {
  view.phi -= 0.1;
  if (view.phi < -kFullTurn) {
    view.phi = 0;
    return TurnOutcome::kFullCircle;
  }
  return TurnOutcome::kTurned;
}

void ShiftMap(MapViewState& view, int dx, int dy) {
  if (dx < 0 && view.xOffset > 1000) view.xOffset -= 1000;
  if (dx > 0 && view.xOffset <= 99999) view.xOffset += 1000;
  if (dy < 0 && view.yOffset > 1000) view.yOffset -= 1000;
  if (dy > 0 && view.yOffset <= 99999) view.yOffset += 1000;
}

int SaneMapScale(int32_t n) { return n > 0 ? n : 100; }

SpacePointIndex::SpacePointIndex(const CVistametDoc& doc) : doc_(doc) {
  at_.reserve(doc.spacePoints.size());
  // The first point of a number wins, as a search in array order finds it.
  for (size_t i = doc.spacePoints.size(); i-- > 0;)
    at_[doc.spacePoints[i].pointNumber] = static_cast<int>(i);
}

int SpacePointIndex::Find(int32_t number) const {
  const auto it = at_.find(number);
  return it == at_.end() ? -1 : it->second;
}

bool SpacePointIndex::DistanceEnds(int i, const SpacePoint** a, const SpacePoint** b) const {
  const int s = Find(doc_.distancePairs[2 * i]);
  const int e = Find(doc_.distancePairs[2 * i + 1]);
  if (s < 0 || e < 0) return false;
  *a = &doc_.spacePoints[s];
  *b = &doc_.spacePoints[e];
  return true;
}

// --- Projection ---

bool MapProjection::Set(const CVistametDoc& doc, const MapViewState& view) {
  scale_ = SaneMapScale(doc.mapScale);
  a_ = scale_ * 0.01;
  beta_ = view.beta;
  x_offset_ = view.xOffset;
  y_offset_ = view.yOffset;
  valid_ = false;
  const int p = doc.planeSet ? doc.FindSpacePoint(doc.planePoint) : -1;
  if (p < 0) return false;
  const SpacePoint& plane = doc.spacePoints[p];
  if (plane.Y == 0 && plane.Z == 0) return false;  // on the X axis: no plane
  // atan2 of a positive Y equals the atan of the quotient; Y = 0 gives
  // +-pi/2 where the quotient would divide by zero.
  double theta0 = plane.Y != 0 ? std::atan(-plane.Z / plane.Y) : std::atan2(-plane.Z, 0.0);
  if (theta0 < 0) theta0 += 3.14159265358979;
  theta_ = theta0 + view.phi;
  valid_ = true;
  return true;
}

void MapProjection::Raw(double X, double Y, double Z, int64_t* x, int64_t* y) const {
  const double v = (Y * std::cos(theta_) - Z * std::sin(theta_)) / a_;
  const double u = X / a_;
  *x = ClampToMap(std::trunc(u * std::cos(beta_) + v * std::sin(beta_)));
  *y = ClampToMap(std::trunc(v * std::cos(beta_) - u * std::sin(beta_)));
}

void MapProjection::Place(CVistametDoc& doc) {
  min_x_ = min_y_ = 100000000;
  max_x_ = max_y_ = -100000000;
  std::vector<std::pair<int64_t, int64_t>> raw;
  raw.reserve(doc.spacePoints.size() + doc.mapFeatures.size());
  auto take = [&](double X, double Y, double Z) {
    int64_t x, y;
    Raw(X, Y, Z, &x, &y);
    min_x_ = std::min(min_x_, x);
    max_x_ = std::max(max_x_, x);
    min_y_ = std::min(min_y_, y);
    max_y_ = std::max(max_y_, y);
    raw.emplace_back(x, y);
  };
  for (const SpacePoint& s : doc.spacePoints) take(s.X, s.Y, s.Z);
  for (const MapFeature& f : doc.mapFeatures) take(f.X, f.Y, f.Z);
  auto final_of = [&](size_t i, int32_t* mx, int32_t* my) {
    *mx = static_cast<int32_t>(ClampToMap(static_cast<double>(raw[i].first + x_offset_ - min_x_)));
    *my = static_cast<int32_t>(ClampToMap(static_cast<double>(raw[i].second - (max_y_ + y_offset_))));
  };
  size_t i = 0;
  for (SpacePoint& s : doc.spacePoints) final_of(i++, &s.mapX, &s.mapY);
  for (MapFeature& f : doc.mapFeatures) final_of(i++, &f.mapX, &f.mapY);
}

SpacePoint MapProjection::Inverse(double mx, double my) const {
  const double g = mx - x_offset_ + static_cast<double>(min_x_);
  const double h = static_cast<double>(max_y_) + y_offset_ + my;
  const double u = g * std::cos(beta_) - h * std::sin(beta_);
  const double v = g * std::sin(beta_) + h * std::cos(beta_);
  SpacePoint p;
  p.pointNumber = kNoNumber;
  p.X = a_ * u;
  p.Y = a_ * v * std::cos(theta_);
  p.Z = -a_ * v * std::sin(theta_);
  return p;
}

void MapProjection::DrawingSize(int64_t* width, int64_t* height) const {
  if (!valid_ || min_x_ > max_x_) {
    *width = *height = 10000;
    return;
  }
  *width = max_x_ - min_x_ + 2 * int64_t{x_offset_} + 2000;
  *height = max_y_ - min_y_ + 2 * int64_t{y_offset_} + 2000;
}

double PlaneDistance(const SpacePoint& a, const SpacePoint& b, double theta) {
  const double dx = b.X - a.X;
  const double dv = (b.Y - a.Y) * std::cos(theta) - (b.Z - a.Z) * std::sin(theta);
  return std::sqrt(dx * dx + dv * dv);
}

// --- Painting ---

namespace {

void PaintHeader(const CVistametDoc& doc, int n, const std::string& time_text, DrawSink& sink) {
  constexpr uint32_t kBlack = Rgb(0, 0, 0), kRed = Rgb(255, 0, 0);
  sink.Text(100, -100, common::StrFormat("1 : %d", n), kBlack);
  sink.Line(100, -1000, 2100, -1000, 60, kRed);
  sink.Line(100, -1100, 100, -800, 20, kRed);
  sink.Line(2100, -1100, 2100, -800, 20, kRed);
  sink.Text(100, -1200, common::StrFormat("%.3fm", n * 0.01 * 2), kBlack);
  const std::string title =
      doc.mapShowTime == 1 ? common::StrFormat("%s %s", doc.mapTitle.c_str(), time_text.c_str())
                           : doc.mapTitle;
  if (!title.empty()) sink.Text(2500, -800, title, kBlack);
}

void PaintFeatures(const CVistametDoc& doc, const MapViewState& view, const SymbolLibrary& symbols,
                   int n, DrawSink& sink) {
  for (const MapFeature& f : doc.mapFeatures) {
    const VectorSymbol* symbol = symbols.Drawable(f.symbolType);
    if (!symbol) continue;
    SymbolPlacement at;
    at.ax = f.mapX;
    at.ay = f.mapY;
    at.rz = f.rotation - view.beta;
    at.size = 2000.0 / n * f.scale * symbol->scale;
    at.lineWidth = f.lineWidth * 100.0;
    at.colour = f.colour;
    DrawSymbol(*symbol, at, sink);
  }
}

void PaintDistances(const CVistametDoc& doc, double theta, DrawSink& sink) {
  const SpacePointIndex index(doc);
  for (int i = 0; i < doc.DistanceCount(); ++i) {
    const SpacePoint *a = nullptr, *b = nullptr;
    if (!index.DistanceEnds(i, &a, &b)) continue;
    const SpacePoint& p = *a;
    const SpacePoint& q = *b;
    sink.Line(p.mapX, p.mapY, q.mapX, q.mapY, 10, Rgb(0, 0, 255));
    const double mm = doc.mapShowSpatialDist == 1
                          ? std::sqrt((q.X - p.X) * (q.X - p.X) + (q.Y - p.Y) * (q.Y - p.Y) +
                                      (q.Z - p.Z) * (q.Z - p.Z))
                          : PlaneDistance(p, q, theta);
    const int64_t mx = (int64_t{p.mapX} + q.mapX) / 2, my = (int64_t{p.mapY} + q.mapY) / 2;
    sink.Text(static_cast<double>(mx), static_cast<double>(my),
              common::StrFormat("%.2fm", mm * 0.001), Rgb(0, 0, 88));
  }
}

void PaintPoints(const CVistametDoc& doc, DrawSink& sink) {
  constexpr uint32_t kMagenta = Rgb(255, 0, 255);
  for (const SpacePoint& s : doc.spacePoints) {
    const double x = s.mapX, y = s.mapY;
    // The box (x - 120, y - 120)..(x + 140, y + 140): a circle of radius
    // 130 about (x + 10, y + 10).
    if (s.IsControl()) sink.Circle(x + 10, y + 10, 130, 10, kMagenta, Fill::kWhite);
    sink.Line(x - 100, y, x + 140, y, 10, kMagenta);
    sink.Line(x, y - 100, x, y + 140, 10, kMagenta);
    sink.Text(x, y, common::StrFormat("%d", s.pointNumber), kMagenta);
  }
}

}  // namespace

MapProjection PaintPlanMap(CVistametDoc& doc, const MapViewState& view,
                           const SymbolLibrary& symbols, const std::string& time_text,
                           DrawSink& sink) {
  MapProjection proj;
  proj.Set(doc, view);
  const int n = proj.Scale();
  PaintHeader(doc, n, time_text, sink);
  if (!proj.Valid()) return proj;
  proj.Place(doc);
  if (doc.adjusted != 1) return proj;
  if (view.showFeatures) PaintFeatures(doc, view, symbols, n, sink);
  if (view.showDistances) PaintDistances(doc, proj.Theta(), sink);
  if (view.showSpacePoints) PaintPoints(doc, sink);
  return proj;
}

CVistametDoc MapSnapshot(const CVistametDoc& doc) {
  CVistametDoc map;
  map.spacePoints = doc.spacePoints;
  map.distancePairs = doc.distancePairs;
  map.mapFeatures = doc.mapFeatures;
  map.planePoint = doc.planePoint;
  map.planeSet = doc.planeSet;
  map.mapScale = doc.mapScale;
  map.mapTitle = doc.mapTitle;
  map.mapShowTime = doc.mapShowTime;
  map.mapShowSpatialDist = doc.mapShowSpatialDist;
  map.adjusted = doc.adjusted;
  return map;
}

std::string MapTimeText() {
  const std::time_t now = std::time(nullptr);
  std::tm t{};
  localtime_r(&now, &t);
  return common::StrFormat("(%04d/%02d/%02d %02d:%02d:%02d)", t.tm_year + 1900, t.tm_mon + 1,
                           t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
}

int AddPlanePointImages(CVistametDoc& doc, const SpacePoint& point) {
  int added = 0;
  for (int photo = 0; photo < doc.PhotoCount(); ++photo) {
    ImagePoint ip = ProjectSpacePoint(point.X, point.Y, point.Z, photo, point.pointNumber,
                                      doc.photoParams);
    if (!PixelToPhoto(ip, PixelConversion::kPhotoToPixel, doc.photoParams, doc.photoImages))
      continue;
    const ImageHolder& image = doc.photoImages[photo];
    if (!(ip.x >= 0 && ip.y >= 0 && ip.x < image.width && ip.y < image.height)) continue;
    ip.matchState = 1;
    doc.imagePoints.push_back(ip);
    ++added;
  }
  return added;
}

}  // namespace vistamet
