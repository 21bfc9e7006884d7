#include "geotools/compute/param_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "common/atomic_file.h"
#include "geotools/compute/number_format.h"

namespace georeckon {
namespace {

std::string TempPath(const std::string& name) {
  return testing::TempDir() + "/georeckon_param_" + std::to_string(::getpid()) + "_" + name;
}

std::vector<CommonPointRow> SomeRows(int cells) {
  const double v1[6] = {-2184000.1234, 4683000, 3637000.5, -2184100.2, 4683050.25, 3637080};
  const double v2[6] = {1, 2, 3, 4, 5, 6};
  return {MakeCommonPointRow("A1", v1, cells), MakeCommonPointRow("控制点", v2, cells)};
}

TEST(SevenParamFile, ExactBytes) {
  const SevenParams p{10, -20.123456, 5, 1.5, -0.000000001, 2.25, 0.0000055};
  const std::string text = FormatSevenParamFile(p, SomeRows(6));
  const std::string expected =
      "Shift:\n"
      "dX0:      10.00000\n"
      "dY0:     -20.12346\n"
      "dZ0:       5.00000\n"
      "Rotation:\n"
      "\xA6\xC8x:    1.50000000000\n"
      "\xA6\xC8y:   -0.00000000100\n"
      "\xA6\xC8z:    2.25000000000\n"
      "Scale:\n"
      "d\xA6\xCB:    0.00000550000\n"
      "\n\n"
      "\xCB\xF9\xC7\xF3\xB2\xCE\xCA\xFD\xCA\xB9\xD3\xC3\xB5\xC4\xB9\xAB\xB9\xB2\xB5\xE3\xCE\xAA:\n"
      "A1     -2184000.1234     4683000.0000     3637000.5000          "
      "-2184100.2000     4683050.2500     3637080.0000     \n"
      "\xBF\xD8\xD6\xC6\xB5\xE3     1.0000     2.0000     3.0000          "
      "4.0000     5.0000     6.0000     \n";
  EXPECT_EQ(text, expected);
}

TEST(FourParamFile, ExactBytesWithShiftsAtFourDecimals) {
  const FourParams p{100.12345, -0.5, 206.264806247, 0.00001};
  const std::string text = FormatFourParamFile(p, SomeRows(4));
  const std::string head =
      "Shift:\n"
      "dx0:      100.1235\n"
      "dy0:       -0.5000\n"
      "Rotation:\n"
      "d\xA6\xC8:  206.26480624700\n"
      "Scale:\n"
      "d\xA6\xCB:    0.00001000000\n"
      "\n\n";
  EXPECT_EQ(text.substr(0, head.size()), head);
  EXPECT_NE(text.find("\nA1     -2184000.1234     4683000.0000          3637000.5000     "
                      "-2184100.2000     \n"),
            std::string::npos);
}

TEST(ParamFiles, RoundTripKeepsTheWrittenDecimals) {
  const SevenParams p{10.123456, -20, 5, 1.123456789012, -0.8, 2.3, 5.123456789012e-6};
  SevenParams back;
  ASSERT_EQ(ParseSevenParamFile(FormatSevenParamFile(p, {}), &back).status, ParamFileStatus::kOk);
  EXPECT_EQ(back.dX0, RoundDecimals(p.dX0, 5));
  EXPECT_EQ(back.thetaX, RoundDecimals(p.thetaX, 11));
  EXPECT_EQ(back.dLambda, RoundDecimals(p.dLambda, 11));

  const FourParams f{100.12345, 200.5, 206.264806247123, 0.0000123456789};
  FourParams fback;
  ASSERT_EQ(ParseFourParamFile(FormatFourParamFile(f, {}), &fback).status, ParamFileStatus::kOk);
  EXPECT_EQ(fback.dx0, 100.1235);  // written with four decimals
  EXPECT_EQ(fback.dTheta, RoundDecimals(f.dTheta, 11));
  EXPECT_EQ(fback.dLambda, RoundDecimals(f.dLambda, 11));
}

TEST(ParamFiles, WindowsLineEndsUtf8LabelsAndTrailingLines) {
  const std::string crlf =
      "Shift:\r\ndX0: 1\r\ndY0: 2\r\ndZ0: 3\r\nRotation:\r\nθx: 4\r\nθy: 5\r\nθz: 6\r\n"
      "Scale:\r\ndλ: 7";
  SevenParams p;
  ASSERT_EQ(ParseSevenParamFile(crlf, &p).status, ParamFileStatus::kOk);
  EXPECT_EQ(p, (SevenParams{1, 2, 3, 4, 5, 6, 7}));
  ASSERT_EQ(ParseSevenParamFile("\xEF\xBB\xBF" + crlf + "\r\nanything at all\n", &p).status,
            ParamFileStatus::kOk);
}

TEST(ParamFiles, MalformedFilesChangeNothing) {
  const std::string good = FormatSevenParamFile(SevenParams{1, 2, 3, 4, 5, 6, 7}, {});
  struct Case {
    std::string text;
    int line;
    const char* note;
  };
  auto replace = [&](const std::string& from, const std::string& to) {
    std::string s = good;
    s.replace(s.find(from), from.size(), to);
    return s;
  };
  const Case cases[] = {
      {replace("Shift:\n", "Shift: \n"), 1, "blank after Shift:"},
      {replace("Shift:\n", "shift:\n"), 1, "letter case"},
      {replace("dY0:", "dX0:"), 3, "labels out of order"},
      {replace("dZ0:       3.00000", "dZ0:"), 4, "label without a number"},
      {replace("dZ0:       3.00000", "dZ0:  x"), 4, "not a number"},
      {replace("dZ0:       3.00000", "dZ0:  nan"), 4, "not a finite number"},
      {replace("dZ0:       3.00000", "d:"), 4, "two bytes only"},
      {replace("Rotation:\n", "Rotation\n"), 5, "Rotation without colon"},
      {replace("\xA6\xC8y:", "thy:"), 7, "wrong rotation label"},
      {replace("Scale:\n", ""), 9, "Scale line missing"},
      {good.substr(0, good.find("d\xA6\xCB")), 10, "file ends before dλ"},
      {"", 1, "empty file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.note);
    SevenParams p{9, 9, 9, 9, 9, 9, 9};
    const ParamFileResult r = ParseSevenParamFile(c.text, &p);
    EXPECT_EQ(r.status, ParamFileStatus::kWrongFormat);
    EXPECT_EQ(r.line, c.line);
    EXPECT_EQ(p, (SevenParams{9, 9, 9, 9, 9, 9, 9}));
  }
  // A seven-parameter file is not a four-parameter file.
  FourParams f{9, 9, 9, 9};
  EXPECT_EQ(ParseFourParamFile(good, &f).status, ParamFileStatus::kWrongFormat);
  EXPECT_EQ(f, (FourParams{9, 9, 9, 9}));
}

TEST(ParamFiles, WriteThenReadAFileOnDisk) {
  const std::string path = TempPath("seven.txt");
  const SevenParams p{1, 2, 3, 4, 5, 6, 0.000007};
  std::string error;
  ASSERT_TRUE(WriteSevenParamFile(path, p, SomeRows(6), &error)) << error;
  // Write-protected files are read as well.
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  SevenParams back;
  const ParamFileResult r = ReadSevenParamFile(path, &back);
  EXPECT_EQ(r.status, ParamFileStatus::kOk) << r.detail;
  EXPECT_EQ(back, p);
  ::unlink(path.c_str());

  FourParams four;
  EXPECT_EQ(ReadFourParamFile(path, &four).status, ParamFileStatus::kOpenFailed);
  EXPECT_FALSE(WriteFourParamFile("/nonexistent/dir/four.txt", FourParams{}, {}, &error));
}

}  // namespace
}  // namespace georeckon
