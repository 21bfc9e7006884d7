#include "measure/shell/text_file_codec.h"

#include <gtest/gtest.h>

namespace vistamet {
namespace {

// "距离" in code page 936.
const std::string kCp936Distance = "\xBE\xE0\xC0\xEB";

TEST(TextFileCodec, RecognisesTheEncoding) {
  struct Case {
    const char* note;
    std::string bytes;
    TextEncoding encoding;
    std::string shown;
    bool crlf;
  };
  const Case cases[] = {
      {"ascii", "1 2 3.5\n", TextEncoding::kUtf8, "1 2 3.5\n", false},
      {"utf-8", "距离\n", TextEncoding::kUtf8, "距离\n", false},
      {"cp936", kCp936Distance + "\r\n12\r\n", TextEncoding::kCp936, "距离\n12\n", true},
      {"mixed line ends keep their CR", "a\r\nb\n", TextEncoding::kUtf8, "a\r\nb\n", false},
      {"nul bytes", std::string("a\0b", 3), TextEncoding::kBinary, "a b", false},
      {"empty", "", TextEncoding::kUtf8, "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.note);
    const DecodedText d = DecodeTextFile(c.bytes);
    EXPECT_EQ(d.encoding, c.encoding);
    EXPECT_EQ(d.utf8, c.shown);
    EXPECT_EQ(d.crlf, c.crlf);
  }
}

TEST(TextFileCodec, EditedTextGoesBackInTheFilesEncoding) {
  const DecodedText cp = DecodeTextFile(kCp936Distance + "\r\n");
  std::string out;
  ASSERT_TRUE(EncodeTextFile("距离\n距离\n", cp, &out));
  EXPECT_EQ(out, kCp936Distance + "\r\n" + kCp936Distance + "\r\n");
  // A character code page 936 cannot hold refuses the save.
  EXPECT_FALSE(EncodeTextFile("距离 \xF0\x9F\x98\x80\n", cp, &out));
  EXPECT_EQ(out, kCp936Distance + "\r\n" + kCp936Distance + "\r\n");

  const DecodedText bom = DecodeTextFile("\xEF\xBB\xBFx\n");
  EXPECT_TRUE(bom.bom);
  EXPECT_EQ(bom.utf8, "x\n");
  ASSERT_TRUE(EncodeTextFile("y\n", bom, &out));
  EXPECT_EQ(out, "\xEF\xBB\xBFy\n");

  EXPECT_FALSE(EncodeTextFile("x", DecodeTextFile(std::string("\0", 1)), &out));
}

}  // namespace
}  // namespace vistamet
