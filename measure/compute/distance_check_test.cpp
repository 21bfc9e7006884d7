#include "measure/compute/distance_check.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vistamet {
namespace {

SpacePoint At(int32_t n, double x, double y = 0, double z = 0) {
  SpacePoint s;
  s.pointNumber = n;
  s.X = x;
  s.Y = y;
  s.Z = z;
  return s;
}

TEST(DistanceCheck, ReportsEveryMatchedRecordAndTheStatistics) {
  // Errors 0.5, -1.0, 0.2: mean -0.1, max -1.0, standard error sqrt(0.63).
  const std::vector<SpacePoint> pts = {At(1, 0), At(2, 10.5), At(3, 0, 20), At(4, 0, 0, 5.2),
                                       At(1, 99)};  // a second 1: the first is used
  const std::vector<KnownDistance> known = {{1, 2, 10.0}, {1, 3, 21.0}, {7, 1, 3.0},
                                            {1, 4, 5.0}};
  const DistanceCheck c = CheckDistances(known, pts);
  EXPECT_EQ(c.matched, 3);
  EXPECT_NEAR(c.meanError, -0.1, 1e-12);
  EXPECT_DOUBLE_EQ(c.maxError, -1.0);
  EXPECT_NEAR(c.standardError, std::sqrt(0.63), 1e-12);
  EXPECT_EQ(c.report,
            "Start  End\tKnownDistance\tCalDistance\tError\n"
            "  1   2          10.000          10.500           0.500\n"
            "  1   3          21.000          20.000          -1.000\n"
            "  1   4           5.000           5.200           0.200\n"
            "距离计算误差统计:\n"
            " Standard Error:           0.794\n"
            " Max      Error:          -1.000\n"
            " Mean     Error:          -0.100\n");
}

TEST(DistanceCheck, FewRecordsGiveZeroStatisticsAndSelfDistanceIsZero) {
  const DistanceCheck c = CheckDistances({{5, 5, 2.5}}, {At(5, 1, 2, 3)});
  EXPECT_EQ(c.matched, 1);
  EXPECT_NE(c.report.find("  5   5           2.500           0.000          -2.500\n"),
            std::string::npos);
  EXPECT_EQ(c.standardError, 0);
  EXPECT_EQ(c.maxError, 0);
  EXPECT_EQ(c.meanError, 0);
}

TEST(KnownDistances, BadLinesAreSkippedNeverLoopedOn) {
  int skipped = 0;
  const std::string text = std::string("1 2 10.5\n") + "3\t4   7 extra words\r\n" + "\n" +
                           "x y z\n" + "5 6\n" + "7 8 nan\n" + "9 10 1e3" + std::string(1, '\0') +
                           "junk\n" + std::string(100000, '9') + "\n" + "11 12 3";
  const std::vector<KnownDistance> k = ParseKnownDistances(text, &skipped);
  ASSERT_EQ(k.size(), 4u);
  EXPECT_EQ(k[0].start, 1);
  EXPECT_EQ(k[1].known, 7);
  EXPECT_EQ(k[2].known, 1000);
  EXPECT_EQ(k[3].end, 12);
  EXPECT_EQ(skipped, 4);
  std::vector<KnownDistance> out;
  std::string error;
  EXPECT_FALSE(ReadKnownDistances("/nonexistent/known.txt", &out, &skipped, &error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace vistamet
