#include "geotools/compute/number_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "geotools/compute/angle_unit.h"

namespace georeckon {
namespace {

std::string Printf(double v, int width, int precision) {
  char buf[512];
  std::snprintf(buf, sizeof buf, "%*.*f", width, precision, v);
  return buf;
}

TEST(AppendFixed, SameBytesAsPrintf) {
  const double awkward[] = {0.0,  -0.0,   0.5,     1.5,      2.5,       0.125,   0.375,
                             1e-7, -1e-7,  4321.5,  -2764128.31955, 1e15, 1e22,
                             1e300, -1e300, 5e-324, NAN,    -NAN,     INFINITY, -INFINITY,
                             0.000050000000000000002, 99999.99995, 3320113.39795};
  const int formats[][2] = {{13, 4}, {16, 10}, {20, 10}, {13, 5}, {16, 11}, {0, 6}, {0, 4},
                            {0, 0},  {3, 0}};
  for (double v : awkward) {
    for (const auto& f : formats) {
      EXPECT_EQ(FormatFixed(v, f[0], f[1]), Printf(v, f[0], f[1]))
          << "%" << f[0] << "." << f[1] << "f of " << v;
    }
  }
  std::mt19937_64 rng(99);
  std::uniform_real_distribution<double> mant(-1, 1);
  std::uniform_int_distribution<int> exp10(-12, 9);
  for (int k = 0; k < 50000; ++k) {
    const double v = mant(rng) * std::pow(10.0, exp10(rng));
    const auto& f = formats[k % 5];
    ASSERT_EQ(FormatFixed(v, f[0], f[1]), Printf(v, f[0], f[1])) << v;
  }
  // Exact binary ties: printf rounds them to even, and so must we.
  for (int i = -4000; i <= 4000; ++i) {
    const double v = i / 8.0;
    ASSERT_EQ(FormatFixed(v, 0, 2), Printf(v, 0, 2)) << v;
  }
}

TEST(AppendFixed, AppendsToWhatIsThere) {
  std::string s = "P1 ";
  AppendFixed(&s, 4321.5, 13, 4);
  EXPECT_EQ(s, "P1     4321.5000");
}

TEST(RoundDecimals, SameAsFormattingAndReadingBack) {
  std::mt19937_64 rng(5);
  std::uniform_real_distribution<double> u(-1e7, 1e7);
  for (int k = 0; k < 20000; ++k) {
    const double v = u(rng);
    for (int d : {4, 5, 9, 10}) {
      char buf[64];
      std::snprintf(buf, sizeof buf, "%.*f", d, v);
      ASSERT_EQ(RoundDecimals(v, d), std::strtod(buf, nullptr)) << v << " to " << d;
    }
  }
}

TEST(BatchFixed, ZeroNeverCarriesAMinus) {
  auto f = [](double v, int w, int p) {
    std::string s;
    AppendBatchFixed(&s, v, w, p);
    return s;
  };
  EXPECT_EQ(f(-0.0, 13, 4), "       0.0000");
  EXPECT_EQ(f(-0.00004, 13, 4), "       0.0000");
  EXPECT_EQ(f(-0.00006, 13, 4), "      -0.0001");
  EXPECT_EQ(f(-1e-12, 0, 10), "0.0000000000");
  EXPECT_EQ(f(-12.5, 8, 2), "  -12.50");
  EXPECT_EQ(f(0.00004, 13, 4), "       0.0000");
}

TEST(PackedDms, RoundsSecondsAndCarries) {
  auto f = [](double deg, int w = 0, int p = 10) {
    std::string s;
    AppendPackedDms(&s, deg, w, p);
    return s;
  };
  EXPECT_EQ(f(120.0), "120.0000000000");
  EXPECT_EQ(f(120.0 - 1e-12), "120.0000000000");
  EXPECT_EQ(f(119.99999999999), "120.0000000000");
  EXPECT_EQ(f(30.5), "30.3000000000");
  EXPECT_EQ(f(30.25 + 1.5 / 3600), "30.1501500000");
  EXPECT_EQ(f(10 + 59.0 / 60 + 59.9999999 / 3600), "11.0000000000");  // 59.99999990" rounds up
  EXPECT_EQ(f(10 + 59.0 / 60 + 59.9999994 / 3600), "10.5959999999");
  EXPECT_EQ(f(10 + 59.0 / 60 + 59.9999996 / 3600), "11.0000000000");
  EXPECT_EQ(f(10 + 59.0 / 60 + 12.3456784 / 3600), "10.5912345678");
  EXPECT_EQ(f(-45.5, 16), "  -45.3000000000");
  EXPECT_EQ(f(-1e-13, 16), "    0.0000000000");
  EXPECT_EQ(f(0.0, 16), "    0.0000000000");
  EXPECT_EQ(f(120.0, 0, 4), "120.0000");
  // Against the unit conversion wherever no carry is involved.
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> any(-180, 180);
  for (int i = 0; i < 2000; ++i) {
    const double deg = any(rng);
    const double packed = ConvertAngle(deg, kDegree, kPackedDms);
    const std::string text = f(deg, 16);
    double back = 0;
    ASSERT_EQ(std::sscanf(text.c_str(), "%lf", &back), 1);
    ASSERT_NEAR(back, packed, 1.01e-10) << deg;
    const double seconds = std::fmod(std::fabs(back) * 1e4, 100.0);
    const double minutes = std::fmod(std::fabs(back) * 1e2, 100.0);
    ASSERT_LT(seconds, 60.0) << text;
    ASSERT_LT(minutes, 60.0) << text;
  }
}

TEST(ParseNumberOrZero, CellTexts) {
  EXPECT_EQ(ParseNumberOrZero("1234.5678"), 1234.5678);
  EXPECT_EQ(ParseNumberOrZero("  -0.00010"), -0.0001);
  EXPECT_EQ(ParseNumberOrZero(""), 0.0);
  EXPECT_EQ(ParseNumberOrZero("abc"), 0.0);
  EXPECT_EQ(ParseNumberOrZero("12abc"), 12.0);
}

}  // namespace
}  // namespace georeckon
