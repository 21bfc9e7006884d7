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

// "目录" in CP936 is C4 BF C2 BC, which is also valid UTF-8 ("Ŀ¼").
const std::string kMuLuCp936 = "\xC4\xBF\xC2\xBC";
const std::string kMuLuUtf8 = "\xE7\x9B\xAE\xE5\xBD\x95";

TEST(StoredText, CodePageStringsAreNeverTakenForUtf8) {
  EXPECT_EQ(StoredTextToUtf8(kMuLuCp936), kMuLuUtf8);
  const std::string path = "D:\\" + kMuLuUtf8 + "\\p1.bmp";
  EXPECT_EQ(StoredTextToUtf8(Utf8ToStoredText(path)), path);
  EXPECT_EQ(Utf8ToStoredText(kMuLuUtf8), kMuLuCp936);
  EXPECT_EQ(Utf8ToStoredText("plain"), "plain");
}

TEST(StoredText, StringsWithoutACodePageFormCarryTheMarker) {
  const std::string emoji = "p\xF0\x9F\x98\x80" + kMuLuUtf8;
  const std::string stored = Utf8ToStoredText(emoji);
  EXPECT_EQ(stored, "\xEF\xBB\xBF" + emoji);
  EXPECT_EQ(StoredTextToUtf8(stored), emoji);
  // Written by earlier versions without the marker: not CP936, so UTF-8.
  EXPECT_EQ(StoredTextToUtf8(emoji), emoji);
  // Bytes that are no text at all (a path may hold any) round-trip behind
  // the marker; without it they are damaged CP936.
  EXPECT_EQ(StoredTextToUtf8(Utf8ToStoredText("a\xFF")), "a\xFF");
  EXPECT_EQ(StoredTextToUtf8("a\xFF\xD6"), "a\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(TextEncoding, DecidedOncePerFile) {
  EXPECT_EQ(DetectTextEncoding("P1 1 2\n" + kMuLuCp936 + " 3 4\n"), TextEncoding::kUtf8);
  EXPECT_EQ(DetectTextEncoding("P1 1 2\n" + kMuLuCp936 + " \xD6\xD0\n"), TextEncoding::kCp936);
  EXPECT_EQ(DetectTextEncoding("ascii only\n"), TextEncoding::kCp936);
  EXPECT_EQ(DetectTextEncoding("\xEF\xBB\xBF" "a\xFF"), TextEncoding::kUtf8);
  // The head of a longer file may end inside a character.
  const std::string cut = "x " + kMuLuUtf8.substr(0, 4);
  EXPECT_EQ(DetectTextEncoding(cut, false), TextEncoding::kUtf8);
  EXPECT_EQ(DetectTextEncoding(cut, true), TextEncoding::kCp936);
  EXPECT_EQ(DecodeText(kMuLuCp936, TextEncoding::kCp936), kMuLuUtf8);
  EXPECT_EQ(DecodeText(kMuLuCp936, TextEncoding::kUtf8), kMuLuCp936);
  EXPECT_EQ(DecodeText("\xE7\x9B", TextEncoding::kUtf8), "\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(TextEncoding, InvalidTextDecodesInOnePass) {
  // Every byte invalid: each becomes one replacement character.
  const std::string junk(300000, '\xFF');
  const std::string out = DecodeText(junk, TextEncoding::kCp936);
  EXPECT_EQ(out.size(), junk.size() * 3);
  EXPECT_EQ(FileTextToUtf8("a\xFF" "b" + kMuLuCp936.substr(0, 1)),
            "a\xEF\xBF\xBD" "b\xEF\xBF\xBD");
}

}  // namespace
}  // namespace common
