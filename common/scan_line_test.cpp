#include "common/scan_line.h"
#include "common/scoped_locale.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace common {
namespace {

bool SameDouble(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) {
    return std::isnan(a) && std::isnan(b) && std::signbit(a) == std::signbit(b);
  }
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// Runs the C library's sscanf with a pattern of %s and %lf directives and
// returns what it read in the same shape as ScanLine.
int ReferenceScan(const std::string& line, const char* pattern, std::vector<std::string>* texts,
                  std::vector<double>* numbers) {
  const size_t cap = line.size() + 1;
  std::vector<std::vector<char>> bufs(4, std::vector<char>(cap, '\0'));
  double d[4] = {0, 0, 0, 0};
  int r = 0;
  const std::string p = pattern;
  if (p == "%s %lf %lf %lf") {
    r = std::sscanf(line.c_str(), pattern, bufs[0].data(), &d[1], &d[2], &d[3]);
  } else if (p == "%lf %lf %lf %lf") {
    r = std::sscanf(line.c_str(), pattern, &d[0], &d[1], &d[2], &d[3]);
  } else if (p == "%lf%s") {
    r = std::sscanf(line.c_str(), pattern, &d[0], bufs[1].data());
  } else if (p == "%s %lf%s") {
    r = std::sscanf(line.c_str(), pattern, bufs[0].data(), &d[1], bufs[2].data());
  } else if (p == "%s %lf %lf") {
    r = std::sscanf(line.c_str(), pattern, bufs[0].data(), &d[1], &d[2]);
  }
  if (r == EOF) r = 0;
  texts->assign(4, std::string());
  numbers->assign(4, 0.0);
  for (int i = 0; i < 4; ++i) {
    (*texts)[i] = bufs[i].data();
    (*numbers)[i] = d[i];
  }
  return r;
}

bool PatternFieldIsText(const char* pattern, int index) {
  int k = 0;
  for (const char* p = pattern; *p; ++p) {
    if (*p != '%') continue;
    if (k == index) return p[1] == 's';
    ++k;
  }
  return false;
}

void ExpectSameAsSscanf(const std::string& line, const char* pattern) {
  SCOPED_TRACE("line [" + line + "] pattern " + pattern);
  std::vector<std::string> texts;
  std::vector<double> numbers;
  const int expected = ReferenceScan(line, pattern, &texts, &numbers);
  ScanField fields[4];
  const int got = ScanLine(line, pattern, fields, 4);
  ASSERT_EQ(got, expected);
  for (int i = 0; i < got; ++i) {
    if (PatternFieldIsText(pattern, i)) {
      EXPECT_EQ(std::string(fields[i].text), texts[i]) << "field " << i;
    } else {
      EXPECT_TRUE(SameDouble(fields[i].number, numbers[i]))
          << "field " << i << ": " << fields[i].number << " vs " << numbers[i];
    }
  }
}

TEST(ScanLine, AgreesWithSscanfOnHandPickedLines) {
  const char* const lines[] = {
      "P1 30 120 0", "P1 30.5 -120.25 1e3 extra fields", "  \tP1\t30 120 0", "P1 30 120",
      "P1 30 120 x", "a 1 2 3", "1e 2 3 4", "1e+ 2 3 4", "1.e5 2 3 4", ".e5 1 2 3",
      ". 1 2 3", "- 1 2 3", "+.5 -.5 +0 -0", "0x 1 2 3", "0x1p3 0X.8P1 0x1p 0xg",
      "0xp1 1 2 3", "0x.p1 1 2 3", "inf -INF +Infinity nan", "infinit 1 2 3", "nan(12) 1 2 3",
      "nanx 1 2 3", "1..2 3 4 5", "1,5 2 3 4", "00012 1e400 -1e400 1e-400", "4.9e-324 1 2 3",
      "1e-310 2 3 4", "1 2 3 4,", "1\v2\f3\r4", "30.3000 120.0000 31.0000 121.0000",
      "100ergs 2 3 4", "P 1 2 3", "", "   ", "P", "1.5e+x 2 3 4",
  };
  const char* const patterns[] = {"%s %lf %lf %lf", "%lf %lf %lf %lf", "%lf%s", "%s %lf%s",
                                  "%s %lf %lf"};
  for (const char* line : lines) {
    for (const char* pattern : patterns) ExpectSameAsSscanf(line, pattern);
  }
}

TEST(ScanLine, AgreesWithSscanfOnRandomLines) {
  // Characters that steer the number scanner into every one of its states.
  const std::string alphabet = "0123456789..eEpPxX+-  \tnaNAiIfFtyYz";
  std::mt19937 rng(12345);
  std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
  std::uniform_int_distribution<int> length(0, 24);
  const char* const patterns[] = {"%s %lf %lf %lf", "%lf %lf %lf %lf", "%lf%s", "%s %lf%s"};
  for (int k = 0; k < 20000; ++k) {
    std::string line;
    const int len = length(rng);
    for (int j = 0; j < len; ++j) line.push_back(alphabet[pick(rng)]);
    ExpectSameAsSscanf(line, patterns[k % 4]);
    if (HasFatalFailure() || HasNonfatalFailure()) return;
  }
}

TEST(ScanLine, RoundTripsPrintedNumbersExactly) {
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
  std::uniform_int_distribution<int> exponent(-320, 308);
  for (int k = 0; k < 20000; ++k) {
    const double v = mantissa(rng) * std::pow(10.0, exponent(rng));
    char text[64];
    std::snprintf(text, sizeof text, k % 2 ? "%.17g" : "%a", v);
    ExpectSameAsSscanf(std::string("P ") + text + " 0 0", "%s %lf %lf %lf");
    if (HasFatalFailure() || HasNonfatalFailure()) return;
  }
}

TEST(ScanLine, StopsAtNulByteLikeACString) {
  const std::string line("P 1 2\0 3", 8);
  ScanField f[4];
  EXPECT_EQ(ScanLine(line, "%s %lf %lf %lf", f, 4), 3);
  const std::string tail("P 1 2 3\0junk", 12);
  EXPECT_EQ(ScanLine(tail, "%s %lf %lf %lf", f, 4), 4);
  EXPECT_EQ(f[3].number, 3.0);
}

TEST(ScanLine, NameBytesPassThroughUnchanged) {
  // CP936 "点1" and UTF-8 "点1": no byte of either is white space.
  const std::string cp936 = "\xb5\xe3" "1 30 120 0";
  const std::string utf8 = "\xe7\x82\xb9" "1 30 120 0";
  ScanField f[4];
  ASSERT_EQ(ScanLine(cp936, "%s %lf %lf %lf", f, 4), 4);
  EXPECT_EQ(f[0].text, "\xb5\xe3" "1");
  ASSERT_EQ(ScanLine(utf8, "%s %lf %lf %lf", f, 4), 4);
  EXPECT_EQ(f[0].text, "\xe7\x82\xb9" "1");
}

TEST(ScanLine, IgnoresTheProcessLocale) {
  ScopedLocale comma(LC_NUMERIC, kCommaDecimalLocale);
  ASSERT_TRUE(comma.ok()) << kCommaDecimalLocale << " is missing: run scripts/setup.sh";
  // The locale really writes a decimal comma, so a locale-bound reader
  // would stop at the point.
  char buf[16];
  std::snprintf(buf, sizeof buf, "%.1f", 1.5);
  ASSERT_STREQ(buf, "1,5");
  ScanField f[2];
  ASSERT_EQ(ScanLine("1.5 2e-3", "%lf %lf", f, 2), 2);
  EXPECT_EQ(f[0].number, 1.5);
  EXPECT_EQ(f[1].number, 2e-3);
}

TEST(TrimSpace, RemovesScanfWhiteSpaceOnBothEnds) {
  EXPECT_EQ(TrimSpace(" \t\r\nP 1 2 3 \r\n\v\f"), "P 1 2 3");
  EXPECT_EQ(TrimSpace("   "), "");
  EXPECT_EQ(TrimSpace(""), "");
  EXPECT_EQ(TrimSpace("\xa1\xa1x"), "\xa1\xa1x");  // the CP936 ideographic blank is kept
}

}  // namespace
}  // namespace common
