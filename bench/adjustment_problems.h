// Synthetic adjustment problems shared by the adjustment benchmarks: the
// measurements carry 0.001 mm of noise (0.3 pixel of 0.0036 mm), points and
// photos start a few mm and mrad away from the truth.
//
//   Ring  photos on a ring above a 2 m field, every point on every photo;
//   Block photos on a grid above a wide field, each seeing the points under
//         it (a given fraction of them), so the reduced system is sparse.
#pragma once

#include <cmath>
#include <random>
#include <vector>

#include "measure/compute/adjustment.h"
#include "measure/compute/camera_model.h"
#include "measure/records/records.h"

namespace vistamet::bench {

struct Project {
  std::vector<ImagePoint> observations;
  std::vector<SpacePoint> points;
  std::vector<PhotoParams> photos;
};

// Noise on the measurements, start errors on the unknowns.
inline void Disturb(Project& p, std::mt19937& rng) {
  std::normal_distribution<double> noise(0, 0.001), mm(0, 3), mrad(0, 0.001);
  for (ImagePoint& o : p.observations) o.x += noise(rng), o.y += noise(rng);
  for (SpacePoint& s : p.points)
    if (s.controlFlag == 0) s.X += mm(rng), s.Y += mm(rng), s.Z += mm(rng);
  for (PhotoParams& ph : p.photos) {
    ph.Xs += mm(rng), ph.Ys += mm(rng), ph.Zs += mm(rng);
    ph.phi += mrad(rng), ph.omega += mrad(rng), ph.kappa += mrad(rng);
  }
}

inline Project Ring(int photos, int points) {
  Project p;
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> xy(-1000, 1000), z(-300, 300);
  for (int i = 0; i < photos; ++i) {
    const double a = 2 * M_PI * i / photos;
    PhotoParams ph;
    ph.Xs = 700 * std::cos(a);
    ph.Ys = 700 * std::sin(a);
    ph.Zs = 2600;
    ph.phi = -0.25 * std::cos(a);
    ph.omega = 0.25 * std::sin(a);
    ph.kappa = 0.01 * i;
    p.photos.push_back(ph);
  }
  for (int k = 0; k < points; ++k) {
    SpacePoint s;
    s.pointNumber = k;
    s.X = xy(rng);
    s.Y = xy(rng);
    s.Z = z(rng);
    s.controlFlag = k < 8 ? -1 : 0;
    p.points.push_back(s);
    for (int i = 0; i < photos; ++i)
      p.observations.push_back(ProjectSpacePoint(s.X, s.Y, s.Z, i, k, p.photos));
  }
  Disturb(p, rng);
  return p;
}

// A grid of photos 1 m above a field; each photo sees about `fraction` of
// the points; every 40th point is a control point.
inline Project Block(int photos, int points, double fraction) {
  Project p;
  std::mt19937 rng(11);
  int gx = static_cast<int>(std::round(std::sqrt(photos * 1.25)));
  const int gy = (photos + gx - 1) / gx;
  const double spacing = 100;
  const double width = gx * spacing, length = gy * spacing;
  const double half = 0.5 * std::sqrt(fraction * width * length);
  for (int i = 0; i < photos; ++i) {
    PhotoParams ph;
    ph.Xs = spacing * (i % gx + 0.5);
    ph.Ys = spacing * (i / gx + 0.5);
    ph.Zs = 1000;
    ph.kappa = 0.01 * (i % 5);
    p.photos.push_back(ph);
  }
  std::uniform_real_distribution<double> u(0, 1), z(-100, 100);
  for (int k = 0; k < points; ++k) {
    SpacePoint s;
    s.pointNumber = k;
    s.X = width * u(rng);
    s.Y = length * u(rng);
    s.Z = z(rng);
    s.controlFlag = k % 40 == 0 ? -1 : 0;
    int rays = 0;
    for (int i = 0; i < photos; ++i) {
      if (std::fabs(p.photos[i].Xs - s.X) > half || std::fabs(p.photos[i].Ys - s.Y) > half)
        continue;
      p.observations.push_back(ProjectSpacePoint(s.X, s.Y, s.Z, i, k, p.photos));
      ++rays;
    }
    if (rays < 2) {
      while (rays-- > 0) p.observations.pop_back();
      continue;
    }
    p.points.push_back(s);
  }
  Disturb(p, rng);
  return p;
}

// The settings the benchmarks run the core with: to convergence at 0.01 mm
// and 1e-6 rad, at most 60 iterations.
inline AdjustSettings BenchSettings() {
  AdjustSettings settings;
  settings.iterationLimit = 60;
  settings.coordTol = 0.01;
  settings.angleTol = 1e-6;
  return settings;
}

}  // namespace vistamet::bench
