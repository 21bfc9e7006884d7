// Seven- and four-parameter transformations and their common-point tables.

#include <gtest/gtest.h>

#include <random>

#include <cmath>
#include <vector>

#include "geotools/compute/common_points.h"
#include "geotools/compute/four_params.h"
#include "geotools/compute/seven_params.h"

namespace georeckon {
namespace {

// Points of a network around (B 35°, L 115°) on the Earth's surface,
// `spread` metres across.
std::vector<Xyz> Network(int n, double spread) {
  std::vector<Xyz> pts;
  for (int i = 0; i < n; ++i) {
    const double u = std::sin(1.7 * i + 0.3), v = std::cos(2.3 * i + 1.1), w = std::sin(0.9 * i);
    pts.push_back(Xyz{-2184000 + spread * u, 4683000 + spread * v, 3637000 + spread * 0.1 * w});
  }
  return pts;
}

const SevenParams kTruth{-102.5, 48.25, 80.125, 1.5, -0.8, 2.3, 5.5e-6};

std::vector<Xyz> Transformed(const std::vector<Xyz>& pts, const SevenParams& p) {
  std::vector<Xyz> out;
  for (const Xyz& s : pts) out.push_back(ApplySevenParams(p, s));
  return out;
}

TEST(SevenParams, PureShiftIsRecoveredExactly) {
  const std::vector<Xyz> src = Network(3, 50000);
  const SevenParams shift{10, -20, 5, 0, 0, 0, 0};
  const std::vector<Xyz> dst = Transformed(src, shift);
  SevenParams p;
  ASSERT_EQ(SolveSevenParams(3, dst.data(), src.data(), &p), SolveStatus::kOk);
  const SevenParams r = RoundSevenParams(p);
  EXPECT_EQ(r, shift);
}

TEST(SevenParams, RecoversAllSevenFromSpreadPoints) {
  for (double spread : {100000.0, 5000.0, 1000.0}) {
    SCOPED_TRACE(spread);
    const std::vector<Xyz> src = Network(6, spread);
    const std::vector<Xyz> dst = Transformed(src, kTruth);
    SevenParams p;
    ASSERT_EQ(SolveSevenParams(6, dst.data(), src.data(), &p), SolveStatus::kOk);
    // Exact data: any residual error comes from the conditioning alone.
    const double tol = spread >= 5000 ? 1e-6 : 1e-4;
    EXPECT_NEAR(p.thetaX, kTruth.thetaX, tol * 1e3);
    EXPECT_NEAR(p.thetaY, kTruth.thetaY, tol * 1e3);
    EXPECT_NEAR(p.thetaZ, kTruth.thetaZ, tol * 1e3);
    EXPECT_NEAR(p.dLambda, kTruth.dLambda, tol * 1e-3);
    for (size_t i = 0; i < src.size(); ++i) {
      const Xyz back = ApplySevenParams(p, src[i]);
      EXPECT_NEAR(back.X, dst[i].X, 1e-4);
      EXPECT_NEAR(back.Y, dst[i].Y, 1e-4);
      EXPECT_NEAR(back.Z, dst[i].Z, 1e-4);
    }
  }
}

TEST(SevenParams, TooFewAndDegeneratePointsFail) {
  const SevenParams before{1, 2, 3, 4, 5, 6, 7};
  std::vector<Xyz> src = Network(3, 50000);
  std::vector<Xyz> dst = Transformed(src, kTruth);
  SevenParams p = before;
  EXPECT_EQ(SolveSevenParams(2, dst.data(), src.data(), &p), SolveStatus::kTooFewPoints);

  // Three identical points pass the pivot test with rounding noise.
  const std::vector<Xyz> same(3, src[0]);
  const std::vector<Xyz> same_dst(3, dst[0]);
  EXPECT_EQ(SolveSevenParams(3, same_dst.data(), same.data(), &p), SolveStatus::kSingular);

  // Collinear points leave the rotation about their line open.
  std::vector<Xyz> line;
  for (int i = 0; i < 5; ++i) line.push_back(Xyz{src[0].X + 1000 * i, src[0].Y + 2000 * i, src[0].Z});
  const std::vector<Xyz> line_dst = Transformed(line, kTruth);
  EXPECT_EQ(SolveSevenParams(5, line_dst.data(), line.data(), &p), SolveStatus::kSingular);

  // All points at the origin: the scale column is empty.
  const std::vector<Xyz> zeros(4, Xyz{});
  EXPECT_EQ(SolveSevenParams(4, zeros.data(), zeros.data(), &p), SolveStatus::kSingular);
  EXPECT_EQ(p, before);  // untouched by every failure
}

TEST(SevenParams, ZeroParametersReproduceTheInput) {
  const Xyz s{-2184123.4567, 4683456.789, 3637000.5};
  const Xyz t = ApplySevenParams(SevenParams{}, s);
  EXPECT_EQ(t.X, s.X);
  EXPECT_EQ(t.Y, s.Y);
  EXPECT_EQ(t.Z, s.Z);
}

TEST(SevenParams, RoundingAsShown) {
  const SevenParams r = RoundSevenParams(SevenParams{1.234564, 1.234566, -0.000004, 0.1234567894,
                                                     -2.0000000004, 3, 1.23456789012e-6});
  EXPECT_EQ(r.dX0, 1.23456);
  EXPECT_EQ(r.dY0, 1.23457);
  EXPECT_EQ(r.dZ0, -0.0);
  // Rotations and scale keep the 11 decimals of the parameter file.
  EXPECT_EQ(r.thetaX, 0.1234567894);
  EXPECT_EQ(r.thetaY, -2.0000000004);
  EXPECT_EQ(r.dLambda, 0.00000123457);
}

TEST(FourParams, OnePointGivesTheShift) {
  const Xy s{0, 0}, t{100, 200};
  FourParams p;
  ASSERT_EQ(SolveFourParams(1, &t, &s, &p), SolveStatus::kOk);
  EXPECT_EQ(p, (FourParams{100, 200, 0, 0}));
}

TEST(FourParams, TwoPointsGiveTheRotation) {
  const Xy s[2] = {{0, 0}, {1000, 0}};
  const Xy t[2] = {{0, 0}, {1000, 1}};
  FourParams p;
  ASSERT_EQ(SolveFourParams(2, t, s, &p), SolveStatus::kOk);
  const FourParams r = RoundFourParams(p);
  EXPECT_NEAR(r.dTheta, 206.264806247, 1e-9);  // θ = 0.001 rad
  EXPECT_NEAR(r.dLambda, 0, 1e-9);
  EXPECT_EQ(r.dx0, 0);
  EXPECT_EQ(r.dy0, 0);
}

TEST(FourParams, ScaleAboutTheOrigin) {
  const Xy s[4] = {{3000000, 500000}, {3001000, 500000}, {3000000, 501500}, {3002000, 502000}};
  Xy t[4];
  for (int i = 0; i < 4; ++i) t[i] = Xy{s[i].x * 1.00001, s[i].y * 1.00001};
  FourParams p;
  ASSERT_EQ(SolveFourParams(4, t, s, &p), SolveStatus::kOk);
  const FourParams r = RoundFourParams(p);
  EXPECT_NEAR(r.dLambda, 0.00001, 1e-9);
  EXPECT_NEAR(r.dTheta, 0, 1e-6);
  for (int i = 0; i < 4; ++i) {
    const Xy back = ApplyFourParams(p, s[i]);
    EXPECT_NEAR(back.x, t[i].x, 1e-5);
    EXPECT_NEAR(back.y, t[i].y, 1e-5);
  }
}

// The least-squares solution of A x = l by modified Gram-Schmidt in long
// double, straight from the unreduced design matrix (columns of A given).
std::vector<long double> LeastSquares(std::vector<std::vector<long double>> a,
                                      std::vector<long double> l) {
  const size_t m = a.size();
  std::vector<std::vector<long double>> r(m, std::vector<long double>(m, 0));
  for (size_t j = 0; j < m; ++j) {
    for (size_t i = 0; i < j; ++i) {
      long double d = 0;
      for (size_t k = 0; k < l.size(); ++k) d += a[i][k] * a[j][k];
      r[i][j] = d;
      for (size_t k = 0; k < l.size(); ++k) a[j][k] -= d * a[i][k];
    }
    long double norm = 0;
    for (long double v : a[j]) norm += v * v;
    norm = std::sqrt(norm);
    r[j][j] = norm;
    for (long double& v : a[j]) v /= norm;
  }
  std::vector<long double> qtl(m, 0), x(m, 0);
  for (size_t j = 0; j < m; ++j) {
    for (size_t k = 0; k < l.size(); ++k) qtl[j] += a[j][k] * l[k];
  }
  for (size_t j = m; j-- > 0;) {
    long double s = qtl[j];
    for (size_t i = j + 1; i < m; ++i) s -= r[j][i] * x[i];
    x[j] = s / r[j][j];
  }
  return x;
}

TEST(FourParams, EqualsTheLeastSquaresSolutionFarFromTheOrigin) {
  // A small network 3,500 km north and 40,500 km east (zone prefix), with
  // centimetre noise.
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> spread(0, 2000), noise(-0.02, 0.02);
  const int n = 12;
  std::vector<Xy> s(n), t(n);
  const FourParams truth{-123.456, 789.012, 4.56789, -8.7654e-6};
  for (int i = 0; i < n; ++i) {
    s[i] = Xy{3500000 + spread(rng), 40500000 + spread(rng)};
    const Xy exact = ApplyFourParams(truth, s[i]);
    t[i] = Xy{exact.x + noise(rng), exact.y + noise(rng)};
  }
  FourParams p;
  ASSERT_EQ(SolveFourParams(n, t.data(), s.data(), &p), SolveStatus::kOk);

  std::vector<std::vector<long double>> a(4, std::vector<long double>(2 * n));
  std::vector<long double> l(2 * n);
  for (int i = 0; i < n; ++i) {
    // Unknowns dx0, dy0, dλ, θ.
    a[0][2 * i] = 1, a[1][2 * i] = 0, a[2][2 * i] = s[i].x, a[3][2 * i] = -s[i].y;
    a[0][2 * i + 1] = 0, a[1][2 * i + 1] = 1, a[2][2 * i + 1] = s[i].y, a[3][2 * i + 1] = s[i].x;
    l[2 * i] = static_cast<long double>(t[i].x) - s[i].x;
    l[2 * i + 1] = static_cast<long double>(t[i].y) - s[i].y;
  }
  const std::vector<long double> x = LeastSquares(a, l);
  EXPECT_NEAR(p.dLambda, static_cast<double>(x[2]), 1e-13);
  EXPECT_NEAR(p.dTheta * kRadiansPerArcSecond, static_cast<double>(x[3]), 1e-13);
  EXPECT_NEAR(p.dx0, static_cast<double>(x[0]), 1e-5);
  EXPECT_NEAR(p.dy0, static_cast<double>(x[1]), 1e-5);
  // What matters in the end: the transformed points agree to 0.01 mm.
  FourParams ls{static_cast<double>(x[0]), static_cast<double>(x[1]),
                static_cast<double>(x[3]) * kArcSecondsPerRadian, static_cast<double>(x[2])};
  for (int i = 0; i < n; ++i) {
    EXPECT_NEAR(ApplyFourParams(p, s[i]).x, ApplyFourParams(ls, s[i]).x, 1e-5);
    EXPECT_NEAR(ApplyFourParams(p, s[i]).y, ApplyFourParams(ls, s[i]).y, 1e-5);
  }
}

TEST(SevenParams, EqualsTheLeastSquaresSolutionOfANoisyNetwork) {
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> spread(-3000, 3000), noise(-0.03, 0.03);
  const int n = 10;
  std::vector<Xyz> s(n), t(n);
  for (int i = 0; i < n; ++i) {
    s[i] = Xyz{-2184000 + spread(rng), 4683000 + spread(rng), 3637000 + spread(rng)};
    const Xyz exact = ApplySevenParams(kTruth, s[i]);
    t[i] = Xyz{exact.X + noise(rng), exact.Y + noise(rng), exact.Z + noise(rng)};
  }
  SevenParams p;
  ASSERT_EQ(SolveSevenParams(n, t.data(), s.data(), &p), SolveStatus::kOk);
  std::vector<std::vector<long double>> a(7, std::vector<long double>(3 * n, 0));
  std::vector<long double> l(3 * n);
  for (int i = 0; i < n; ++i) {
    const long double X = s[i].X, Y = s[i].Y, Z = s[i].Z;
    const int r = 3 * i;
    // Unknowns dX0, dY0, dZ0, εx, εy, εz, dλ.
    a[0][r] = 1, a[4][r] = -Z, a[5][r] = Y, a[6][r] = X;
    a[1][r + 1] = 1, a[3][r + 1] = Z, a[5][r + 1] = -X, a[6][r + 1] = Y;
    a[2][r + 2] = 1, a[3][r + 2] = -Y, a[4][r + 2] = X, a[6][r + 2] = Z;
    l[r] = t[i].X - X;
    l[r + 1] = t[i].Y - Y;
    l[r + 2] = t[i].Z - Z;
  }
  const std::vector<long double> x = LeastSquares(a, l);
  EXPECT_NEAR(p.thetaX * kRadiansPerArcSecond, static_cast<double>(x[3]), 1e-11);
  EXPECT_NEAR(p.thetaY * kRadiansPerArcSecond, static_cast<double>(x[4]), 1e-11);
  EXPECT_NEAR(p.thetaZ * kRadiansPerArcSecond, static_cast<double>(x[5]), 1e-11);
  EXPECT_NEAR(p.dLambda, static_cast<double>(x[6]), 1e-11);
  const SevenParams ls{static_cast<double>(x[0]), static_cast<double>(x[1]),
                       static_cast<double>(x[2]), static_cast<double>(x[3]) * kArcSecondsPerRadian,
                       static_cast<double>(x[4]) * kArcSecondsPerRadian,
                       static_cast<double>(x[5]) * kArcSecondsPerRadian,
                       static_cast<double>(x[6])};
  for (int i = 0; i < n; ++i) {
    const Xyz a1 = ApplySevenParams(p, s[i]), a2 = ApplySevenParams(ls, s[i]);
    EXPECT_NEAR(a1.X, a2.X, 1e-4);
    EXPECT_NEAR(a1.Y, a2.Y, 1e-4);
    EXPECT_NEAR(a1.Z, a2.Z, 1e-4);
  }
}

TEST(FourParams, DegeneratePointsFail) {
  const FourParams before{1, 2, 3, 4};
  FourParams p = before;
  EXPECT_EQ(SolveFourParams(0, nullptr, nullptr, &p), SolveStatus::kTooFewPoints);
  const Xy s[3] = {{3000000, 500000}, {3000000, 500000}, {3000000, 500000}};
  const Xy t[3] = {{3000001, 500002}, {3000001, 500002}, {3000001, 500002}};
  EXPECT_EQ(SolveFourParams(3, t, s, &p), SolveStatus::kSingular);
  EXPECT_EQ(p, before);
}

TEST(CommonPoints, ListLinesFollowTheLengthAndFieldRules) {
  const std::string spatial =
      "P1 1 2 3 4 5 6\n"            // 14 bytes: accepted
      "P 1 2 3 4 5 6 extra\n"        // extra fields ignored
      "  \tP2 1.5 2 3 4 5 6  \r\n"   // trimmed first
      "P3 1 2 3 4 5\n"               // a field short
      "P4 1 2 3 4 5 x\n"             // not a number
      "12345678901\n"                // too short
      "\xb5\xe3 10 20 30 40 50 60\n"  // CP936 name 点
      "\n";
  std::vector<CommonPointRow> rows;
  const PointListResult r = ParseCommonPointList(spatial, CommonPointKind::kSpatial, &rows);
  EXPECT_EQ(r.lines, 8);
  EXPECT_EQ(r.rows_added, 4);
  EXPECT_EQ(r.lines_skipped, 4);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0].name, "P1");
  EXPECT_EQ(rows[0].cells, (std::vector<std::string>{"1.0000", "2.0000", "3.0000", "4.0000",
                                                     "5.0000", "6.0000"}));
  EXPECT_EQ(rows[2].cells[0], "1.5000");
  EXPECT_EQ(rows[3].name, "点");

  std::vector<CommonPointRow> plane;
  const PointListResult q =
      ParseCommonPointList("a 1 2 3 4\nab 1 2\n点 1 2 3 4\n", CommonPointKind::kPlane, &plane);
  EXPECT_EQ(q.rows_added, 2);
  ASSERT_EQ(plane.size(), 2u);
  EXPECT_EQ(plane[1].name, "点");
  EXPECT_EQ(plane[1].cells.size(), 4u);
}

TEST(CommonPoints, MissingFileIsReported) {
  std::vector<CommonPointRow> rows;
  const PointListResult r =
      ReadCommonPointList("/nonexistent/points.txt", CommonPointKind::kSpatial, &rows);
  EXPECT_FALSE(r.opened);
  EXPECT_NE(r.detail.find("/nonexistent/points.txt"), std::string::npos);
}

TEST(CommonPoints, SolvingReadsTheShownCells) {
  const std::vector<Xyz> src = Network(4, 20000);
  const std::vector<Xyz> dst = Transformed(src, kTruth);
  std::vector<CommonPointRow> rows;
  for (size_t i = 0; i < src.size(); ++i) {
    const double v[6] = {src[i].X, src[i].Y, src[i].Z, dst[i].X, dst[i].Y, dst[i].Z};
    rows.push_back(MakeCommonPointRow("P" + std::to_string(i), v, 6));
  }
  SevenParams shown;
  ASSERT_EQ(SolveSevenFromRows(rows, &shown), SolveStatus::kOk);
  // Same as solving from the values rounded to the 4 shown decimals.
  std::vector<Xyz> s4, d4;
  for (const CommonPointRow& row : rows) {
    const std::vector<double> v = RowValues(row);
    s4.push_back(Xyz{v[0], v[1], v[2]});
    d4.push_back(Xyz{v[3], v[4], v[5]});
  }
  SevenParams direct;
  ASSERT_EQ(SolveSevenParams(4, d4.data(), s4.data(), &direct), SolveStatus::kOk);
  EXPECT_EQ(shown, RoundSevenParams(direct));

  rows.resize(2);
  EXPECT_EQ(SolveSevenFromRows(rows, &shown), SolveStatus::kTooFewPoints);
  FourParams four;
  EXPECT_EQ(SolveFourFromRows({}, &four), SolveStatus::kTooFewPoints);
  EXPECT_EQ(EditedCellText(2.5), "2.50000");
}

}  // namespace
}  // namespace georeckon
