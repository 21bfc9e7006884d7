#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "common/atomic_file.h"
#include "measure/model/sample_project.h"
#include "measure/records/texts.h"
#include "measure/records/test_support.h"
#include "measure/model/vistamet_doc.h"

namespace vistamet {
namespace {

using testing::ScriptedPrompt;

// A project in memory from a synthetic scene: photo sizes without pixels,
// every observation numbered, control points entered, others at 0.
CVistametDoc FromScene(const SampleScene& scene) {
  CVistametDoc doc;
  doc.options.bLmsFeature = 0;
  for (size_t p = 0; p < scene.photos.size(); ++p) {
    doc.photoPaths.push_back("photo" + std::to_string(p));
    ImageHolder img;
    img.width = 3000;
    img.height = 2000;
    doc.photoImages.push_back(img);
    doc.photoParams.push_back(PhotoParams{});
    for (const ImagePoint& ip : scene.observations[p]) doc.imagePoints.push_back(ip);
  }
  for (SpacePoint s : scene.points) {
    if (!s.IsControl()) s.X = s.Y = s.Z = 0;
    doc.spacePoints.push_back(s);
  }
  return doc;
}

struct Errors {
  double point = 0, position = 0, angle = 0;
};

Errors Compare(const CVistametDoc& doc, const SampleScene& scene) {
  Errors e;
  for (const SpacePoint& s : doc.spacePoints)
    for (const SpacePoint& t : scene.points)
      if (s.pointNumber == t.pointNumber && !t.IsControl())
        e.point = std::max({e.point, std::fabs(s.X - t.X), std::fabs(s.Y - t.Y),
                            std::fabs(s.Z - t.Z)});
  for (size_t p = 0; p < scene.photos.size(); ++p) {
    const PhotoParams& a = doc.photoParams[p];
    const PhotoParams& b = scene.photos[p];
    e.position = std::max({e.position, std::fabs(a.Xs - b.Xs), std::fabs(a.Ys - b.Ys),
                           std::fabs(a.Zs - b.Zs)});
    e.angle = std::max({e.angle, std::fabs(a.phi - b.phi), std::fabs(a.omega - b.omega),
                        std::fabs(a.kappa - b.kappa)});
  }
  return e;
}

TEST(BundleAdjust, RecoversTheSampleSceneFromExactPositions) {
  const SampleScene scene = MakeSampleScene(SampleOptions{});
  CVistametDoc doc = FromScene(scene);
  testing::CountingNotifier notifier;
  doc.SetNotifier(&notifier);
  AdjustSummary summary;
  ASSERT_EQ(doc.BundleAdjust(AdjustmentReports(), nullptr, &summary), 1);
  const Errors e = Compare(doc, scene);
  EXPECT_LT(e.point, 0.05);
  EXPECT_LT(e.position, 0.05);
  EXPECT_LT(e.angle, 1e-5);
  EXPECT_EQ(doc.adjusted, 1);
  EXPECT_TRUE(doc.IsModified());
  EXPECT_EQ(notifier.codes.back(), ViewUpdate::kAll);
  // Control points keep their flag; every point has its rays counted.
  EXPECT_EQ(doc.spacePoints[doc.FindSpacePoint(1000)].controlFlag, 1);
  for (const SpacePoint& s : doc.spacePoints) EXPECT_EQ(s.rayCount, 4) << s.pointNumber;
  // Back-projected points land on the measured ones, in pixels.
  ASSERT_EQ(doc.adjustedPoints.size(), doc.imagePoints.size());
  for (const ImagePoint& r : doc.adjustedPoints) {
    const ImagePoint& m = doc.imagePoints[doc.FindImagePointByNumber(r.pointNumber, r.photoIndex)];
    EXPECT_NEAR(r.x, m.x, 1e-3);
    EXPECT_NEAR(r.y, m.y, 1e-3);
  }
}

TEST(BundleAdjust, ConvergesWithNoisyPositionsNearTheNoiseLevel) {
  SampleOptions o;
  o.noisePx = 0.3;
  o.photos = 6;
  const SampleScene scene = MakeSampleScene(o);
  CVistametDoc doc = FromScene(scene);
  doc.options.dCoordTol = 0.01;
  doc.options.dAngleTol = 1e-6;
  AdjustSummary summary;
  ASSERT_EQ(doc.BundleAdjust(AdjustmentReports(), nullptr, &summary), 1);
  const double noise_mm = 0.3 * 0.0036;
  EXPECT_GT(summary.rms, 0.5 * noise_mm);
  EXPECT_LT(summary.rms, 1.5 * noise_mm);
  EXPECT_LT(Compare(doc, scene).point, 1.0);
}

std::string ReadReport(const AdjustmentReports& reports, const char* name) {
  std::string text;
  common::ReadWholeFile(reports.PathOf(name), &text);
  return text;
}

TEST(BundleAdjust, BothEnginesGiveTheSameProjectAndReports) {
  SampleOptions o;
  o.noisePx = 0.3;
  o.photos = 6;
  const SampleScene scene = MakeSampleScene(o);
  testing::TempDir dense_dir, reduced_dir;
  CVistametDoc dense = FromScene(scene), reduced = FromScene(scene);
  for (CVistametDoc* doc : {&dense, &reduced}) {
    doc->options.dCoordTol = 0.001;
    doc->options.dAngleTol = 1e-7;
  }
  dense.adjustEngine = AdjustEngine::kDense;
  ASSERT_EQ(dense.BundleAdjust(AdjustmentReports(dense_dir.path())), 1);
  ASSERT_EQ(reduced.BundleAdjust(AdjustmentReports(reduced_dir.path())), 1);
  for (const char* name : {AdjustmentReports::kInput, AdjustmentReports::kOrientations,
                           AdjustmentReports::kPoints, AdjustmentReports::kResiduals})
    EXPECT_EQ(ReadReport(AdjustmentReports(dense_dir.path()), name),
              ReadReport(AdjustmentReports(reduced_dir.path()), name))
        << name;
  for (size_t k = 0; k < dense.spacePoints.size(); ++k) {
    EXPECT_NEAR(dense.spacePoints[k].X, reduced.spacePoints[k].X, 1e-9);
    EXPECT_NEAR(dense.spacePoints[k].Z, reduced.spacePoints[k].Z, 1e-9);
  }
  for (size_t p = 0; p < dense.photoParams.size(); ++p) {
    EXPECT_NEAR(dense.photoParams[p].Zs, reduced.photoParams[p].Zs, 1e-9);
    EXPECT_NEAR(dense.photoParams[p].kappa, reduced.photoParams[p].kappa, 1e-12);
  }
  // The precision of both, from the inverse and from the reduced system.
  const AdjustPrecision& a = dense.lastAdjustment.precision;
  const AdjustPrecision& b = reduced.lastAdjustment.precision;
  ASSERT_TRUE(a.available && b.available);
  EXPECT_NEAR(a.sigma0, b.sigma0, 1e-12);
  for (size_t j = 0; j < a.points.size(); ++j)
    for (int e = 0; e < 3; ++e) EXPECT_NEAR(a.points[j][e], b.points[j][e], 1e-6 * a.points[j][e]);
  for (size_t p = 0; p < a.photos.size(); ++p)
    for (int e = 0; e < 6; ++e) EXPECT_NEAR(a.photos[p][e], b.photos[p][e], 1e-4 * a.photos[p][e]);
}

TEST(BundleAdjust, RunThatDoesNotConvergeKeepsTheBestIterateButIsNoResult) {
  SampleOptions o;
  o.noisePx = 0.3;
  const SampleScene scene = MakeSampleScene(o);
  CVistametDoc doc = FromScene(scene);
  // An earlier result that must not survive.
  doc.adjusted = 1;
  doc.adjustedPoints = {ImagePoint{}};
  doc.options.nMaxIter = 2;
  doc.options.dCoordTol = 1e-12;
  doc.options.dAngleTol = 1e-15;
  ScriptedPrompt prompt;
  doc.SetPrompt(&prompt);
  testing::TempDir dir;
  AdjustSummary summary;
  EXPECT_EQ(doc.BundleAdjust(AdjustmentReports(dir.path()), nullptr, &summary), 0);
  EXPECT_EQ(summary.status, AdjustStatus::kIterationLimit);
  EXPECT_FALSE(summary.converged);
  EXPECT_STREQ(AdjustStatusText(summary), "not converged");
  EXPECT_EQ(doc.adjusted, 0);
  EXPECT_TRUE(doc.adjustedPoints.empty());
  ASSERT_FALSE(prompt.messages.empty());
  EXPECT_EQ(prompt.messages.back(), text::kAdjustmentFailed);
  // The best iterate is kept: as close to the truth as a converged run.
  EXPECT_LT(Compare(doc, scene).point, 1.0);
  EXPECT_TRUE(doc.lastAdjustment.precision.available);
  const AdjustmentReports reports(dir.path());
  EXPECT_NE(ReadReport(reports, AdjustmentReports::kPoints).find("Not converged"),
            std::string::npos);
  EXPECT_EQ(ReadReport(reports, AdjustmentReports::kPrecision).rfind("Adjustment: not converged", 0),
            0u);
}

TEST(BundleAdjust, FailedSolveClearsAnEarlierResult) {
  const SampleScene scene = MakeSampleScene(SampleOptions{});
  CVistametDoc doc = FromScene(scene);
  doc.adjusted = 1;
  doc.adjustedPoints = {ImagePoint{}};
  doc.options.nMaxIter = 1;  // a limit of one iteration always fails
  ScriptedPrompt prompt;
  doc.SetPrompt(&prompt);
  EXPECT_EQ(doc.BundleAdjust(AdjustmentReports()), 0);
  EXPECT_EQ(doc.adjusted, 0);
  EXPECT_TRUE(doc.adjustedPoints.empty());
}

// The true errors of the adjusted points against their standard
// deviations, over many noisy samples: the ratio's RMS per axis is near 1.
TEST(BundleAdjust, PrecisionOfThePointsIsHonest) {
  double sum[3] = {0, 0, 0};
  int count = 0;
  for (unsigned seed = 1; seed <= 30; ++seed) {
    SampleOptions o;
    o.noisePx = 0.3;
    o.photos = 8;
    o.seed = seed;
    const SampleScene scene = MakeSampleScene(o);
    CVistametDoc doc = FromScene(scene);
    doc.options.dCoordTol = 1e-5;
    doc.options.dAngleTol = 1e-9;
    ASSERT_EQ(doc.BundleAdjust(AdjustmentReports()), 1) << seed;
    const AdjustPrecision& pr = doc.lastAdjustment.precision;
    ASSERT_TRUE(pr.available);
    for (const SpacePoint& t : scene.points) {
      if (t.IsControl()) continue;
      const SpacePoint& s = doc.spacePoints[doc.FindSpacePoint(t.pointNumber)];
      const std::array<double, 3>* sigma = pr.OfPoint(t.pointNumber);
      ASSERT_NE(sigma, nullptr);
      const double err[3] = {s.X - t.X, s.Y - t.Y, s.Z - t.Z};
      for (int e = 0; e < 3; ++e) sum[e] += (err[e] / (*sigma)[e]) * (err[e] / (*sigma)[e]);
      ++count;
    }
  }
  ASSERT_GE(count, 300);
  for (int e = 0; e < 3; ++e) {
    const double rms = std::sqrt(sum[e] / count);
    EXPECT_GT(rms, 0.8) << "axis " << e;
    EXPECT_LT(rms, 1.25) << "axis " << e;
  }
}

// Asks to stop at the given step of the given work.
class StoppingProgress : public Progress {
 public:
  StoppingProgress(std::string work, int step, bool after_preparation)
      : work_(std::move(work)), step_(step), after_preparation_(after_preparation) {}
  void Report(int done, int, std::string_view text) override {
    if (text == "准备数据") prepared_ = true;
    if (text == work_ && done == step_ && (prepared_ || !after_preparation_)) stop_ = true;
  }
  bool StopRequested() const override { return stop_; }

 private:
  std::string work_;
  int step_;
  bool after_preparation_;
  bool prepared_ = false;
  bool stop_ = false;
};

TEST(BundleAdjust, StoppedRunLeavesTheProjectAndTheReportsAsTheyWere) {
  struct Case {
    const char* what;
    const char* work;
    int step;
  } cases[] = {
      {"while preparing the points", "准备数据", 5},
      {"in the second iteration", "整体平差", 1},
  };
  for (const Case& c : cases) {
    SampleOptions o;
    o.noisePx = 0.3;
    const SampleScene scene = MakeSampleScene(o);
    CVistametDoc doc = FromScene(scene);
    doc.options.dCoordTol = 1e-6;
    doc.options.dAngleTol = 1e-10;
    doc.options.bCleanPoints = 1;
    doc.adjusted = 1;
    doc.distancePairs = {5, 6};
    const CVistametDoc before = doc;
    testing::TempDir dir;
    const AdjustmentReports reports(dir.path());
    ASSERT_TRUE(common::SaveFileAtomically(reports.PathOf(AdjustmentReports::kPoints), "old"));
    StoppingProgress progress(c.work, c.step, true);
    AdjustSummary summary;
    EXPECT_EQ(doc.BundleAdjust(reports, &progress, &summary), 0) << c.what;
    EXPECT_EQ(summary.status, AdjustStatus::kCancelled) << c.what;
    EXPECT_EQ(doc.lastAdjustment.status, AdjustStatus::kCancelled) << c.what;
    EXPECT_EQ(doc.imagePoints, before.imagePoints) << c.what;
    EXPECT_EQ(doc.photoParams, before.photoParams) << c.what;
    ASSERT_EQ(doc.spacePoints.size(), before.spacePoints.size()) << c.what;
    for (size_t k = 0; k < doc.spacePoints.size(); ++k)
      EXPECT_TRUE(doc.spacePoints[k].SameStored(before.spacePoints[k])) << c.what;
    EXPECT_EQ(doc.distancePairs, before.distancePairs) << c.what;
    EXPECT_EQ(doc.adjusted, 1) << c.what;
    EXPECT_FALSE(doc.IsModified()) << c.what;
    EXPECT_EQ(ReadReport(reports, AdjustmentReports::kPoints), "old") << c.what;
  }
}

TEST(BundleAdjust, PhotoWithTooFewControlPointsStopsTheCommand) {
  const SampleScene scene = MakeSampleScene(SampleOptions{});
  CVistametDoc doc = FromScene(scene);
  ScriptedPrompt prompt;
  doc.SetPrompt(&prompt);
  // Photo 3 loses its reference square.
  for (ImagePoint& p : doc.imagePoints)
    if (p.photoIndex == 2 && (IsReferenceNumber(p.pointNumber) || p.pointNumber <= 4))
      p.pointNumber = -1;
  EXPECT_EQ(doc.BundleAdjust(AdjustmentReports()), 0);
  ASSERT_EQ(prompt.messages.size(), 1u);
  EXPECT_EQ(prompt.messages[0], "第 3 张照片的控制点不足！");
  EXPECT_EQ(doc.adjusted, 0);
}

TEST(BundleAdjust, PhotoWithControlPointsOnOneLineStopsTheCommand) {
  const SampleScene scene = MakeSampleScene(SampleOptions{});
  CVistametDoc doc = FromScene(scene);
  ScriptedPrompt prompt;
  doc.SetPrompt(&prompt);
  // On photo 2 the first four control points are measured on one line.
  int moved = 0;
  for (ImagePoint& p : doc.imagePoints) {
    if (p.photoIndex != 1 || moved == 4) continue;
    const int s = doc.FindSpacePoint(p.pointNumber);
    if (s < 0 || !doc.spacePoints[s].IsControl()) continue;
    p.x = 600 + 400 * moved;
    p.y = 900 + 100 * moved;
    ++moved;
  }
  ASSERT_EQ(moved, 4);
  EXPECT_EQ(doc.BundleAdjust(AdjustmentReports()), 0);
  ASSERT_EQ(prompt.messages.size(), 1u);
  EXPECT_EQ(prompt.messages[0], "第 2 张照片的控制点在一条直线上，无法定向！");
  EXPECT_EQ(prompt.icons[0], Icon::kWarning);
  EXPECT_EQ(doc.adjusted, 0);
}

TEST(BundleAdjust, PointsWithOneRayAreNotAdjusted) {
  const SampleScene scene = MakeSampleScene(SampleOptions{});
  CVistametDoc doc = FromScene(scene);
  // Point 7 and control point 2 are kept on photo 1 only.
  for (ImagePoint& p : doc.imagePoints)
    if ((p.pointNumber == 7 || p.pointNumber == 2) && p.photoIndex != 0) p.pointNumber = -1;
  doc.spacePoints[doc.FindSpacePoint(7)].X = 55;  // a stale value
  doc.distancePairs = {7, 8, 8, 9, 2, 9};
  ASSERT_EQ(doc.BundleAdjust(AdjustmentReports()), 1);
  const SpacePoint& p7 = doc.spacePoints[doc.FindSpacePoint(7)];
  EXPECT_EQ(p7.X, 0);
  EXPECT_EQ(p7.Y, 0);
  EXPECT_EQ(p7.Z, 0);
  EXPECT_EQ(p7.rayCount, 1);
  // The control point keeps the coordinates the user entered.
  const SpacePoint& p2 = doc.spacePoints[doc.FindSpacePoint(2)];
  EXPECT_EQ(p2.X, 850);
  EXPECT_EQ(p2.Z, 40);
  EXPECT_EQ(doc.distancePairs, (DistancePairs{8, 9}));
}

TEST(BundleAdjust, CleaningRemovesUnnumberedAndUnobservedPoints) {
  const SampleScene scene = MakeSampleScene(SampleOptions{});
  CVistametDoc doc = FromScene(scene);
  doc.options.bCleanPoints = 1;
  ImagePoint stray;
  stray.photoIndex = 1;
  doc.imagePoints.push_back(stray);
  SpacePoint lonely;
  lonely.pointNumber = 77;
  doc.spacePoints.push_back(lonely);
  ASSERT_EQ(doc.BundleAdjust(AdjustmentReports()), 1);
  for (const ImagePoint& p : doc.imagePoints) EXPECT_NE(p.pointNumber, -1);
  EXPECT_EQ(doc.FindSpacePoint(77), -1);
}

TEST(BundleAdjust, ControlPointsWeighMoreByTheControlWeight) {
  const SampleScene scene = MakeSampleScene(SampleOptions{});
  CVistametDoc doc = FromScene(scene);
  doc.options.dControlWeight = 4;
  doc.options.dWeightX = 2;
  doc.options.dWeightY = 3;
  doc.options.bKeepMinRms = 0;
  ASSERT_EQ(doc.BundleAdjust(AdjustmentReports()), 1);
  // The residual list carries the weights the observations had.
  bool saw_control = false, saw_other = false;
  for (const ImagePoint& r : doc.adjustedPoints) {
    if (doc.FindControlPoint(r.pointNumber) >= 0) {
      saw_control = true;
      EXPECT_EQ(r.weightX, 8);
      EXPECT_EQ(r.weightY, 12);
    } else {
      saw_other = true;
      EXPECT_EQ(r.weightX, 2);
      EXPECT_EQ(r.weightY, 3);
    }
  }
  EXPECT_TRUE(saw_control && saw_other);
}

// With weights from the target fit, the points' stored weights scale the
// option's weights; without, they are ignored.
TEST(BundleAdjust, StoredWeightsCountOnlyWhenTheTargetOptionAsks) {
  const SampleScene scene = MakeSampleScene(SampleOptions{});
  for (int32_t own : {0, 1}) {
    SCOPED_TRACE(own);
    CVistametDoc doc = FromScene(scene);
    doc.targetOptions.weightsFromFit = own;
    doc.options.dControlWeight = 4;
    doc.options.dWeightX = 2;
    doc.options.dWeightY = 3;
    doc.options.bKeepMinRms = 0;
    for (ImagePoint& p : doc.imagePoints) {
      p.weightX = 0.5;
      p.weightY = 4;
    }
    ASSERT_EQ(doc.BundleAdjust(AdjustmentReports()), 1);
    const double fx = own ? 0.5 : 1.0, fy = own ? 4.0 : 1.0;
    for (const ImagePoint& r : doc.adjustedPoints) {
      const double c = doc.FindControlPoint(r.pointNumber) >= 0 ? 4.0 : 1.0;
      EXPECT_EQ(r.weightX, 2 * c * fx);
      EXPECT_EQ(r.weightY, 3 * c * fy);
    }
  }
}

TEST(RefineFromControlPoints, FailedSolveShowsTheUnknownAndKeepsTheOrientations) {
  const SampleScene scene = MakeSampleScene(SampleOptions{});
  CVistametDoc doc = FromScene(scene);
  ScriptedPrompt prompt;
  doc.SetPrompt(&prompt);
  doc.photoParams = scene.photos;
  // Photo 1 stands on control point 1000: that point has no image there.
  const SpacePoint& c = doc.spacePoints[doc.FindSpacePoint(1000)];
  doc.photoParams[0].Xs = c.X;
  doc.photoParams[0].Ys = c.Y;
  doc.photoParams[0].Zs = c.Z;
  const std::vector<PhotoParams> before = doc.photoParams;
  EXPECT_EQ(doc.RefineFromControlPoints(AdjustmentReports()), 0);
  ASSERT_EQ(prompt.messages.size(), 1u);
  EXPECT_EQ(prompt.messages[0], "计算未知数 0 出错 !");
  EXPECT_EQ(prompt.icons[0], Icon::kError);
  EXPECT_EQ(doc.photoParams, before);
  // Without a prompt the failure is silent.
  doc.SetPrompt(nullptr);
  EXPECT_EQ(doc.RefineFromControlPoints(AdjustmentReports()), 0);
}

// Two photos of one plane, the second shifted by (30, -20) pixels, with four
// numbered pairs; photo 0 is current.
CVistametDoc PlanePair() {
  CVistametDoc doc;
  for (int p = 0; p < 2; ++p) {
    doc.photoPaths.push_back("photo" + std::to_string(p));
    doc.photoImages.push_back(ImageHolder{});
    doc.photoParams.push_back(PhotoParams{});
  }
  const double corners[4][2] = {{100, 100}, {900, 120}, {880, 700}, {120, 690}};
  for (int k = 0; k < 4; ++k) {
    for (int p = 0; p < 2; ++p) {
      ImagePoint ip;
      ip.photoIndex = p;
      ip.pointNumber = k;
      ip.x = corners[k][0] + 30 * p;
      ip.y = corners[k][1] - 20 * p;
      doc.imagePoints.push_back(ip);
    }
    SpacePoint s;
    s.pointNumber = k;
    doc.spacePoints.push_back(s);
  }
  return doc;
}

TEST(AutoTransfer, ContradictingNumbersAreShownOnceAsAWarning) {
  for (const bool conflict : {false, true}) {
    CVistametDoc doc = PlanePair();
    ScriptedPrompt prompt;
    doc.SetPrompt(&prompt);
    ImagePoint a, b;
    a.x = 400, a.y = 350, a.photoIndex = 0, a.pointNumber = 9;
    b.x = 430, b.y = 330, b.photoIndex = 1, b.pointNumber = conflict ? 12 : -1;
    doc.imagePoints.push_back(a);
    doc.imagePoints.push_back(b);
    int assigned = 0;
    EXPECT_EQ(doc.AutoTransfer(&assigned), 1);
    if (!conflict) {
      EXPECT_TRUE(prompt.messages.empty());
      EXPECT_EQ(doc.imagePoints.back().pointNumber, 9);
      EXPECT_EQ(assigned, 1);
      continue;
    }
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0], "同名点有误!");
    EXPECT_EQ(prompt.icons[0], Icon::kWarning);
    EXPECT_EQ(doc.imagePoints.back().pointNumber, 12);
    doc.SetPrompt(nullptr);
    EXPECT_EQ(doc.AutoTransfer(), 1);
  }
}

TEST(NumberAndTransfer, CarriesNumbersToTheOtherPhotoWhenTheOptionIsOn) {
  const SampleScene scene = MakeSampleScene(SampleOptions{});
  for (int option = 0; option <= 1; ++option) {
    CVistametDoc doc = FromScene(scene);
    doc.bAutoPlaneTrans = option;
    ScriptedPrompt prompt;
    doc.SetPrompt(&prompt);
    // Only the points on the plane Z = 0; numbers kept for the reference
    // square and point 7.
    std::vector<ImagePoint> kept;
    for (ImagePoint p : doc.imagePoints) {
      const SpacePoint& s = scene.points[std::find_if(scene.points.begin(), scene.points.end(),
                                                      [&](const SpacePoint& t) {
                                                        return t.pointNumber == p.pointNumber;
                                                      }) -
                                         scene.points.begin()];
      if (s.Z != 0 || p.photoIndex > 1) continue;
      if (!IsReferenceNumber(p.pointNumber) && p.pointNumber != 7) p.pointNumber = -1 - s.pointNumber;
      kept.push_back(p);
    }
    // Remember which unnumbered point is which by a negative tag, then clear.
    std::vector<int32_t> tag;
    for (ImagePoint& p : kept) {
      tag.push_back(p.pointNumber < -1 ? -1 - p.pointNumber : p.pointNumber);
      if (p.pointNumber < -1) p.pointNumber = -1;
    }
    doc.imagePoints = kept;
    doc.spacePoints.erase(std::remove_if(doc.spacePoints.begin(), doc.spacePoints.end(),
                                         [&](const SpacePoint& s) {
                                           return !IsReferenceNumber(s.pointNumber) &&
                                                  s.pointNumber != 7;
                                         }),
                          doc.spacePoints.end());
    int on_photo0 = -1, on_photo1 = -1;
    for (size_t k = 0; k < kept.size(); ++k) {
      if (tag[k] != 10) continue;
      (kept[k].photoIndex == 0 ? on_photo0 : on_photo1) = static_cast<int>(k);
    }
    ASSERT_GE(on_photo0, 0);
    ASSERT_GE(on_photo1, 0);
    prompt.TypeNumber(10);
    ASSERT_EQ(doc.NumberAndTransfer(on_photo0), 1);
    EXPECT_EQ(doc.imagePoints[on_photo1].pointNumber, option ? 10 : -1) << option;
    if (option) {
      // The points unnumbered on both photos received the same new numbers.
      for (size_t a = 0; a < kept.size(); ++a)
        for (size_t b = 0; b < kept.size(); ++b)
          if (tag[a] == tag[b] && kept[a].photoIndex == 0 && kept[b].photoIndex == 1) {
            EXPECT_NE(doc.imagePoints[a].pointNumber, -1) << tag[a];
            EXPECT_EQ(doc.imagePoints[a].pointNumber, doc.imagePoints[b].pointNumber) << tag[a];
          }
      EXPECT_TRUE(prompt.messages.empty());
    }
  }
}

}  // namespace
}  // namespace vistamet
