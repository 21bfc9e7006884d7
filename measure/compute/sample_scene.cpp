#include "measure/compute/sample_scene.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "measure/compute/camera_model.h"

namespace vistamet {

namespace {

// The control field, mm: the reference square 1000..1003 (501 mm side) on
// the plane Z = 0, four further control points (1..4), and ordinary points
// (5..) on and well off the plane.
std::vector<SpacePoint> FieldPoints() {
  std::vector<SpacePoint> pts;
  auto add = [&](int32_t n, double x, double y, double z, int control) {
    SpacePoint s;
    s.pointNumber = n;
    s.X = x;
    s.Y = y;
    s.Z = z;
    s.controlFlag = control;
    pts.push_back(s);
  };
  add(1000, 0, 0, 0, 1);
  add(1001, 501, 0, 0, 1);
  add(1002, 501, 501, 0, 1);
  add(1003, 0, 501, 0, 1);
  add(1, -350, -250, 120, 1);
  add(2, 850, -260, 40, 1);
  add(3, 860, 760, 180, 1);
  add(4, -340, 770, 60, 1);
  int32_t n = 5;
  const double xs[] = {-250, 80, 400, 720};
  const double ys[] = {-150, 250, 650};
  for (double y : ys)
    for (double x : xs) {
      // Alternate heights: a plane, a raised block and a deep step.
      const double z = (n % 3 == 0) ? 350.0 : (n % 3 == 1 ? 0.0 : -180.0);
      add(n++, x, y, z, 0);
    }
  return pts;
}

double SquaredCentreOffset(const PhotoParams& p, double cx, double cy, double cz) {
  const ImagePoint ip = ProjectSpacePoint(cx, cy, cz, 0, 0, {p});
  return ip.x * ip.x + ip.y * ip.y;
}

// A convergent station: the angles that bring the field centre to the
// middle of the photo, found by a coarse-to-fine search.
PhotoParams Station(double xs, double ys, double zs, double kappa, double cx, double cy,
                    double cz, double pixel_size) {
  PhotoParams p;
  p.pixelSize = pixel_size;
  p.Xs = xs;
  p.Ys = ys;
  p.Zs = zs;
  p.kappa = kappa;
  double step = 0.05;
  for (int round = 0; round < 6; ++round, step /= 5) {
    double best = SquaredCentreOffset(p, cx, cy, cz);
    const double phi0 = p.phi, omega0 = p.omega;
    for (int i = -10; i <= 10; ++i)
      for (int j = -10; j <= 10; ++j) {
        PhotoParams q = p;
        q.phi = phi0 + i * step;
        q.omega = omega0 + j * step;
        const double d = SquaredCentreOffset(q, cx, cy, cz);
        if (d < best) {
          best = d;
          p.phi = q.phi;
          p.omega = q.omega;
        }
      }
  }
  return p;
}

}  // namespace

SampleScene MakeSampleScene(const SampleOptions& o) {
  SampleScene scene;
  scene.points = FieldPoints();
  const double cx = 250, cy = 250, cz = 50;
  const double stations[8][4] = {
      {-150, -120, 1450, 0.00},  {650, -100, 1400, 0.06},  {640, 620, 1480, -0.05},
      {-140, 600, 1420, 0.03},   {250, -300, 1350, 0.10},  {800, 250, 1400, -0.08},
      {250, 800, 1380, 0.02},    {-300, 250, 1420, -0.04}};
  const int n = std::clamp(o.photos, 2, 8);
  // The sensor keeps its size: smaller photos have larger pixels.
  const double pixel_size = 0.0036 * 3000.0 / o.width;
  for (int i = 0; i < n; ++i)
    scene.photos.push_back(Station(stations[i][0], stations[i][1], stations[i][2],
                                   stations[i][3], cx, cy, cz, pixel_size));
  scene.observations.resize(n);
  std::mt19937 rng(o.seed + 1);
  std::normal_distribution<double> noise(0.0, o.noisePx > 0 ? o.noisePx : 1.0);
  for (int i = 0; i < n; ++i) {
    for (const SpacePoint& s : scene.points) {
      ImagePoint ip = ProjectSpacePoint(s.X, s.Y, s.Z, i, s.pointNumber, scene.photos);
      double px = 0, py = 0;
      if (PixelFromImagePlane(scene.photos[i], o.width, o.height, ip.x, ip.y, &px, &py) != 1)
        continue;
      if (px < 20 || py < 20 || px > o.width - 20 || py > o.height - 20) continue;
      ip.x = px;
      ip.y = py;
      scene.observations[i].push_back(ip);
      if (o.noisePx > 0) {
        ImagePoint& noisy = scene.observations[i].back();
        noisy.x += noise(rng);
        noisy.y += noise(rng);
      }
    }
  }
  return scene;
}

}  // namespace vistamet
