#include "geotools/compute/residuals.h"

#include <gtest/gtest.h>

#include <cmath>

namespace georeckon {
namespace {

CommonPointRow Row(const char* name, std::vector<double> v) {
  return MakeCommonPointRow(name, v.data(), static_cast<int>(v.size()));
}

TEST(Residuals, FourParameterResidualsAndSigma) {
  FourParams p;
  p.dx0 = 100;
  p.dy0 = -50;
  p.dTheta = 2.0;
  p.dLambda = 3e-6;
  const Xy s[3] = {{3000000, 500000}, {3001000, 500500}, {3000400, 502000}};
  const double dx[3] = {0.010, -0.020, 0.004};
  const double dy[3] = {0.000, 0.030, -0.012};
  std::vector<CommonPointRow> rows;
  const char* names[3] = {"A", "B", "C"};
  for (int i = 0; i < 3; ++i) {
    const Xy t = ApplyFourParams(p, s[i]);
    rows.push_back(Row(names[i], {s[i].x, s[i].y, t.x + dx[i], t.y + dy[i]}));
  }
  const SolveResiduals r = FourResiduals(rows, p);
  ASSERT_EQ(r.points.size(), 3u);
  EXPECT_FALSE(r.spatial);
  double sum = 0;
  for (int i = 0; i < 3; ++i) {
    // Cells hold 4 decimals, so the residuals are good to 1e-4 m.
    EXPECT_NEAR(r.points[i].vx, -dx[i], 1e-4);
    EXPECT_NEAR(r.points[i].vy, -dy[i], 1e-4);
    EXPECT_EQ(r.points[i].vz, 0);
    sum += r.points[i].vx * r.points[i].vx + r.points[i].vy * r.points[i].vy;
  }
  EXPECT_DOUBLE_EQ(r.sigma0, std::sqrt(sum / (6 - 4)));
  EXPECT_EQ(r.worst, 1);  // B: 0.036 m

  const std::string report = FormatResidualReport(r);
  EXPECT_EQ(report.substr(0, report.find('\n')), "点名 vx(m) vy(m)");
  EXPECT_NE(report.find("\nB     0.0200    -0.0300\n"), std::string::npos) << report;
  EXPECT_NE(report.find("\nσ0 = "), std::string::npos);
  EXPECT_NE(report.find("最大残差: B 0.036"), std::string::npos) << report;
}

TEST(Residuals, SevenParameterResidualsAndNoRedundancy) {
  SevenParams p;
  p.dX0 = -10;
  p.dY0 = 20;
  p.dZ0 = 5;
  p.thetaX = 1.5;
  p.thetaY = -0.5;
  p.thetaZ = 3;
  p.dLambda = -2e-6;
  const Xyz s[3] = {{-2764128.3196, 4787610.6883, 3170373.7354},
                    {-2812875.0298, 4726453.2557, 3218681.3676},
                    {-2700000.0000, 4800000.0000, 3200000.0000}};
  std::vector<CommonPointRow> rows;
  for (int i = 0; i < 3; ++i) {
    const Xyz t = ApplySevenParams(p, s[i]);
    rows.push_back(Row(i == 2 ? "P3" : "P", {s[i].X, s[i].Y, s[i].Z, t.X, t.Y, t.Z + (i == 2 ? 0.05 : 0)}));
  }
  const SolveResiduals r = SevenResiduals(rows, p);
  ASSERT_EQ(r.points.size(), 3u);
  EXPECT_NEAR(r.points[2].vz, -0.05, 1e-4);
  EXPECT_NEAR(r.points[0].Length(), 0, 2e-4);
  EXPECT_EQ(r.worst, 2);
  EXPECT_NEAR(r.sigma0, 0.05 / std::sqrt(2.0), 2e-4);  // 9 - 7 = 2
  const std::string report = FormatResidualReport(r);
  EXPECT_EQ(report.substr(0, report.find('\n')), "点名 vx(m) vy(m) vz(m)");

  // One plane point: the shifts fit exactly and σ0 is not determined.
  const SolveResiduals one = FourResiduals({Row("Q", {1, 2, 3, 4})}, FourParams{2, 2, 0, 0});
  EXPECT_TRUE(std::isnan(one.sigma0));
  EXPECT_NE(FormatResidualReport(one).find("σ0 = - m"), std::string::npos);
  EXPECT_EQ(FourResiduals({}, FourParams{}).worst, -1);
}

}  // namespace
}  // namespace georeckon
