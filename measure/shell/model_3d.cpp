#include "measure/shell/model_3d.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace vistamet {

namespace {

constexpr float kDegree = 0.017453292f;

}  // namespace

Model3D BuildModel3D(const CVistametDoc& doc) {
  Model3D model;
  const size_t n = doc.spacePoints.size();
  if (n == 0) return model;
  double mean[3] = {0, 0, 0}, lo[3], hi[3];
  for (int k = 0; k < 3; ++k) lo[k] = hi[k] = 0;
  bool first = true;
  for (const SpacePoint& s : doc.spacePoints) {
    const double v[3] = {s.X, s.Y, s.Z};
    for (int k = 0; k < 3; ++k) {
      mean[k] += v[k] / static_cast<double>(n);
      lo[k] = first ? v[k] : std::min(lo[k], v[k]);
      hi[k] = first ? v[k] : std::max(hi[k], v[k]);
    }
    first = false;
  }
  const double m = 0.1 * std::max({hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2]});
  model.scale = m > 0 && std::isfinite(m) ? m : 1.0;
  auto vertex = [&](const SpacePoint& s) {
    return Vec3{static_cast<float>((s.X - mean[0]) / model.scale),
                static_cast<float>((s.Z - mean[2]) / model.scale),
                static_cast<float>(-(s.Y - mean[1]) / model.scale)};
  };
  model.points.reserve(n);
  std::unordered_map<int32_t, size_t> index;
  index.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    const SpacePoint& s = doc.spacePoints[i];
    model.points.push_back(vertex(s));
    model.numbers.push_back(s.pointNumber);
    model.control.push_back(s.IsControl() ? 1 : 0);
    index.emplace(s.pointNumber, i);
  }
  for (int d = 0; d < doc.DistanceCount(); ++d) {
    const auto a = index.find(doc.distancePairs[2 * d]);
    const auto b = index.find(doc.distancePairs[2 * d + 1]);
    if (a == index.end() || b == index.end()) continue;
    model.segments.push_back(model.points[a->second]);
    model.segments.push_back(model.points[b->second]);
  }
  return model;
}

void Camera3D::Move(CameraMove move) {
  switch (move) {
    case CameraMove::kLeft:
    case CameraMove::kRight: {
      const float a = (rotY + (move == CameraMove::kLeft ? 90.f : -90.f)) * kDegree;
      camX += 0.05f * std::sin(a);
      camZ += 0.05f * std::cos(a);
      break;
    }
    case CameraMove::kUp: camY -= 0.05f * std::cos(rotX * kDegree); break;
    case CameraMove::kDown: camY += 0.05f * std::cos(rotX * kDegree); break;
    case CameraMove::kNearer: camZ -= 0.1f; break;
    case CameraMove::kFarther: camZ += 0.1f; break;
    case CameraMove::kReset: *this = Camera3D{}; break;
    case CameraMove::kPageUp: camY -= 1; break;
    case CameraMove::kPageDown: camY += 1; break;
    case CameraMove::kForward: camZ += 0.05f * std::cos(rotX * kDegree); break;
    case CameraMove::kBackward: camZ -= 0.05f * std::cos(rotX * kDegree); break;
    case CameraMove::kUnitNearer: camZ -= 1; break;
    case CameraMove::kUnitFarther: camZ += 1; break;
  }
}

void Camera3D::Zoom(int steps) {
  // Each step a tenth of the way to the model, stopping short of it.
  for (int k = 0; k < std::abs(steps); ++k) camZ *= steps > 0 ? 0.9f : 1.0f / 0.9f;
  camZ = std::clamp(camZ, 0.5f, 90.f);
}

void Camera3D::Pan(int dx, int dy) {
  const float unit = 0.002f * std::max(1.f, std::fabs(camZ));
  camX -= unit * static_cast<float>(dx);
  camY += unit * static_cast<float>(dy);
}

}  // namespace vistamet
