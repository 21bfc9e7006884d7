#include "common/cp936.h"

#include <gtest/gtest.h>

namespace common {
namespace {

// "中文" in CP936 is D6 D0 CE C4.
const std::string kZhongWenCp936 = "\xD6\xD0\xCE\xC4";
const std::string kZhongWenUtf8 = "\xE4\xB8\xAD\xE6\x96\x87";

TEST(Cp936, ConvertsBothWaysAndKeepsAscii) {
  std::string out;
  ASSERT_TRUE(Cp936ToUtf8(kZhongWenCp936, &out));
  EXPECT_EQ(out, kZhongWenUtf8);
  ASSERT_TRUE(Utf8ToCp936(kZhongWenUtf8, &out));
  EXPECT_EQ(out, kZhongWenCp936);
  ASSERT_TRUE(Utf8ToCp936("D:\\survey\\p1.bmp", &out));
  EXPECT_EQ(out, "D:\\survey\\p1.bmp");
  // The theta and lambda labels of the parameter files.
  ASSERT_TRUE(Utf8ToCp936("\xCE\xB8x:", &out));
  EXPECT_EQ(out, "\xA6\xC8x:");
}

TEST(Cp936, StrictConversionsRefuseWhatTheyCannotRepresent) {
  std::string out = "unchanged";
  EXPECT_FALSE(Cp936ToUtf8("\xD6", &out));           // truncated double byte
  EXPECT_FALSE(Utf8ToCp936("\xF0\x9F\x98\x80", &out));  // emoji: no CP936 form
  EXPECT_FALSE(Utf8ToCp936("\xC3", &out));            // invalid UTF-8
  EXPECT_EQ(out, "unchanged");
}

TEST(Cp936, FileTextAcceptsEitherEncodingAndNeverFails) {
  EXPECT_EQ(FileTextToUtf8(kZhongWenCp936), kZhongWenUtf8);
  EXPECT_EQ(FileTextToUtf8(kZhongWenUtf8), kZhongWenUtf8);
  EXPECT_EQ(FileTextToUtf8("a\xFF" "b"), "a\xEF\xBF\xBD" "b");
  // Text with no CP936 form is written as UTF-8 and reads back unchanged.
  const std::string emoji = "p\xF0\x9F\x98\x80.bmp";
  EXPECT_EQ(Utf8ToFileText(emoji), emoji);
  EXPECT_EQ(FileTextToUtf8(Utf8ToFileText(emoji)), emoji);
  EXPECT_EQ(Utf8ToFileText(kZhongWenUtf8), kZhongWenCp936);
}

TEST(Cp936, Utf8Validation) {
  EXPECT_TRUE(IsValidUtf8(""));
  EXPECT_TRUE(IsValidUtf8(kZhongWenUtf8));
  EXPECT_FALSE(IsValidUtf8(kZhongWenCp936));
  EXPECT_FALSE(IsValidUtf8("\xC0\x80"));          // overlong
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // surrogate
  EXPECT_FALSE(IsValidUtf8("\xE4\xB8"));          // truncated
}

}  // namespace
}  // namespace common
