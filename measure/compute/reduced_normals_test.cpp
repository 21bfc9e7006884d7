#include "measure/compute/reduced_normals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "common/atomic_file.h"
#include "measure/compute/adjustment.h"
#include "measure/compute/camera_model.h"
#include "measure/compute/sample_scene.h"
#include "measure/records/test_support.h"

namespace vistamet {
namespace {

struct Problem {
  std::vector<ImagePoint> observations;
  std::vector<SpacePoint> points;
  std::vector<PhotoParams> photos;
};

// The sample scene with noisy measurements in image-plane mm, control points
// held, the other points and the photos started away from the truth.
Problem NoisySample(int photos, unsigned seed) {
  SampleOptions o;
  o.photos = photos;
  o.noisePx = 0.3;
  o.seed = seed;
  const SampleScene scene = MakeSampleScene(o);
  Problem p;
  p.photos = scene.photos;
  for (const SpacePoint& s : scene.points) {
    SpacePoint entry = s;
    entry.controlFlag = s.IsControl() ? -1 : 0;
    if (!s.IsControl()) entry.X += 2, entry.Y -= 1.5, entry.Z += 3;
    p.points.push_back(entry);
  }
  for (int i = 0; i < photos; ++i)
    for (ImagePoint ip : scene.observations[i]) {
      double x = 0, y = 0;
      ImagePlaneFromPixel(scene.photos[i], o.width, o.height, ip.x, ip.y, &x, &y);
      ip.x = x;
      ip.y = y;
      p.observations.push_back(ip);
    }
  // Observations grouped by point, as the adjustment wants them.
  std::stable_sort(p.observations.begin(), p.observations.end(),
                   [&](const ImagePoint& a, const ImagePoint& b) {
                     auto rank = [&](int32_t n) {
                       for (size_t k = 0; k < p.points.size(); ++k)
                         if (p.points[k].pointNumber == n) return k;
                       return p.points.size();
                     };
                     return rank(a.pointNumber) < rank(b.pointNumber);
                   });
  p.photos[0].Xs += 4;
  p.photos[1].kappa -= 0.002;
  return p;
}

// Photos on a ring above a random field; each point is seen on a random
// subset of two photos or more, with noise.
Problem RandomProject(unsigned seed, int photos, int points) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> xy(-500, 500), z(-150, 150), u(0, 1);
  std::normal_distribution<double> noise(0, 0.001);
  Problem p;
  for (int i = 0; i < photos; ++i) {
    const double a = 2 * M_PI * i / photos;
    PhotoParams ph;
    ph.Xs = 400 * std::cos(a), ph.Ys = 400 * std::sin(a), ph.Zs = 1500;
    ph.phi = -0.25 * std::cos(a), ph.omega = 0.25 * std::sin(a), ph.kappa = 0.1 * i;
    p.photos.push_back(ph);
  }
  for (int k = 0; k < points; ++k) {
    SpacePoint s;
    s.pointNumber = 100 + k;
    s.X = xy(rng), s.Y = xy(rng), s.Z = z(rng);
    s.controlFlag = k < 5 ? -1 : 0;
    std::vector<int> seen;
    for (int i = 0; i < photos; ++i)
      if (u(rng) < 0.6 || k < 5) seen.push_back(i);
    while (seen.size() < 2) seen.push_back(static_cast<int>(seen.empty() ? 0 : (seen[0] + 1) % photos));
    for (int i : seen) {
      ImagePoint ip = ProjectSpacePoint(s.X, s.Y, s.Z, i, s.pointNumber, p.photos);
      ip.x += noise(rng);
      ip.y += noise(rng);
      ip.weightX = 1 + u(rng);
      p.observations.push_back(ip);
    }
    if (s.controlFlag == 0) s.X += 3 * (u(rng) - 0.5), s.Z += 5 * (u(rng) - 0.5);
    p.points.push_back(s);
  }
  p.photos[0].Ys -= 6;
  p.photos[photos - 1].omega += 0.003;
  return p;
}

struct Outcome {
  Problem p;
  AdjustSummary sum;
  int result = 0;
};

Outcome Solve(const Problem& problem, AdjustEngine engine, AdjustSettings settings) {
  Outcome r{problem, {}, 0};
  settings.engine = engine;
  r.result = Adjust(r.p.observations, r.p.points, r.p.photos, settings, nullptr,
                    AdjustmentReports(), nullptr, &r.sum);
  return r;
}

AdjustSettings Tight() {
  AdjustSettings s;
  s.iterationLimit = 40;
  s.coordTol = 1e-7;
  s.angleTol = 1e-11;
  return s;
}

// Every unknown of the two runs: points within 1e-9 mm, positions within
// 1e-9 mm, angles within 1e-12 rad.
void ExpectSameUnknowns(const Outcome& a, const Outcome& b, const std::string& what) {
  ASSERT_EQ(a.result, b.result) << what;
  for (size_t k = 0; k < a.p.points.size(); ++k) {
    EXPECT_NEAR(a.p.points[k].X, b.p.points[k].X, 1e-9) << what << " point " << k;
    EXPECT_NEAR(a.p.points[k].Y, b.p.points[k].Y, 1e-9) << what << " point " << k;
    EXPECT_NEAR(a.p.points[k].Z, b.p.points[k].Z, 1e-9) << what << " point " << k;
  }
  for (size_t i = 0; i < a.p.photos.size(); ++i) {
    const ExteriorOrientation x = a.p.photos[i].Exterior(), y = b.p.photos[i].Exterior();
    EXPECT_NEAR(x.Xs, y.Xs, 1e-9) << what << " photo " << i;
    EXPECT_NEAR(x.Ys, y.Ys, 1e-9) << what << " photo " << i;
    EXPECT_NEAR(x.Zs, y.Zs, 1e-9) << what << " photo " << i;
    EXPECT_NEAR(x.phi, y.phi, 1e-12) << what << " photo " << i;
    EXPECT_NEAR(x.omega, y.omega, 1e-12) << what << " photo " << i;
    EXPECT_NEAR(x.kappa, y.kappa, 1e-12) << what << " photo " << i;
  }
}

TEST(ReducedEngine, SameUnknownsAsTheDenseEngineOnTheSample) {
  for (int photos : {4, 8}) {
    const Problem p = NoisySample(photos, 7);
    const Outcome dense = Solve(p, AdjustEngine::kDense, Tight());
    const Outcome reduced = Solve(p, AdjustEngine::kReduced, Tight());
    ASSERT_EQ(dense.result, 1);
    ExpectSameUnknowns(dense, reduced, "sample, photos " + std::to_string(photos));
    EXPECT_FALSE(reduced.sum.usedSparse);
  }
}

TEST(ReducedEngine, SameUnknownsOnSmallRandomProjects) {
  struct Case {
    const char* what;
    unsigned seed;
    int photos, points;
    AdjustSwitches switches;
    bool idle_photo;  // one more photo that sees nothing
  } cases[] = {
      {"3 photos", 1, 3, 12, {}, false},
      {"5 photos", 2, 5, 30, {}, false},
      {"6 photos", 3, 6, 25, {}, false},
      {"kappa and Z held", 4, 4, 20, {true, true, true, true, true, false, true, true, false}, false},
      {"positions held", 5, 4, 20, {false, false, false, true, true, true, true, true, true}, false},
      {"a photo without image points", 6, 4, 20, {}, true},
  };
  for (const Case& c : cases) {
    Problem p = RandomProject(c.seed, c.photos, c.points);
    if (c.idle_photo) p.photos.push_back(p.photos[0]);
    AdjustSettings settings = Tight();
    settings.switches = c.switches;
    const Outcome dense = Solve(p, AdjustEngine::kDense, settings);
    const Outcome reduced = Solve(p, AdjustEngine::kReduced, settings);
    EXPECT_EQ(dense.result, 1) << c.what;
    ExpectSameUnknowns(dense, reduced, c.what);
  }
}

std::string Read(const std::string& path) {
  std::string text;
  common::ReadWholeFile(path, &text);
  return text;
}

TEST(ReducedEngine, ReportsAreTheSameToTheirPrintedDigits) {
  for (unsigned seed : {11u, 12u, 13u}) {
    const Problem p = seed == 11 ? NoisySample(6, seed) : RandomProject(seed, 5, 25);
    AdjustSettings settings;
    settings.coordTol = 0.01;
    settings.angleTol = 1e-6;
    testing::TempDir a, b;
    Problem pa = p, pb = p;
    settings.engine = AdjustEngine::kDense;
    Adjust(pa.observations, pa.points, pa.photos, settings, nullptr, AdjustmentReports(a.path()));
    settings.engine = AdjustEngine::kReduced;
    Adjust(pb.observations, pb.points, pb.photos, settings, nullptr, AdjustmentReports(b.path()));
    for (const char* name : {AdjustmentReports::kInput, AdjustmentReports::kOrientations,
                             AdjustmentReports::kPoints, AdjustmentReports::kResiduals}) {
      const std::string ta = Read(AdjustmentReports(a.path()).PathOf(name));
      EXPECT_FALSE(ta.empty()) << name;
      EXPECT_EQ(ta, Read(AdjustmentReports(b.path()).PathOf(name))) << name << " seed " << seed;
    }
  }
}

// A strip of photos, each seeing the points below it: the reduced system is
// mostly zero and goes to the sparse factorisation.
Problem Strip(int photos, int points, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> u(0, 1);
  std::normal_distribution<double> noise(0, 0.001);
  Problem p;
  const double length = 100.0 * photos;
  for (int i = 0; i < photos; ++i) {
    PhotoParams ph;
    ph.Xs = 100.0 * i, ph.Ys = 0, ph.Zs = 1000;
    ph.kappa = 0.01 * (i % 3);
    p.photos.push_back(ph);
  }
  for (int k = 0; k < points; ++k) {
    SpacePoint s;
    s.pointNumber = k;
    s.X = length * (k + 0.5) / points - 50;
    s.Y = 300 * (u(rng) - 0.5);
    s.Z = 100 * (u(rng) - 0.5);
    s.controlFlag = k % 6 == 0 ? -1 : 0;
    for (int i = 0; i < photos; ++i) {
      if (std::fabs(p.photos[i].Xs - s.X) > 260) continue;
      ImagePoint ip = ProjectSpacePoint(s.X, s.Y, s.Z, i, k, p.photos);
      ip.x += noise(rng), ip.y += noise(rng);
      p.observations.push_back(ip);
    }
    if (s.controlFlag == 0) s.Y += 2, s.Z -= 3;
    p.points.push_back(s);
  }
  p.photos[5].Zs += 3;
  return p;
}

TEST(ReducedEngine, SparseFactorisationWhenPhotosSeePartOfTheObject) {
  const Problem p = Strip(ReducedNormals::kSparseFromPhotos + 2, 110, 3);
  const Outcome dense = Solve(p, AdjustEngine::kDense, Tight());
  const Outcome reduced = Solve(p, AdjustEngine::kReduced, Tight());
  EXPECT_TRUE(reduced.sum.usedSparse);
  ExpectSameUnknowns(dense, reduced, "strip");
}

TEST(ReducedEngine, DegenerateAndFailedSolvesEndAsWithTheDenseEngine) {
  // Two identical rays of one point from one photo leave its depth free: the
  // pivot shift keeps both engines finite, with the same estimate.
  Problem p = RandomProject(9, 4, 12);
  const SpacePoint& last = p.points.back();
  ASSERT_EQ(last.controlFlag, 0);
  std::vector<ImagePoint> kept;
  for (const ImagePoint& o : p.observations)
    if (o.pointNumber != last.pointNumber) kept.push_back(o);
  const ImagePoint ray = ProjectSpacePoint(last.X, last.Y, last.Z, 1, last.pointNumber, p.photos);
  kept.push_back(ray);
  kept.push_back(ray);
  p.observations = kept;
  AdjustSettings settings = Tight();
  settings.iterationLimit = 3;
  const Outcome dense = Solve(p, AdjustEngine::kDense, settings);
  const Outcome reduced = Solve(p, AdjustEngine::kReduced, settings);
  EXPECT_EQ(reduced.sum.status, dense.sum.status);
  EXPECT_NEAR(reduced.p.points.back().Z, dense.p.points.back().Z, 1e-6);
  EXPECT_NEAR(reduced.p.photos[1].Exterior().phi, dense.p.photos[1].Exterior().phi, 1e-12);

  // An unknown point at a projection centre has no image: both fail; the
  // reduced engine names the first unknown of that photo, where the dense
  // inversion has spread the failure to every unknown.
  Problem q = RandomProject(10, 4, 12);
  q.points.back().X = q.photos[2].Xs;
  q.points.back().Y = q.photos[2].Ys;
  q.points.back().Z = q.photos[2].Zs;
  const Outcome d2 = Solve(q, AdjustEngine::kDense, settings);
  const Outcome r2 = Solve(q, AdjustEngine::kReduced, settings);
  EXPECT_EQ(r2.sum.status, AdjustStatus::kSolveFailed);
  EXPECT_EQ(d2.sum.status, AdjustStatus::kSolveFailed);
  EXPECT_EQ(d2.sum.failedUnknown, 0);
  EXPECT_EQ(r2.sum.failedUnknown, 12);
}

TEST(ReducedEngine, PrecisionAgreesWithTheInverseAndHeldUnknownsHaveNone) {
  const Problem p = RandomProject(21, 5, 25);
  AdjustSettings settings = Tight();
  settings.precision = true;
  settings.switches.kappa = false;
  settings.switches.Z = false;
  const Outcome dense = Solve(p, AdjustEngine::kDense, settings);
  const Outcome reduced = Solve(p, AdjustEngine::kReduced, settings);
  const AdjustPrecision& a = dense.sum.precision;
  const AdjustPrecision& b = reduced.sum.precision;
  ASSERT_TRUE(a.available && b.available);
  EXPECT_GT(b.sigma0, 0);
  EXPECT_NEAR(a.sigma0, b.sigma0, 1e-12);
  EXPECT_EQ(b.redundancy, dense.sum.redundancy);
  ASSERT_EQ(b.points.size(), p.points.size());
  for (size_t j = 0; j < p.points.size(); ++j) {
    EXPECT_EQ(b.pointNumbers[j], p.points[j].pointNumber);
    const bool fixed = p.points[j].controlFlag != 0;
    for (int e = 0; e < 3; ++e) {
      if (fixed || e == 2) {
        EXPECT_EQ(b.points[j][e], 0.0) << j << " " << e;
      } else {
        EXPECT_GT(b.points[j][e], 0.0) << j << " " << e;
        EXPECT_NEAR(a.points[j][e], b.points[j][e], 1e-6 * b.points[j][e]) << j << " " << e;
      }
    }
  }
  for (size_t i = 0; i < p.photos.size(); ++i)
    for (int e = 0; e < 6; ++e) {
      if (e == 5) {
        EXPECT_EQ(b.photos[i][e], 0.0);
      } else {
        EXPECT_NEAR(a.photos[i][e], b.photos[i][e], 1e-4 * b.photos[i][e]) << i << " " << e;
      }
    }
  // By number; a number not adjusted has none.
  EXPECT_EQ(b.OfPoint(p.points[7].pointNumber), &b.points[7]);
  EXPECT_EQ(b.OfPoint(99999), nullptr);
}

TEST(ReducedEngine, PrecisionReportSaysWhyThereIsNone) {
  testing::TempDir dir;
  const AdjustmentReports reports(dir.path());
  Problem p = RandomProject(22, 4, 15);
  AdjustSettings settings = Tight();
  Adjust(p.observations, p.points, p.photos, settings, nullptr, reports);
  EXPECT_EQ(Read(reports.PathOf(AdjustmentReports::kPrecision)),
            "Adjustment: converged, 5 iterations\nNo precision: not computed\n");
  settings.precision = true;
  Adjust(p.observations, p.points, p.photos, settings, nullptr, reports);
  const std::string text = Read(reports.PathOf(AdjustmentReports::kPrecision));
  EXPECT_NE(text.find("\nsigma0 = "), std::string::npos);
  EXPECT_NE(text.find("  100     0.0000     0.0000     0.0000  fixed\n"), std::string::npos);
}

// The equations of a wide project straight into the blocks: every point on
// ten random photos, random coefficients.
void FillRandom(ReducedNormals& normals, int photos, int points, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> u(-1, 1);
  std::uniform_int_distribution<int> photo(0, photos - 1);
  std::vector<int> photo_of, point_of;
  for (int j = 0; j < points; ++j)
    for (int r = 0; r < 10; ++r) {
      photo_of.push_back(photo(rng));
      point_of.push_back(j);
    }
  const bool all6[6] = {true, true, true, true, true, true}, all3[3] = {true, true, true};
  normals.Setup(photos, points, photo_of, point_of, all6, all3);
  normals.SetDiagonalShift(1e-11);
  for (size_t k = 0; k < photo_of.size(); ++k)
    for (int row = 0; row < 2; ++row) {
      double pc[6], qc[3];
      for (double& c : pc) c = u(rng);
      for (double& c : qc) c = u(rng);
      normals.Add(static_cast<int>(k), pc, qc, u(rng), 1 + 0.5 * u(rng));
    }
}

TEST(ReducedNormalsThreads, TwoThreadsSolveAsOne) {
  // 40 photos and 400 points: 240 photo unknowns, work above the limit.
  constexpr int kPhotos = 40, kPoints = 400;
  ASSERT_GE(36.0 * kPhotos * kPhotos * kPoints, ReducedNormals::kTwoThreadWork);
  std::vector<double> dc1, dp1, dc2, dp2;
  double p1[6], p2[6], q1[3], q2[3];
  {
    ReducedNormals one;
    FillRandom(one, kPhotos, kPoints, 5);
    one.SetTwoThreadWork(1e300);
    one.Solve(dc1, dp1, true);
    ASSERT_TRUE(one.PhotoCofactorDiagonal(7, p1));
    ASSERT_TRUE(one.PointCofactorDiagonal(123, q1));
  }
  ReducedNormals two;
  FillRandom(two, kPhotos, kPoints, 5);
  two.Solve(dc2, dp2, true);
  ASSERT_TRUE(two.PhotoCofactorDiagonal(7, p2));
  ASSERT_TRUE(two.PointCofactorDiagonal(123, q2));
  ASSERT_EQ(dc1.size(), dc2.size());
  ASSERT_EQ(dp1.size(), dp2.size());
  for (size_t i = 0; i < dc1.size(); ++i) {
    ASSERT_TRUE(std::isfinite(dc1[i])) << i;
    EXPECT_NEAR(dc1[i], dc2[i], 1e-9 * (1 + std::fabs(dc1[i]))) << "photo unknown " << i;
  }
  for (size_t i = 0; i < dp1.size(); ++i)
    EXPECT_NEAR(dp1[i], dp2[i], 1e-9 * (1 + std::fabs(dp1[i]))) << "point unknown " << i;
  for (int e = 0; e < 6; ++e) EXPECT_NEAR(p1[e], p2[e], 1e-9 * p1[e]);
  for (int e = 0; e < 3; ++e) EXPECT_NEAR(q1[e], q2[e], 1e-9 * q1[e]);
  // The same again gives the same bits: the halves meet in a fixed order.
  std::vector<double> dc3, dp3;
  ReducedNormals again;
  FillRandom(again, kPhotos, kPoints, 5);
  again.Solve(dc3, dp3, false);
  EXPECT_EQ(dc3, dc2);
  EXPECT_EQ(dp3, dp2);
}

}  // namespace
}  // namespace vistamet
