#include "measure/compute/adjustment.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>
#include <numbers>

#include "common/atomic_file.h"
#include "common/strformat.h"
#include "measure/compute/camera_model.h"
#include "measure/compute/sample_scene.h"
#include "measure/records/test_support.h"

namespace vistamet {
namespace {

// Exact observations (image-plane mm) of every scene point on every photo,
// with the scene's true orientations.
struct Problem {
  std::vector<ImagePoint> observations;
  std::vector<SpacePoint> points;
  std::vector<PhotoParams> photos;
};

Problem MakeProblem(int photos, bool fixed_points, double kappa0 = -100) {
  SampleOptions o;
  o.photos = photos;
  const SampleScene scene = MakeSampleScene(o);
  Problem p;
  p.photos = scene.photos;
  if (kappa0 > -100) p.photos[0].kappa = kappa0;
  for (const SpacePoint& s : scene.points) {
    SpacePoint entry = s;
    entry.controlFlag = (fixed_points || s.IsControl()) ? -1 : 0;
    p.points.push_back(entry);
    for (int i = 0; i < photos; ++i)
      p.observations.push_back(ProjectSpacePoint(s.X, s.Y, s.Z, i, s.pointNumber, p.photos));
  }
  return p;
}

AdjustSettings Settings(int limit, double coord_tol = 1.5, double angle_tol = 0.0005) {
  AdjustSettings s;
  s.iterationLimit = limit;
  s.coordTol = coord_tol;
  s.angleTol = angle_tol;
  return s;
}

TEST(Adjust, IterationLimitDecidesTheResult) {
  struct Case {
    const char* what;
    double offset;  // start error of Xs of photo 0, mm
    int limit;
    int expected;
  } cases[] = {
      {"limit 1 fails even when the first solve converges", 0, 1, 0},
      {"limit 2 succeeds when the first solve converges", 0, 2, 1},
      {"limit 2 fails when only the second solve converges", 30, 2, 0},
      {"limit 3 succeeds then", 30, 3, 1},
  };
  for (const Case& c : cases) {
    Problem p = MakeProblem(3, true);
    p.photos[0].Xs += c.offset;
    std::vector<ImagePoint> residuals;
    AdjustSummary sum;
    EXPECT_EQ(Adjust(p.observations, p.points, p.photos, Settings(c.limit), &residuals,
                     AdjustmentReports(), nullptr, &sum),
              c.expected)
        << c.what;
    EXPECT_TRUE(sum.converged) << c.what;
    EXPECT_EQ(sum.status, c.expected ? AdjustStatus::kConverged : AdjustStatus::kIterationLimit)
        << c.what;
  }
}

TEST(Adjust, PositionsUseOneAndAHalfTimesTheCoordinateTolerance) {
  // Fixed points: the first correction of Xs undoes the start error.
  for (const auto& [factor, expected] : {std::pair{1.4, 1}, std::pair{1.6, 0}}) {
    Problem p = MakeProblem(2, true);
    p.photos[1].Xs += factor * 1.0;
    EXPECT_EQ(Adjust(p.observations, p.points, p.photos, Settings(2, 1.0, 1.0), nullptr,
                     AdjustmentReports()),
              expected)
        << factor;
  }
}

TEST(Adjust, AnglesAreBroughtIntoMinusPiToPi) {
  EXPECT_NEAR(WrapAngle(3.2), 3.2 - 2 * std::numbers::pi, 1e-15);
  EXPECT_EQ(common::StrFormat("%12.5lf", WrapAngle(3.2)), "    -3.08319");
  EXPECT_NEAR(WrapAngle(-7.0), -7.0 + 2 * std::numbers::pi, 1e-15);
  EXPECT_EQ(WrapAngle(1.0), 1.0);
  // Angles too large for a subtraction of 2 pi to change them end at once.
  for (double huge : {1e17, -1e17, 1e300, -std::numeric_limits<double>::max()}) {
    const double a = WrapAngle(huge);
    EXPECT_LE(std::fabs(a), std::numbers::pi) << huge;
  }
  EXPECT_TRUE(std::isnan(WrapAngle(std::nan(""))));
  // A correction that carries kappa past pi leaves it near -pi.
  const double truth = std::numbers::pi + 0.0005;
  Problem p = MakeProblem(2, true, truth);
  p.photos[0].kappa = std::numbers::pi - 0.0005;
  ASSERT_EQ(Adjust(p.observations, p.points, p.photos, Settings(10, 0.001, 1e-9), nullptr,
                   AdjustmentReports()),
            1);
  EXPECT_NEAR(p.photos[0].kappa, truth - 2 * std::numbers::pi, 1e-9);
}

TEST(Adjust, KeepBestRestoresThePointsButNotTheOrientations) {
  // Noisy observations and tolerances that are never met: past the limit the
  // run goes on while the RMS falls, and stops at the first iteration that
  // does not improve it.
  Problem base = MakeProblem(3, false);
  for (size_t k = 0; k < base.observations.size(); ++k) {
    base.observations[k].x += 0.002 * std::sin(1.7 * static_cast<double>(k));
    base.observations[k].y += 0.002 * std::cos(2.3 * static_cast<double>(k));
  }
  for (SpacePoint& s : base.points)
    if (s.controlFlag == 0) s.Z += 30;
  AdjustSettings settings = Settings(3, -1, -1);
  Problem last = base, kept = base;
  AdjustSummary sum_last, sum_kept;
  settings.keepBest = false;
  EXPECT_EQ(Adjust(last.observations, last.points, last.photos, settings, nullptr,
                   AdjustmentReports(), nullptr, &sum_last),
            0);
  settings.keepBest = true;
  EXPECT_EQ(Adjust(kept.observations, kept.points, kept.photos, settings, nullptr,
                   AdjustmentReports(), nullptr, &sum_kept),
            0);
  EXPECT_EQ(sum_kept.status, AdjustStatus::kIterationLimit);
  EXPECT_FALSE(sum_kept.converged);
  ASSERT_EQ(sum_kept.iterations, sum_last.iterations);
  ASSERT_GE(sum_kept.iterations, 3);
  ASSERT_LT(sum_kept.bestIteration, sum_kept.iterations - 1);
  for (size_t i = 0; i < kept.photos.size(); ++i)
    EXPECT_EQ(kept.photos[i].Exterior().Xs, last.photos[i].Exterior().Xs);
  bool any_differs = false;
  for (size_t i = 0; i < kept.points.size(); ++i)
    any_differs |= kept.points[i].X != last.points[i].X || kept.points[i].Z != last.points[i].Z;
  EXPECT_TRUE(any_differs);
}

TEST(Adjust, RecoversUnknownPointsAndWritesOrientationsAtTheEnd) {
  Problem p = MakeProblem(4, false);
  const std::vector<SpacePoint> truth = p.points;
  const std::vector<PhotoParams> stations = p.photos;
  for (SpacePoint& s : p.points)
    if (s.controlFlag == 0) s.X += 3, s.Y -= 2, s.Z += 5;
  p.photos[2].phi += 0.002;
  p.photos[3].Zs -= 4;
  std::vector<ImagePoint> residuals;
  ASSERT_EQ(Adjust(p.observations, p.points, p.photos, Settings(20, 1e-4, 1e-9), &residuals,
                   AdjustmentReports()),
            1);
  for (size_t i = 0; i < truth.size(); ++i) {
    EXPECT_NEAR(p.points[i].X, truth[i].X, 1e-6);
    EXPECT_NEAR(p.points[i].Z, truth[i].Z, 1e-6);
  }
  EXPECT_NEAR(p.photos[2].phi, stations[2].phi, 1e-10);
  EXPECT_NEAR(p.photos[3].Zs, stations[3].Zs, 1e-6);
  EXPECT_EQ(residuals.size(), p.observations.size());
}

TEST(Adjust, NonFiniteSolutionStopsAtOnceAndNamesTheUnknown) {
  Problem p = MakeProblem(2, true);
  // A point at the projection centre has no image.
  for (SpacePoint& s : p.points) {
    s.X = p.photos[0].Xs;
    s.Y = p.photos[0].Ys;
    s.Z = p.photos[0].Zs;
  }
  const std::vector<PhotoParams> before = p.photos;
  AdjustSummary sum;
  EXPECT_EQ(Adjust(p.observations, p.points, p.photos, Settings(5), nullptr, AdjustmentReports(),
                   nullptr, &sum),
            0);
  EXPECT_EQ(sum.status, AdjustStatus::kSolveFailed);
  // Fixed points: the unknowns are the 12 orientation elements.
  EXPECT_GE(sum.failedUnknown, 0);
  EXPECT_LT(sum.failedUnknown, 12);
  EXPECT_EQ(sum.iterations, 0);
  EXPECT_FALSE(sum.converged);
  EXPECT_EQ(p.photos, before);
}

TEST(Adjust, InputThatCannotBeAdjustedIsNamedInTheSummary) {
  struct Case {
    const char* what;
    std::function<void(Problem&, AdjustSettings&)> edit;
    AdjustStatus expected;
  } cases[] = {
      {"no photos", [](Problem& p, AdjustSettings&) { p.photos.clear(); },
       AdjustStatus::kNoPhotos},
      {"photo index past the list",
       [](Problem& p, AdjustSettings&) { p.observations[3].photoIndex = 2; },
       AdjustStatus::kBadObservation},
      {"negative photo index",
       [](Problem& p, AdjustSettings&) { p.observations[0].photoIndex = -1; },
       AdjustStatus::kBadObservation},
      {"number not in the point list",
       [](Problem& p, AdjustSettings&) { p.observations.back().pointNumber = 4321; },
       AdjustStatus::kBadObservation},
      {"every group switched off",
       [](Problem&, AdjustSettings& s) {
         s.switches = AdjustSwitches{false, false, false, false, false, false, false, false, false};
       },
       AdjustStatus::kNoUnknowns},
  };
  for (const Case& c : cases) {
    Problem p = MakeProblem(2, true);
    AdjustSettings settings = Settings(5);
    c.edit(p, settings);
    const std::vector<PhotoParams> photos = p.photos;
    AdjustSummary sum;
    sum.iterations = 99;
    EXPECT_EQ(Adjust(p.observations, p.points, p.photos, settings, nullptr, AdjustmentReports(),
                     nullptr, &sum),
              0)
        << c.what;
    EXPECT_EQ(sum.status, c.expected) << c.what;
    EXPECT_EQ(sum.iterations, 0) << c.what;
    EXPECT_EQ(sum.failedUnknown, -1) << c.what;
    EXPECT_EQ(p.photos, photos) << c.what;
  }
}

std::string Read(const std::string& path) {
  std::string text;
  common::ReadWholeFile(path, &text);
  return text;
}

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + 1)) ++n;
  return n;
}

TEST(Adjust, AbsurdImageCoordinatesEndTheRunWithAnglesInRange) {
  for (double x : {1e20, 1e79, 1e300}) {
    Problem p = MakeProblem(2, true);
    p.observations[0].x = x;
    AdjustSummary sum;
    Adjust(p.observations, p.points, p.photos, Settings(20), nullptr, AdjustmentReports(), nullptr,
           &sum);
    EXPECT_LE(sum.iterations, 20) << x;
    for (const PhotoParams& photo : p.photos)
      EXPECT_TRUE(!std::isfinite(photo.kappa) || std::fabs(photo.kappa) <= std::numbers::pi) << x;
  }
}

TEST(AdjustmentReports, FilesFollowTheIterations) {
  testing::TempDir dir;
  const AdjustmentReports reports(dir.path());
  Problem p = MakeProblem(2, false);
  p.photos[0].Xs += 40;
  p.photos[0].phi += 0.05;
  for (SpacePoint& s : p.points)
    if (s.controlFlag == 0) s.Z += 20;
  AdjustSummary sum;
  ASSERT_EQ(Adjust(p.observations, p.points, p.photos, Settings(20, 1e-3, 1e-8), nullptr, reports,
                   nullptr, &sum),
            1);
  ASSERT_GE(sum.iterations, 3);
  const std::string input = Read(reports.PathOf(AdjustmentReports::kInput));
  EXPECT_EQ(input.rfind("Total 20 Space Points\n1000\t      0.00000\t      0.00000\t      0.00000\n", 0),
            0u);
  EXPECT_NE(input.find("\nTotal 40 Image Points\n 0:\t1000\t"), std::string::npos);

  const std::string orientations = Read(reports.PathOf(AdjustmentReports::kOrientations));
  EXPECT_EQ(Count(orientations, "Iteration Number:"), sum.iterations);
  EXPECT_EQ(orientations.rfind("\nIteration Number:    0 (BI:0)\n"
                               "    #           Xs           Ys           Zs          Phi "
                               "       Omega        Kappa\n    0 ",
                               0),
            0u);
  EXPECT_NE(orientations.find(common::StrFormat("Iteration Number:  %3d (BI:0)", sum.iterations - 1)),
            std::string::npos);
  EXPECT_EQ(Count(orientations, "Fx = "), 1);
  const std::string camera =
      "Fx =   7.52000000  Fy =   7.52000000  U =   0.00000000  V =   0.00000000 \n"
      "A1=0.000000,A2=0.000000,R0=0.000000\n";
  EXPECT_EQ(orientations.substr(orientations.size() - camera.size()), camera);

  const std::string points = Read(reports.PathOf(AdjustmentReports::kPoints));
  EXPECT_EQ(Count(points, "END OF THE"), sum.iterations);
  EXPECT_NE(points.find("rmsX = "), std::string::npos);
  EXPECT_NE(points.find(common::StrFormat("All: %d, The Best Rms time:%d (BI:0)\n", sum.iterations - 1,
                                          sum.bestIteration)),
            std::string::npos);
  EXPECT_NE(points.find("\n 1000        0.000        0.000        0.000\n"), std::string::npos);

  const std::string residuals = Read(reports.PathOf(AdjustmentReports::kResiduals));
  EXPECT_EQ(Count(residuals, "END OF THE"), 1);
  EXPECT_NE(residuals.find(common::StrFormat("___%d___", sum.iterations - 1)), std::string::npos);
  EXPECT_EQ(residuals.rfind(" 0:\tVx[1000]\t ", 0), 0u);
  EXPECT_NE(residuals.find("rmsAll ="), std::string::npos);
  EXPECT_NE(residuals.find("\nMax V:\n"), std::string::npos);
  EXPECT_NE(residuals.find("\nMax Vp\t"), std::string::npos);
}

// A small fixed project: two photos, four control points, two unknown
// points, started away from the truth.
Problem GoldenProblem() {
  Problem p;
  PhotoParams a, b;
  a.Xs = -300, a.Ys = -100, a.Zs = 1500, a.phi = 0.15, a.omega = 0.05, a.kappa = 0.02;
  b.Xs = 500, b.Ys = 80, b.Zs = 1450, b.phi = -0.2, b.omega = -0.03, b.kappa = -0.01;
  p.photos = {a, b};
  const double xyz[6][3] = {{0, 0, 0}, {501, 0, 0}, {501, 501, 0}, {0, 501, 0},
                            {250, 120, 80}, {130, 380, -60}};
  for (int k = 0; k < 6; ++k) {
    SpacePoint s;
    s.pointNumber = k < 4 ? 1000 + k : k + 1;
    s.X = xyz[k][0];
    s.Y = xyz[k][1];
    s.Z = xyz[k][2];
    s.controlFlag = k < 4 ? -1 : 0;
    p.points.push_back(s);
    for (int i = 0; i < 2; ++i)
      p.observations.push_back(ProjectSpacePoint(s.X, s.Y, s.Z, i, s.pointNumber, p.photos));
  }
  // Small measuring errors, so the residuals are well above rounding.
  for (size_t k = 0; k < p.observations.size(); ++k) {
    p.observations[k].x += 0.0004 * static_cast<double>(static_cast<int>(k % 3) - 1);
    p.observations[k].y += 0.0003 * (k % 2 ? 1.0 : -1.0);
  }
  p.points[4].X += 12;
  p.points[5].Z -= 9;
  p.photos[0].Xs += 25;
  p.photos[1].kappa += 0.004;
  return p;
}

TEST(AdjustmentReports, GoldenFilesOfASmallProject) {
  // The files come from the dense engine; the reduced one prints the same.
  for (AdjustEngine engine : {AdjustEngine::kDense, AdjustEngine::kReduced}) {
    testing::TempDir dir;
    const AdjustmentReports reports(dir.path());
    Problem p = GoldenProblem();
    AdjustSettings settings = Settings(10, 0.001, 1e-7);
    settings.engine = engine;
    ASSERT_EQ(Adjust(p.observations, p.points, p.photos, settings, nullptr, reports), 1);
    const std::string golden = std::string(VISTAMET_TESTDATA_DIR) + "/adjustment_reports/";
    for (const char* name : {AdjustmentReports::kInput, AdjustmentReports::kOrientations,
                             AdjustmentReports::kPoints, AdjustmentReports::kResiduals}) {
      if (std::getenv("VISTAMET_UPDATE_GOLDEN") && engine == AdjustEngine::kDense)
        common::SaveFileAtomically(golden + name, Read(reports.PathOf(name)));
      EXPECT_EQ(Read(reports.PathOf(name)), Read(golden + name))
          << name << (engine == AdjustEngine::kDense ? " dense" : " reduced");
    }
  }
}

TEST(AdjustmentReports, OnlyControlPointsAndOneIteration) {
  testing::TempDir dir;
  const AdjustmentReports reports(dir.path());
  Problem p = MakeProblem(2, true);
  ASSERT_EQ(Adjust(p.observations, p.points, p.photos, Settings(5), nullptr, reports), 1);
  const std::string points = Read(reports.PathOf(AdjustmentReports::kPoints));
  EXPECT_EQ(points.find("END OF THE"), std::string::npos);
  EXPECT_EQ(points.rfind("All: 0, The Best Rms time:0 (BI:0)\n 1000 ", 0), 0u);
  EXPECT_EQ(Count(points, "\n"), 1 + 20);
}

TEST(AdjustmentReports, ZeroRedundancyGivesNoRms) {
  testing::TempDir dir;
  const AdjustmentReports reports(dir.path());
  Problem p = MakeProblem(1, true);
  p.photos.resize(1);
  p.points.resize(3);
  p.observations.resize(3);
  AdjustSummary sum;
  Adjust(p.observations, p.points, p.photos, Settings(3), nullptr, reports, nullptr, &sum);
  EXPECT_EQ(sum.redundancy, 0);
  EXPECT_EQ(sum.rms, 0);
  const std::string residuals = Read(reports.PathOf(AdjustmentReports::kResiduals));
  EXPECT_NE(residuals.find("rmsAll =0.000000 (mm)\nrmsAll =0.000000\nredundancy 0"),
            std::string::npos);
}

TEST(AdjustmentReports, UnwritableFolderDoesNotStopTheAdjustment) {
  Problem p = MakeProblem(2, true);
  const AdjustmentReports reports("/nonexistent/reports");
  EXPECT_EQ(Adjust(p.observations, p.points, p.photos, Settings(5), nullptr, reports), 1);
  // ... but says which reports were not written.
  ASSERT_EQ(reports.failures().size(), 5u);  // the four and the precision report
  EXPECT_NE(reports.failures()[0].find("/nonexistent/reports/"), std::string::npos);
}

}  // namespace
}  // namespace vistamet
