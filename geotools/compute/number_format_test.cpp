#include "geotools/compute/number_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

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

TEST(ParseNumberOrZero, CellTexts) {
  EXPECT_EQ(ParseNumberOrZero("1234.5678"), 1234.5678);
  EXPECT_EQ(ParseNumberOrZero("  -0.00010"), -0.0001);
  EXPECT_EQ(ParseNumberOrZero(""), 0.0);
  EXPECT_EQ(ParseNumberOrZero("abc"), 0.0);
  EXPECT_EQ(ParseNumberOrZero("12abc"), 12.0);
}

}  // namespace
}  // namespace georeckon
