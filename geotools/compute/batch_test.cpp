#include "geotools/compute/batch.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <tuple>

#include "common/atomic_file.h"

namespace georeckon {
namespace {

BatchSettings Degrees() {
  BatchSettings s;
  s.inputUnit = kDegree;
  s.outputUnit = kDegree;
  return s;
}

std::string Convert(BatchFunction f, const BatchSettings& s, const std::string& in,
                BatchReport* report = nullptr) {
  std::string out;
  const BatchReport r = RunBatchText(f, s, in, &out);
  if (report) *report = r;
  return out;
}

TEST(Batch, InputAndOutputPairs) {
  BatchSettings packed;  // the document's default units
  BatchSettings deg = Degrees();
  BatchSettings gauss120 = deg;
  gauss120.l0 = 120;
  BatchSettings gauss117 = deg;
  gauss117.l0 = 117;
  BatchSettings zone = deg;
  zone.l0 = 117;
  zone.l0_2 = 117;
  struct Case {
    BatchFunction f;
    const BatchSettings* s;
    const char* in;
    const char* out;
  } const cases[] = {
      {BatchFunction::kBlhToXyz, &packed, "P1 30 120 0\n",
       "P1 -2764128.3196  4787610.6883  3170373.7354\n"},
      {BatchFunction::kXyzToBlh, &deg, "Q 6378137 0 0\nR 0 0 -6356852.314245179\n",
       "Q     0.0000000000     0.0000000000        0.0000\n"
       "R   -90.0000000000     0.0000000000      100.0000\n"},
      {BatchFunction::kGeodeticInverse, &deg, "30 0 31 10\n30 0 30 0\n",
       " 966032.06002    80.8867040092\n      0.00000     0.0000000000\n"},
      {BatchFunction::kGeodeticDirect, &deg, "80 10 3e6 0\n",
       "   73.1350406183  -170.0000000000\n"},
      {BatchFunction::kPlaneInverse, &deg, "0 0 -10 -10\n",
       "       14.1421356237   225.0000000000\n"},
      {BatchFunction::kPlaneDirect, &deg, "100 200 10 180\n",
       "   90.0000000000   200.0000000000\n"},
      {BatchFunction::kGaussForward, &gauss120, "P 30 120 5\n",
       "P  3320113.3980   500000.0000        5.0000\n"},
      {BatchFunction::kGaussForward, &gauss117, "K 30.5 119.9 0\n",
       "K  3379120.2416   778454.9492        0.0000\n"},
      {BatchFunction::kGaussInverse, &gauss120, "P 3320113.3980 500000 5\n",
       "P    30.0000000014   120.0000000000        5.0000\n"},  // x is rounded
      {BatchFunction::kZoneChange, &zone, "Z 3379120.2416 778454.9492 1.5\n",
       "Z  3379120.2417   778454.9494        1.5000\n"},  // series round trip
      {BatchFunction::kSevenApply, &packed, "S -2764128.3196 4787610.6883 3170373.7354\n",
       "S -2764128.31960 4787610.68830 3170373.73540\n"},
      {BatchFunction::kFourApply, &packed, "F 3000000.5 500000.25\n",
       "F 3000000.50000  500000.25000\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(BatchInfo(c.f).cli_name);
    BatchReport r;
    EXPECT_EQ(Convert(c.f, *c.s, c.in, &r), c.out);
    EXPECT_EQ(r.status, BatchStatus::kOk);
    EXPECT_EQ(r.skipped, 0);
    EXPECT_EQ(r.failed, 0);
  }
}

TEST(Batch, TransformParametersAreApplied) {
  BatchSettings s;
  s.seven = SevenParams{10, -20, 5, 0, 0, 0, 0};
  EXPECT_EQ(Convert(BatchFunction::kSevenApply, s, "A 1 2 3\n"),
            "A      11.00000     -18.00000       8.00000\n");
  s.four = FourParams{100, 200, 0, 0.5};
  EXPECT_EQ(Convert(BatchFunction::kFourApply, s, "B 10 20\n"), "B     115.00000     230.00000\n");
}

TEST(Batch, LineRules) {
  const char kIn[] =
      "\n"                       // empty
      "      \t\n"               // blanks only
      "P 1 2\n"                  // too short and a field missing
      "P1 30 120\n"              // long enough, a field missing
      "P2 30 x 0\n"              // not a number
      "123456\n"                 // six bytes
      "a 1 2 3\n"                // seven bytes: converts
      "  \tb 1 2 3 \r\n"         // trimmed, converts
      "c 1 2 3 4 5 six\n"        // extra fields ignored
      "d 1\0 2 3\n"              // the NUL ends the line early
      "e 1 2 3\0 junk\n"         // the NUL ends it after the fields
      "\xb5\xe3\xa3\xb1 1 2 3\n"  // CP936 name
      "\xe7\x82\xb9 1 2 3";       // UTF-8 name, no final line end
  const std::string in(kIn, sizeof kIn - 1);
  BatchReport r;
  const std::string out = Convert(BatchFunction::kBlhToXyz, Degrees(), in, &r);
  EXPECT_EQ(r.lines, 13);
  EXPECT_EQ(r.converted, 6);
  EXPECT_EQ(r.skipped, 7);
  std::istringstream lines(out);
  std::string line;
  std::vector<std::string> names;
  while (std::getline(lines, line)) names.push_back(line.substr(0, line.find(' ')));
  EXPECT_EQ(names, (std::vector<std::string>{"a", "b", "c", "e", "\xb5\xe3\xa3\xb1",
                                             "\xe7\x82\xb9"}));
  EXPECT_EQ(out.find('\0'), std::string::npos);
}

TEST(Batch, LengthsCountCodePageBytes) {
  // "%s %lf %lf": a Chinese name counts 2 bytes in CP936 and in UTF-8.
  BatchReport r;
  const std::string out = Convert(BatchFunction::kFourApply, BatchSettings(),
                              "ab 1 2\n"                // 6 bytes: skipped
                              "abc 1 2\n"               // 7 bytes: converts
                              "\xe7\x82\xb9 1 2\n"      // UTF-8 点: 6 in CP936, skipped
                              "\xb5\xe3 1 2\n"          // CP936 点: 6 bytes, skipped
                              "\xe7\x82\xb9" "1 1 2\n", // 点1: 7, converts
                              &r);
  EXPECT_EQ(r.converted, 2);
  EXPECT_EQ(r.skipped, 3);
  EXPECT_EQ(out.substr(0, 4), "abc ");
}

TEST(Batch, VeryLongLinesPassThrough) {
  const std::string name(200000, 'N');
  std::string extra;
  for (int i = 0; i < 20000; ++i) extra += " 9";
  BatchReport r;
  const std::string out =
      Convert(BatchFunction::kSevenApply, BatchSettings(), name + " 1 2 3" + extra + "\n", &r);
  EXPECT_EQ(r.converted, 1);
  EXPECT_EQ(out, name + "       1.00000       2.00000       3.00000\n");
}

TEST(Batch, FailedLinesAreListedAndLeftOut) {
  BatchReport r;
  const std::string out = Convert(BatchFunction::kGeodeticInverse, Degrees(),
                              "30 0 31 10\n"
                              "0 0 179.5 179.7\n"  // latitude out of range, not settling
                              "nan 0 1 1\n"
                              "30 0 31 10\n"
                              "0 0 0.5 179.7\n",  // nearly antipodal: solved
                              &r);
  EXPECT_EQ(r.converted, 3);
  EXPECT_EQ(r.failed, 2);
  ASSERT_EQ(r.failures.size(), 2u);
  EXPECT_EQ(r.failures[0].line, 2);
  EXPECT_EQ(r.failures[0].reason, LineFailure::kNoConvergence);
  EXPECT_EQ(r.failures[1].line, 3);
  EXPECT_EQ(r.failures[1].reason, LineFailure::kNotFinite);
  EXPECT_EQ(out.substr(0, 62),
            " 966032.06002    80.8867040092\n 966032.06002    80.8867040092\n");
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 3);

  const std::string neg = Convert(BatchFunction::kPlaneDirect, Degrees(), "0 0 -1 45\n", &r);
  EXPECT_EQ(neg, "");
  ASSERT_EQ(r.failures.size(), 1u);
  EXPECT_EQ(r.failures[0].reason, LineFailure::kNegativeDistance);
  EXPECT_STREQ(LineFailureText(r.failures[0].reason), "距离不能为负值，请确认！");
}

TEST(Batch, EveryLineLeftOutIsListedWithItsReason) {
  BatchReport r;
  const std::string out = Convert(BatchFunction::kBlhToXyz, Degrees(),
                                  "A 30 120 0\n"
                                  "\n"               // blank: no data, not listed
                                  "abc\n"            // too short
                                  "B 30 x 0\n"       // not a number
                                  "C nan 120 0\n"    // read, but not finite
                                  "D 30 inf 0\n"
                                  "E 1e308 120 1e308\n",  // finite, result fine or not
                                  &r);
  EXPECT_EQ(r.lines, 7);
  EXPECT_EQ(r.skipped, 3);
  EXPECT_EQ(r.unreadable, 2);
  ASSERT_EQ(r.skips.size(), 2u);
  EXPECT_EQ(r.skips[0].line, 3);
  EXPECT_EQ(r.skips[0].reason, LineFailure::kTooShort);
  EXPECT_EQ(r.skips[1].line, 4);
  EXPECT_EQ(r.skips[1].reason, LineFailure::kMissingFields);
  ASSERT_GE(r.failures.size(), 2u);
  EXPECT_EQ(r.failures[0].line, 5);
  EXPECT_EQ(r.failures[0].reason, LineFailure::kNotFinite);
  EXPECT_EQ(r.failures[1].line, 6);
  EXPECT_EQ(r.converted + r.skipped + r.failed, r.lines);
  EXPECT_EQ(out.find("nan"), std::string::npos);
  EXPECT_EQ(out.find("inf"), std::string::npos);
  EXPECT_EQ(out.rfind("A ", 0), 0u);
}

TEST(Batch, ResultsThatAreNotFiniteAreNotWritten) {
  // Four-parameter apply with a huge scale overflows to infinity.
  BatchSettings s;
  s.four.dLambda = 1e300;
  BatchReport r;
  const std::string out = Convert(BatchFunction::kFourApply, s, "P 1e10 1e10\nQ 0.0 0.0\n", &r);
  EXPECT_EQ(r.converted, 1);
  ASSERT_EQ(r.failures.size(), 1u);
  EXPECT_EQ(r.failures[0].line, 1);
  EXPECT_EQ(r.failures[0].reason, LineFailure::kNotFiniteResult);
  EXPECT_STREQ(LineFailureText(r.failures[0].reason), "计算结果不是有限数，无法输出！");
  EXPECT_EQ(out, "Q       0.00000       0.00000\n");
}

TEST(Batch, PackedAnglesCarryAndZeroHasNoSign) {
  BatchSettings s;
  s.inputUnit = kDegree;
  s.outputUnit = kPackedDms;
  // Due east along the equator: azimuth exactly 90°, written 90.0000000000.
  const std::string az = Convert(BatchFunction::kPlaneInverse, s, "0 0 0 10\n");
  EXPECT_EQ(az, "       10.0000000000    90.0000000000\n");
  // A Gauss inverse landing on the central meridian at 120°.
  s.l0 = 120;
  const std::string g = Convert(BatchFunction::kGaussInverse, s, "P 3320113.398 500000 0\n");
  EXPECT_NE(g.find("   120.0000000000"), std::string::npos) << g;
  EXPECT_EQ(g.find("5959"), std::string::npos) << g;
  // A point just west of the origin: zero without a minus.
  s.outputUnit = kDegree;
  s.l0 = 0;
  const std::string z = Convert(BatchFunction::kGaussInverse, s, "P 0.00001 499999.99999999 0\n");
  EXPECT_EQ(z.find('-'), std::string::npos) << z;
}

TEST(Batch, SeparatorIsDetectedPerFile) {
  EXPECT_EQ(DetectFieldSeparator("A 1 2 3\nB\t4\t5\t6\n"), FieldSeparator::kBlank);
  EXPECT_EQ(DetectFieldSeparator("A,1,2,3\nB,4,5,6\n"), FieldSeparator::kComma);
  EXPECT_EQ(DetectFieldSeparator("name;B;L;H\nA;1,5;2;3\n"), FieldSeparator::kSemicolon);
  EXPECT_EQ(DetectFieldSeparator("\xe7\x82\xb9\xef\xbc\x8c" "1\xef\xbc\x8c" "2\n"),
            FieldSeparator::kComma);                                   // UTF-8 '，'
  EXPECT_EQ(DetectFieldSeparator("\xb5\xe3\xa3\xac" "1\xa3\xac" "2\n"),
            FieldSeparator::kComma);                                   // CP936 '，'
  // "裬" is E8 A3 AC in UTF-8: not a CP936 comma.
  EXPECT_EQ(DetectFieldSeparator("\xe8\xa3\xac 1 2 3\n"), FieldSeparator::kBlank);
  // One odd line among many does not decide.
  EXPECT_EQ(DetectFieldSeparator("A 1 2 3\nB 1 2 3\nC,1 2 3\n"), FieldSeparator::kBlank);
  EXPECT_EQ(DetectFieldSeparator(""), FieldSeparator::kBlank);
}

TEST(Batch, SeparatedFilesGiveTheSameOutput) {
  const std::string blank = Convert(BatchFunction::kBlhToXyz, Degrees(),
                                    "P1 30 120 10\nP2 31.5 121.25 -3\n");
  ASSERT_EQ(std::count(blank.begin(), blank.end(), '\n'), 2);
  for (const char* in : {
           "P1,30,120,10\r\nP2, 31.5 ,121.25,-3\r\n",
           "\xef\xbb\xbfP1;30;120;10\nP2;31.5;121.25;-3",
           "P1\xef\xbc\x8c" "30\xef\xbc\x8c" "120\xef\xbc\x8c" "10\nP2,31.5,121.25,-3\n",
           "P1\t30\t120\t10\r\nP2   31.5\t121.25 -3\r\n"}) {
    SCOPED_TRACE(in);
    BatchReport r;
    EXPECT_EQ(Convert(BatchFunction::kBlhToXyz, Degrees(), in, &r), blank);
    EXPECT_EQ(r.unreadable, 0);
  }
  // Names may hold blanks; empty or partly numeric fields make a line
  // incomplete, and a header line is listed, not read as data.
  BatchReport r;
  const std::string out = Convert(BatchFunction::kBlhToXyz, Degrees(),
                                  "name,B,L,H\n"
                                  "Point 1,30,120,10\n"
                                  "P2,,120,10\n"
                                  "P3,30,120x,10\n"
                                  "P4,30,120,10,extra\n",
                                  &r);
  EXPECT_EQ(r.separator, FieldSeparator::kComma);
  EXPECT_EQ(r.converted, 2);
  EXPECT_EQ(out.substr(0, 8), "Point 1 ");
  ASSERT_EQ(r.skips.size(), 3u);
  EXPECT_EQ(r.skips[0].line, 1);
  EXPECT_EQ(r.skips[1].line, 3);
  EXPECT_EQ(r.skips[2].line, 4);
  EXPECT_EQ(r.skips[2].reason, LineFailure::kMissingFields);
}

TEST(Batch, ZoneChangeWarnsForEveryLineWhenMeridiansAreFarApart) {
  BatchSettings s;
  s.l0 = 111;
  s.l0_2 = 120;
  BatchReport r;
  Convert(BatchFunction::kZoneChange, s, "A 3000000 500000 0\nshort\nB 3100000 510000 0\n", &r);
  EXPECT_EQ(r.converted, 2);
  EXPECT_EQ(r.zoneWarnings, 2);
  s.l0_2 = 117;
  Convert(BatchFunction::kZoneChange, s, "A 3000000 500000 0\n", &r);
  EXPECT_EQ(r.zoneWarnings, 0);
  // Only a zone change has a second meridian to warn about.
  s.l0 = 117;
  s.l0_2 = 0;
  Convert(BatchFunction::kGaussInverse, s, "A 3000000 500000 0\n", &r);
  EXPECT_EQ(r.converted, 1);
  EXPECT_EQ(r.zoneWarnings, 0);
}

TEST(Batch, GaussZonesFromEachPointWithPrefixes) {
  BatchSettings s = Degrees();
  s.zoneWidth = 6;
  s.zoneFromPoint = true;
  s.zonePrefix = true;
  BatchReport r;
  const std::string in = "A 30.5 119.9 0\nB 30.5 110.0 0\nC 30.5 -75.0 0\n";
  const std::string out = Convert(BatchFunction::kGaussForward, s, in, &r);
  EXPECT_EQ(r.converted, 3);
  EXPECT_EQ(r.outsideZone, 0);
  // Each line as projected about its own zone's meridian, prefix in y.
  BatchSettings fixed = Degrees();
  std::string expected;
  for (auto [line, l0, zone] : {std::tuple{"A 30.5 119.9 0\n", 117.0, 20},
                                std::tuple{"B 30.5 110.0 0\n", 111.0, 19},
                                std::tuple{"C 30.5 -75.0 0\n", -75.0, 48}}) {
    fixed.l0 = l0;
    fixed.yConst = zone * 1e6 + 500000;
    expected += Convert(BatchFunction::kGaussForward, fixed, line);
  }
  EXPECT_EQ(out, expected);

  // Back again: the zone comes from y.
  s.zonePrefix = false;
  const std::string back = Convert(BatchFunction::kGaussInverse, s, out, &r);
  EXPECT_EQ(r.converted, 3);
  EXPECT_EQ(r.prefixMismatch, 0);
  std::istringstream lines(back);
  std::string name;
  double B, L, h;
  for (double want : {119.9, 110.0, -75.0}) {
    ASSERT_TRUE(lines >> name >> B >> L >> h);
    EXPECT_NEAR(B, 30.5, 1e-8);
    EXPECT_NEAR(L, want, 1e-8);
  }
  // Without a prefix the zone is unknown: reported, not guessed.
  Convert(BatchFunction::kGaussInverse, s, "P 3379120.2416 778454.9492 0\n", &r);
  EXPECT_EQ(r.converted, 0);
  ASSERT_EQ(r.failures.size(), 1u);
  EXPECT_EQ(r.failures[0].reason, LineFailure::kNoZonePrefix);
}

TEST(Batch, GaussZonesWarnOutsideTheZoneAndOnForeignPrefixes) {
  BatchSettings s = Degrees();
  s.l0 = 117;
  s.zoneWidth = 3;
  s.zonePrefix = true;
  BatchReport r;
  const std::string out = Convert(BatchFunction::kGaussForward, s,
                                  "A 30 117.5 0\nB 30 119.5 0\nC 30 114 0\n", &r);
  EXPECT_EQ(r.converted, 3);
  EXPECT_EQ(r.outsideZone, 2);
  EXPECT_EQ(r.firstOutsideZoneLine, 2);
  // Zone 39 of the fixed meridian before every y, also outside the zone.
  std::istringstream lines(out);
  std::string name;
  double x, y, h;
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(lines >> name >> x >> y >> h);
    EXPECT_EQ(ZonePrefixOf(y, 500000), 39) << name;
  }

  // Read back about 117 (zone 39): a zone-20 prefix does not match.
  s.zonePrefix = false;
  Convert(BatchFunction::kGaussInverse, s,
          "A 3320113.3980 39500000 0\nB 3320113.3980 20500000 0\n", &r);
  EXPECT_EQ(r.converted, 2);
  EXPECT_EQ(r.prefixMismatch, 1);
  EXPECT_EQ(r.firstPrefixMismatchLine, 2);
  EXPECT_EQ(r.outsideZone, 0);
}

TEST(Batch, GarbageNeverCrashesAndKeepsOneLinePerConversion) {
  std::mt19937 rng(2024);
  const char kAlphabet[] = "0123456789 .-+eExXnaif\t\r\0\xb5\xe3\xff,P";
  const std::string alphabet(kAlphabet, sizeof kAlphabet - 1);
  std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
  std::uniform_int_distribution<int> length(0, 40);
  std::string in;
  for (int line = 0; line < 3000; ++line) {
    const int n = length(rng);
    for (int k = 0; k < n; ++k) in.push_back(alphabet[pick(rng)]);
    in.push_back('\n');
  }
  BatchSettings s = Degrees();
  s.l0 = 111;
  s.l0_2 = 129;
  for (int f = 0; f < kBatchFunctionCount; ++f) {
    SCOPED_TRACE(AllBatchFunctions()[f].cli_name);
    BatchReport r;
    const std::string out = Convert(static_cast<BatchFunction>(f), s, in, &r);
    EXPECT_EQ(r.lines, 3000);
    EXPECT_EQ(r.converted + r.skipped + r.failed, r.lines);
    EXPECT_EQ(static_cast<int64_t>(std::count(out.begin(), out.end(), '\n')), r.converted);
  }
}

TEST(Batch, FunctionTable) {
  const BatchFunctionInfo* all = AllBatchFunctions();
  for (int i = 0; i < kBatchFunctionCount; ++i) {
    EXPECT_EQ(static_cast<int>(all[i].function), i);
    EXPECT_EQ(FindBatchFunction(all[i].cli_name), &all[i]);
  }
  EXPECT_EQ(FindBatchFunction("blh2xyz")->function, BatchFunction::kBlhToXyz);
  EXPECT_EQ(FindBatchFunction("nonsense"), nullptr);
  EXPECT_EQ(BatchInfo(BatchFunction::kFourApply).fields, 3);
}

// Batch runs on real files.
class BatchFileTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = testing::TempDir() + "/georeckon_batch_" + std::to_string(::getpid()) + "_" +
           testing::UnitTest::GetInstance()->current_test_info()->name();
    ::mkdir(dir_.c_str(), 0755);
  }
  void TearDown() override {
    for (const std::string& f : created_) ::unlink(f.c_str());
    ::rmdir(dir_.c_str());
  }
  std::string Path(const std::string& name) {
    created_.push_back(dir_ + "/" + name);
    return created_.back();
  }
  void Write(const std::string& path, const std::string& bytes) {
    std::string error;
    ASSERT_TRUE(common::SaveFileAtomically(path, bytes, &error)) << error;
  }
  std::string Read(const std::string& path) {
    std::string bytes;
    common::ReadWholeFile(path, &bytes);
    return bytes;
  }
  std::string dir_;
  std::vector<std::string> created_;
};

TEST_F(BatchFileTest, WritesTheSameBytesAsTheTextRun) {
  // Several chunks, a line longer than a chunk, a BOM and no final line end.
  std::string in = "\xEF\xBB\xBF";
  for (int i = 0; i < 60000; ++i) in += "P" + std::to_string(i) + " 30.1234 120.5 " + std::to_string(i % 900) + "\n";
  in += std::string(3 << 20, 'L') + " 1 2 3\n";
  for (int i = 0; i < 1000; ++i) in += "tail" + std::to_string(i) + " -45 -170 10\n";
  in += "last 1 2 3";
  const std::string src = Path("in.txt"), dst = Path("out.txt");
  Write(src, in);
  const BatchReport r = RunBatchFile(BatchFunction::kBlhToXyz, BatchSettings(), src, dst);
  ASSERT_EQ(r.status, BatchStatus::kOk) << r.detail;
  EXPECT_EQ(r.converted, 61002);
  std::string expected;
  RunBatchText(BatchFunction::kBlhToXyz, BatchSettings(), in, &expected);
  EXPECT_EQ(Read(dst), expected);
  EXPECT_EQ(expected.substr(0, 3), "P0 ");  // the BOM is not part of the first name
}

TEST_F(BatchFileTest, DetectsTheSeparatorOfAFile) {
  const std::string src = Path("in.csv"), dst = Path("out.txt");
  Write(src, "\xEF\xBB\xBFP1;30;120;10\r\nP2;31;121;0\r\n");
  const BatchReport r = RunBatchFile(BatchFunction::kBlhToXyz, Degrees(), src, dst);
  ASSERT_EQ(r.status, BatchStatus::kOk) << r.detail;
  EXPECT_EQ(r.separator, FieldSeparator::kSemicolon);
  EXPECT_EQ(r.converted, 2);
  EXPECT_EQ(Read(dst), Convert(BatchFunction::kBlhToXyz, Degrees(), "P1 30 120 10\nP2 31 121 0\n"));
}

TEST_F(BatchFileTest, RefusesToWriteOverItsInput) {
  const std::string src = Path("same.txt");
  const std::string link = Path("link.txt");
  Write(src, "P 30 120 0\n");
  ASSERT_EQ(::symlink(src.c_str(), link.c_str()), 0);
  for (const std::string& out : {src, link, dir_ + "/./same.txt", dir_ + "/../" +
                                     common::BaseName(dir_) + "/same.txt"}) {
    SCOPED_TRACE(out);
    const BatchReport r = RunBatchFile(BatchFunction::kBlhToXyz, BatchSettings(), src, out);
    EXPECT_EQ(r.status, BatchStatus::kSameFile);
    EXPECT_EQ(Read(src), "P 30 120 0\n");
  }
  EXPECT_STREQ(BatchStatusText(BatchStatus::kSameFile), "保存到的文件不能是待处理文件本身！");
}

TEST_F(BatchFileTest, FileErrors) {
  const std::string src = Path("in.txt");
  Write(src, "P 30 120 0\n");
  BatchReport r = RunBatchFile(BatchFunction::kBlhToXyz, BatchSettings(), dir_ + "/missing.txt",
                               Path("out.txt"));
  EXPECT_EQ(r.status, BatchStatus::kOpenInputFailed);
  EXPECT_STREQ(BatchStatusText(r.status), "打开文件错误!");
  EXPECT_FALSE(common::FileExists(dir_ + "/out.txt"));

  r = RunBatchFile(BatchFunction::kBlhToXyz, BatchSettings(), dir_, Path("out2.txt"));
  EXPECT_EQ(r.status, BatchStatus::kOpenInputFailed);

  r = RunBatchFile(BatchFunction::kBlhToXyz, BatchSettings(), src, dir_ + "/no/such/dir/out.txt");
  EXPECT_EQ(r.status, BatchStatus::kCreateOutputFailed);
  EXPECT_STREQ(BatchStatusText(r.status), "创建文件错误!");
  r = RunBatchFile(BatchFunction::kBlhToXyz, BatchSettings(), src, dir_);
  EXPECT_EQ(r.status, BatchStatus::kCreateOutputFailed);
}

TEST_F(BatchFileTest, ReplacesAnExistingOutputKeepingItsModeAndLinks) {
  const std::string src = Path("in.txt"), dst = Path("out.txt"), link = Path("out-link.txt");
  Write(src, "P 30 120 0\n");
  Write(dst, "old contents\n");
  ASSERT_EQ(::chmod(dst.c_str(), 0640), 0);
  ASSERT_EQ(::symlink(dst.c_str(), link.c_str()), 0);
  const BatchReport r = RunBatchFile(BatchFunction::kBlhToXyz, BatchSettings(), src, link);
  ASSERT_EQ(r.status, BatchStatus::kOk) << r.detail;
  EXPECT_EQ(Read(dst), "P -2764128.3196  4787610.6883  3170373.7354\n");
  struct stat st;
  ASSERT_EQ(::lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));  // still a link to the file
  ASSERT_EQ(::stat(dst.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

}  // namespace
}  // namespace georeckon
