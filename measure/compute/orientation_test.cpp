#include "measure/compute/orientation.h"

#include <cmath>
#include <numbers>
#include <vector>

#include <Eigen/Eigenvalues>
#include <gtest/gtest.h>

namespace vistamet {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kWidth = 4000, kHeight = 3000;

// The angle difference folded into (-pi, pi].
double AngleDiff(double a, double b) { return std::remainder(a - b, 2 * kPi); }

// A synthetic project: photos with known orientations and space points whose
// image points are their exact projections, stored in pixels.
struct Scene {
  std::vector<PhotoParams> photos;
  std::vector<ImageHolder> images;
  std::vector<SpacePoint> spacePoints;
  std::vector<ImagePoint> imagePoints;

  int AddPhoto(const ExteriorOrientation& eo) {
    PhotoParams p;
    p.SetExterior(eo);
    photos.push_back(p);
    ImageHolder img;
    img.width = kWidth;
    img.height = kHeight;
    images.push_back(img);
    return static_cast<int>(photos.size()) - 1;
  }
  void AddPoint(int32_t number, double X, double Y, double Z, bool control) {
    SpacePoint sp;
    sp.X = X;
    sp.Y = Y;
    sp.Z = Z;
    sp.pointNumber = number;
    sp.controlFlag = control ? 1 : 0;
    spacePoints.push_back(sp);
  }
  // The image of a space point on a photo, in pixels (exact projection with
  // f1 = f2 = f and no distortion).
  ImagePoint Observe(int photo, double X, double Y, double Z, int32_t number) const {
    ImagePoint mm = ProjectSpacePoint(X, Y, Z, photo, number, photos);
    PixelToPhoto(mm, PixelConversion::kPhotoToPixel, photos, images);
    return mm;
  }
  void Measure(int photo, int32_t number) {
    for (const SpacePoint& sp : spacePoints)
      if (sp.pointNumber == number) imagePoints.push_back(Observe(photo, sp.X, sp.Y, sp.Z, number));
  }
};

// The reference square and a fifth point inside it.
void AddControlField(Scene& s) {
  s.AddPoint(1000, 0, 0, 0, true);
  s.AddPoint(1001, 501, 0, 0, true);
  s.AddPoint(1002, 501, 501, 0, true);
  s.AddPoint(1003, 0, 501, 0, true);
  s.AddPoint(7, 120, 380, 0, true);
}

struct PoseCase {
  ExteriorOrientation eo;
  const char* note;
};
const PoseCase kPoses[] = {
    {{250, 250, 4000, 0, 0, 0}, "nadir over the field"},
    {{-800, 300, 3000, 0.2, -0.15, 0.3}, "oblique"},
    {{900, -600, 2500, -0.25, 0.2, 2.8}, "kappa beyond pi/2"},
    {{100, 1200, 3500, 0.05, -0.3, -2.5}, "negative kappa beyond -pi/2"},
    {{2000, 2200, 1800, -0.5, 0.45, -0.9}, "strongly convergent"},
};

TEST(ResectPhoto, RecoversKnownOrientationsFromFourPlanarControlPoints) {
  for (const PoseCase& c : kPoses) {
    SCOPED_TRACE(c.note);
    Scene s;
    AddControlField(s);
    const int photo = s.AddPhoto(c.eo);
    for (int32_t n : {1000, 1001, 1002, 1003}) s.Measure(photo, n);
    s.photos[photo].SetExterior({0, 0, 4000, 0, 0, 0});  // forget the truth

    ASSERT_EQ(ResectPhoto(s.imagePoints, s.spacePoints, s.photos, s.images, photo), 1);
    const PhotoParams& p = s.photos[photo];
    EXPECT_NEAR(p.Xs, c.eo.Xs, 1e-6);
    EXPECT_NEAR(p.Ys, c.eo.Ys, 1e-6);
    EXPECT_NEAR(p.Zs, c.eo.Zs, 1e-6);
    EXPECT_NEAR(AngleDiff(p.phi, c.eo.phi), 0, 1e-9);
    EXPECT_NEAR(AngleDiff(p.omega, c.eo.omega), 0, 1e-9);
    EXPECT_NEAR(AngleDiff(p.kappa, c.eo.kappa), 0, 1e-9);
    // Angles are not folded: kappa comes out in (-pi/2, 3pi/2).
    EXPECT_GT(p.kappa, -kPi / 2);
    EXPECT_LT(p.kappa, 3 * kPi / 2);
    // The camera values and e12, e13 stay.
    EXPECT_EQ(p.f1, 7.52);
    EXPECT_EQ(p.e12, 1.0);
    EXPECT_EQ(p.e13, 0.0);
  }
}

TEST(ResectPhoto, UsesTheFirstFourControlPointsOnly) {
  Scene s;
  AddControlField(s);
  s.AddPoint(3, 200, 200, 0, false);  // numbered, not a control point
  const ExteriorOrientation truth = kPoses[1].eo;
  const int other = s.AddPhoto({0, 0, 3000, 0, 0, 0});
  const int photo = s.AddPhoto(truth);
  s.Measure(other, 7);   // another photo's control point comes first
  s.Measure(photo, 3);   // an ordinary point comes first
  for (int32_t n : {1000, 1001, 1002, 1003}) s.Measure(photo, n);
  s.Measure(photo, 7);
  s.imagePoints.back().x += 250;  // a fifth control point, badly measured
  ImagePoint unnumbered = s.imagePoints[2];
  unnumbered.pointNumber = kNoNumber;
  s.imagePoints.insert(s.imagePoints.begin(), unnumbered);

  ASSERT_EQ(ResectPhoto(s.imagePoints, s.spacePoints, s.photos, s.images, photo), 1);
  EXPECT_NEAR(s.photos[photo].Xs, truth.Xs, 1e-6);
  EXPECT_NEAR(AngleDiff(s.photos[photo].kappa, truth.kappa), 0, 1e-9);
  EXPECT_EQ(CountMeasuredControlPoints(s.imagePoints, s.spacePoints, photo), 5);
  // The other photo is untouched.
  EXPECT_EQ(s.photos[other].Zs, 3000);
}

TEST(ResectPhoto, ControlPointHeightsDoNotEnter) {
  Scene flat;
  AddControlField(flat);
  const int photo = flat.AddPhoto(kPoses[4].eo);
  for (int32_t n : {1000, 1001, 1002, 1003}) flat.Measure(photo, n);
  Scene raised = flat;
  const double heights[] = {35, -20, 80, 5};
  for (int i = 0; i < 4; ++i) raised.spacePoints[i].Z = heights[i];

  ASSERT_EQ(ResectPhoto(flat.imagePoints, flat.spacePoints, flat.photos, flat.images, photo), 1);
  ASSERT_EQ(ResectPhoto(raised.imagePoints, raised.spacePoints, raised.photos, raised.images, photo), 1);
  EXPECT_EQ(flat.photos[photo], raised.photos[photo]);
}

TEST(ResectPhoto, RefusalsLeaveThePhotoUnchanged) {
  struct Case {
    const char* note;
    void (*edit)(Scene&);
    int photo;
  };
  const Case cases[] = {
      {"three control points", [](Scene& s) { s.imagePoints.pop_back(); }, 0},
      {"a control point turned ordinary", [](Scene& s) { s.spacePoints[2].controlFlag = 0; }, 0},
      {"collinear control points",
       [](Scene& s) {
         s.spacePoints[1] = {250, 0, 0, 1001, 1};
         s.spacePoints[3] = {125, 0, 0, 1003, 1};
       },
       0},
      {"coinciding control points", [](Scene& s) { s.spacePoints[3].X = 501; s.spacePoints[3].Y = 501; }, 0},
      {"photo index out of range", [](Scene&) {}, 1},
      {"negative photo index", [](Scene&) {}, -1},
      {"zero principal distance", [](Scene& s) { s.photos[0].f1 = 0; }, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.note);
    Scene s;
    AddControlField(s);
    s.AddPhoto(kPoses[1].eo);
    for (int32_t n : {1000, 1001, 1002, 1003}) s.Measure(0, n);
    s.photos[0].SetExterior({1, 2, 3, 0.1, 0.2, 0.3});
    c.edit(s);
    const std::vector<PhotoParams> before = s.photos;
    EXPECT_EQ(ResectPhoto(s.imagePoints, s.spacePoints, s.photos, s.images, c.photo), 0);
    EXPECT_EQ(s.photos, before);
  }
}

TEST(ResectPhoto, SaysWhyAPhotoCannotBeResected) {
  struct Case {
    const char* note;
    void (*edit)(Scene&);
    int photo;
    ResectStatus expected;
  };
  // Moves the first three image points onto one line of the photo, pixels.
  auto line_in_image = [](Scene& s) {
    for (int i = 0; i < 3; ++i) {
      s.imagePoints[i].x = 1000 + 700 * i;
      s.imagePoints[i].y = 800 + 350 * i;
    }
  };
  const Case cases[] = {
      {"all four on one line of the plane",
       [](Scene& s) {
         for (int i = 0; i < 4; ++i) s.spacePoints[i].X = 0, s.spacePoints[i].Y = 100.0 * i;
       },
       0, ResectStatus::kCollinearControlPoints},
      {"three on one line of the plane",
       [](Scene& s) { s.spacePoints[1] = {250, 0, 0, 1001, 1}; s.spacePoints[3] = {125, 0, 0, 1003, 1}; },
       0, ResectStatus::kCollinearControlPoints},
      {"nearly on one line of the plane",
       [](Scene& s) {
         for (int i = 0; i < 4; ++i) s.spacePoints[i].X = 1e-12 * i, s.spacePoints[i].Y = 100.0 * i;
       },
       0, ResectStatus::kCollinearControlPoints},
      {"three on one line in the image", line_in_image, 0, ResectStatus::kCollinearControlPoints},
      {"two control points coincide",
       [](Scene& s) { s.spacePoints[3].X = 501; s.spacePoints[3].Y = 501; },
       0, ResectStatus::kCollinearControlPoints},
      {"three control points measured", [](Scene& s) { s.imagePoints.pop_back(); }, 0,
       ResectStatus::kTooFewControlPoints},
      {"photo index out of range", [](Scene&) {}, 1, ResectStatus::kTooFewControlPoints},
      {"zero principal distance", [](Scene& s) { s.photos[0].f1 = 0; }, 0,
       ResectStatus::kNoSolution},
      {"a square seen obliquely", [](Scene&) {}, 0, ResectStatus::kResected},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.note);
    Scene s;
    AddControlField(s);
    s.AddPhoto(kPoses[1].eo);
    for (int32_t n : {1000, 1001, 1002, 1003}) s.Measure(0, n);
    c.edit(s);
    ResectStatus status = ResectStatus::kResected;
    const int ok = ResectPhoto(s.imagePoints, s.spacePoints, s.photos, s.images, c.photo, &status);
    EXPECT_EQ(status, c.expected);
    EXPECT_EQ(ok, c.expected == ResectStatus::kResected ? 1 : 0);
  }
  // A collinear set fails even when a fifth, well-placed control point
  // follows it: only the first four are used.
  Scene s;
  AddControlField(s);
  s.AddPhoto(kPoses[1].eo);
  for (int32_t n : {1000, 1001, 1002, 1003, 7}) s.Measure(0, n);
  line_in_image(s);
  ResectStatus status = ResectStatus::kResected;
  EXPECT_EQ(ResectPhoto(s.imagePoints, s.spacePoints, s.photos, s.images, 0, &status), 0);
  EXPECT_EQ(status, ResectStatus::kCollinearControlPoints);
}

TEST(OrientationFromPose, AngleBranchRules) {
  struct Case {
    double r12, r22, r31, r33, phi, kappa;
    const char* note;
  };
  const double h = std::sqrt(0.5);
  const Case cases[] = {
      {0, 1, 0, 1, 0, 0, "identity"},
      {h, h, h, h, kPi / 4, kPi / 4, "positive denominators"},
      {h, -h, h, -h, 3 * kPi / 4, 3 * kPi / 4, "negative denominators add pi"},
      {-h, -h, -h, -h, 5 * kPi / 4, 5 * kPi / 4, "third quadrant stays above pi"},
      {1, 0, 1, 0, kPi / 2, kPi / 2, "zero denominators, non-negative numerators"},
      {-1, 0, -1, 0, 3 * kPi / 2, 3 * kPi / 2, "zero denominators, negative: 3pi/2 not -pi/2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.note);
    CameraPose pose;
    pose.R = {0, c.r12, 0, 0, c.r22, 0, c.r31, 0, c.r33};
    const ExteriorOrientation eo = OrientationFromPose(pose);
    EXPECT_NEAR(eo.phi, c.phi, 1e-15);
    EXPECT_NEAR(eo.kappa, c.kappa, 1e-15);
  }
  // omega stays finite when rounding carries r32 just past 1.
  CameraPose pose;
  pose.R = {1, 0, 0, 0, 0, -1, 0, 1 + 1e-15, 0};
  EXPECT_NEAR(OrientationFromPose(pose).omega, kPi / 2, 1e-12);
  // Projection centre: Xs and Ys carry the minus sign, Zs does not.
  pose.R = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  pose.t = {10, 20, 4000};
  const ExteriorOrientation eo = OrientationFromPose(pose);
  EXPECT_EQ(eo.Xs, -10);
  EXPECT_EQ(eo.Ys, -20);
  EXPECT_EQ(eo.Zs, 4000);
}

TEST(JacobiEigen, MatchesAReferenceDecomposition) {
  for (int n : {1, 2, 5, 9}) {
    SCOPED_TRACE(n);
    Eigen::MatrixXd M(n, n);
    for (int i = 0; i < n; ++i)
      for (int j = 0; j <= i; ++j) M(i, j) = M(j, i) = std::cos(1.7 * i + 0.3 * j * j) * (1 + i);
    std::vector<double> a(M.data(), M.data() + n * n), v(n * n);
    ASSERT_EQ(JacobiEigen(a, n, 1e-15, v), 1);
    Eigen::VectorXd got(n);
    for (int k = 0; k < n; ++k) {
      got(k) = a[k * n + k];
      Eigen::VectorXd vec(n);
      for (int i = 0; i < n; ++i) vec(i) = v[i * n + k];
      EXPECT_NEAR(vec.norm(), 1.0, 1e-12);
      EXPECT_LT((M * vec - got(k) * vec).norm(), 1e-12 * (1 + M.norm()));
    }
    std::sort(got.data(), got.data() + n);
    const Eigen::VectorXd want = Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd>(M).eigenvalues();
    for (int k = 0; k < n; ++k) EXPECT_NEAR(got(k), want(k), 1e-12 * (1 + M.norm()));
  }
}

TEST(JacobiEigen, RefusesNonFiniteInputInsteadOfLooping) {
  std::vector<double> a = {1, std::nan(""), std::nan(""), 2}, v(4);
  EXPECT_EQ(JacobiEigen(a, 2, 1e-15, v), 0);
  std::vector<double> inf = {1, INFINITY, INFINITY, 2};
  EXPECT_EQ(JacobiEigen(inf, 2, 1e-15, v), 0);
  std::vector<double> small(3);
  EXPECT_EQ(JacobiEigen(small, 2, 1e-15, v), 0);
}

// Two and three photos of points off the control plane.
TEST(IntersectRays, RecoversPointsFromTwoAndThreePhotos) {
  Scene s;
  s.AddPhoto({-900, 200, 3200, -0.25, 0.05, 0.1});
  s.AddPhoto({1300, 350, 3000, 0.3, -0.04, -0.2});
  s.AddPhoto({250, -1100, 2800, 0.02, -0.35, 3.0});
  const ObjectPoint truth[] = {{0, 0, 0}, {250, 300, 180}, {480, -60, -95}, {-120, 510, 420}};
  for (const ObjectPoint& P : truth) {
    std::vector<ImagePoint> rays;
    for (int photo = 0; photo < 3; ++photo) {
      ImagePoint ip = s.Observe(photo, P.X, P.Y, P.Z, 5);
      ASSERT_EQ(PixelToPhoto(ip, PixelConversion::kPixelToPhoto, s.photos, s.images), 1);
      rays.push_back(ip);
    }
    for (size_t count : {2u, 3u}) {
      SCOPED_TRACE(count);
      ObjectPoint got;
      ASSERT_EQ(IntersectRays(std::span(rays).first(count), s.photos, &got), 1);
      EXPECT_NEAR(got.X, P.X, 1e-6);
      EXPECT_NEAR(got.Y, P.Y, 1e-6);
      EXPECT_NEAR(got.Z, P.Z, 1e-6);
    }
  }
}

TEST(IntersectRays, IsTheMeanOfAllPairsAndSkipsUnusablePairs) {
  Scene s;
  s.AddPhoto({-900, 200, 3200, -0.25, 0.05, 0.1});
  s.AddPhoto({1300, 350, 3000, 0.3, -0.04, -0.2});
  s.AddPhoto({250, -1100, 2800, 0.02, -0.35, 3.0});
  std::vector<ImagePoint> rays;
  for (int photo = 0; photo < 3; ++photo) {
    ImagePoint ip = s.Observe(photo, 200, 150, 60, 9);
    PixelToPhoto(ip, PixelConversion::kPixelToPhoto, s.photos, s.images);
    ip.x += 0.004 * (photo + 1);  // perturbed: the pairs disagree
    ip.y -= 0.003 * photo;
    rays.push_back(ip);
  }
  ObjectPoint p01, p02, p12, mean;
  ASSERT_EQ(IntersectTwoRays(rays[0], s.photos[0], rays[1], s.photos[1], &p01), 1);
  ASSERT_EQ(IntersectTwoRays(rays[0], s.photos[0], rays[2], s.photos[2], &p02), 1);
  ASSERT_EQ(IntersectTwoRays(rays[1], s.photos[1], rays[2], s.photos[2], &p12), 1);
  ASSERT_EQ(IntersectRays(rays, s.photos, &mean), 1);
  EXPECT_GT(std::fabs(p01.X - p12.X), 0.1);
  EXPECT_NEAR(mean.X, (p01.X + p02.X + p12.X) / 3, 1e-9);
  EXPECT_NEAR(mean.Y, (p01.Y + p02.Y + p12.Y) / 3, 1e-9);
  EXPECT_NEAR(mean.Z, (p01.Z + p02.Z + p12.Z) / 3, 1e-9);

  // A ray on a photo that does not exist leaves its pairs out.
  std::vector<ImagePoint> withBad = rays;
  withBad[2].photoIndex = 9;
  ASSERT_EQ(IntersectRays(withBad, s.photos, &mean), 1);
  EXPECT_NEAR(mean.X, p01.X, 1e-9);

  // A ray parallel to ray 0 (same direction from a shifted centre) is left
  // out of the mean: only (0, 2) and (1, 2)... here (0,1) is parallel.
  std::vector<PhotoParams> photos = s.photos;
  photos[1] = photos[0];
  photos[1].Xs += 500;
  std::vector<ImagePoint> parallel = rays;
  parallel[1].x = parallel[0].x;
  parallel[1].y = parallel[0].y;
  ObjectPoint q02, q12;
  EXPECT_EQ(IntersectTwoRays(parallel[0], photos[0], parallel[1], photos[1], &q02), 0);
  ASSERT_EQ(IntersectTwoRays(parallel[0], photos[0], parallel[2], photos[2], &q02), 1);
  ASSERT_EQ(IntersectTwoRays(parallel[1], photos[1], parallel[2], photos[2], &q12), 1);
  ASSERT_EQ(IntersectRays(parallel, photos, &mean), 1);
  EXPECT_NEAR(mean.X, (q02.X + q12.X) / 2, 1e-9);
}

TEST(IntersectRays, NothingToIntersect) {
  Scene s;
  s.AddPhoto({0, 0, 3000, 0, 0, 0});
  s.AddPhoto({0, 0, 3000, 0, 0, 0});
  ImagePoint ray;
  ray.photoIndex = 0;
  ray.x = 0.5;
  ObjectPoint out{1, 2, 3};
  EXPECT_EQ(IntersectRays({}, s.photos, &out), 0);
  EXPECT_EQ(IntersectRays(std::span(&ray, 1), s.photos, &out), 0);
  // Two identical rays from one centre: parallel, no pair.
  ImagePoint other = ray;
  other.photoIndex = 1;
  const ImagePoint both[] = {ray, other};
  EXPECT_EQ(IntersectRays(both, s.photos, &out), 0);
  // A ray without direction (x = y = f = 0).
  std::vector<PhotoParams> flat = s.photos;
  flat[0].f = 0;
  ImagePoint centre;
  centre.photoIndex = 0;
  EXPECT_EQ(IntersectTwoRays(centre, flat[0], ray, flat[1], &out), 0);
  EXPECT_EQ(out.X, 1);
  EXPECT_EQ(out.Z, 3);
}

}  // namespace
}  // namespace vistamet
