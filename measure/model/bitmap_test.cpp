#include "measure/model/bitmap.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vistamet {
namespace {

void Put16(std::string& f, size_t at, uint32_t v) {
  f[at] = static_cast<char>(v & 0xFF);
  f[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& f, size_t at, uint32_t v) {
  for (int k = 0; k < 4; ++k) f[at + k] = static_cast<char>((v >> (8 * k)) & 0xFF);
}

// A BMP with a 40-byte header; `rows` are the stored rows (already padded),
// `table` the colour table bytes.
std::string MakeBmp(int32_t w, int32_t h, int bits, const std::string& table,
                    const std::string& rows, uint32_t compression = 0, uint32_t used = 0) {
  std::string f(14 + 40, '\0');
  f[0] = 'B';
  f[1] = 'M';
  Put32(f, 14, 40);
  Put32(f, 18, static_cast<uint32_t>(w));
  Put32(f, 22, static_cast<uint32_t>(h));
  Put16(f, 26, 1);
  Put16(f, 28, static_cast<uint32_t>(bits));
  Put32(f, 30, compression);
  Put32(f, 46, used);
  f += table;
  Put32(f, 10, static_cast<uint32_t>(f.size()));
  f += rows;
  Put32(f, 2, static_cast<uint32_t>(f.size()));
  return f;
}

TEST(DecodeBitmap, TrueColourBottomUpGivesTopDownGrey) {
  // 2 x 2, 24 bit, stride 8. Stored bottom row first.
  std::string rows(16, '\0');
  const uint8_t bottom[] = {10, 20, 31, 0, 0, 0};
  const uint8_t top[] = {255, 255, 255, 3, 6, 9};
  std::memcpy(&rows[0], bottom, 6);
  std::memcpy(&rows[8], top, 6);
  ImageHolder img;
  std::string error;
  ASSERT_TRUE(DecodeBitmap(MakeBmp(2, 2, 24, "", rows), &img, &error)) << error;
  EXPECT_EQ(img.width, 2);
  EXPECT_EQ(img.height, 2);
  EXPECT_EQ(img.stride, 8);
  EXPECT_EQ(img.bounds, (PixelRect{0, 0, 2, 2}));
  EXPECT_EQ(img.GreyAt(0, 1), 20);  // (10 + 20 + 31) / 3
  EXPECT_EQ(img.GreyAt(1, 1), 0);
  EXPECT_EQ(img.GreyAt(0, 0), 255);
  EXPECT_EQ(img.GreyAt(1, 0), 6);
  uint32_t c = 0;
  ASSERT_TRUE(ColourAt(img, 0, 1, &c));
  EXPECT_EQ(c, 0x000A141Fu);  // red 31, green 20, blue 10
  EXPECT_FALSE(ColourAt(img, 2, 0, &c));
  EXPECT_FALSE(ColourAt(img, 0, -1, &c));
}

TEST(DecodeBitmap, TopDownAnd32BitAndPalettized) {
  ImageHolder img;
  std::string error;
  // 32-bit top-down 1 x 2: first stored row is the top.
  std::string rows32 = std::string("\x01\x02\x03\x00", 4) + std::string("\x30\x30\x30\x00", 4);
  ASSERT_TRUE(DecodeBitmap(MakeBmp(1, -2, 32, "", rows32), &img, &error)) << error;
  EXPECT_TRUE(img.topDown);
  EXPECT_EQ(img.GreyAt(0, 0), 2);
  EXPECT_EQ(img.GreyAt(0, 1), 0x30);

  // 8-bit with a two-entry table (biClrUsed 2).
  std::string table = std::string("\x00\x00\x00\x00", 4) + std::string("\x0A\x14\x1F\x00", 4);
  std::string rows8 = std::string("\x01\x00\x00\x00", 4);
  ASSERT_TRUE(DecodeBitmap(MakeBmp(1, 1, 8, table, rows8, 0, 2), &img, &error)) << error;
  EXPECT_EQ(img.GreyAt(0, 0), 20);
  uint32_t c = 0;
  ASSERT_TRUE(ColourAt(img, 0, 0, &c));
  EXPECT_EQ(c, 0x000A141Fu);

  // 4-bit and 1-bit: the high nibble / bit is the left pixel.
  std::string t16;
  for (int k = 0; k < 16; ++k) t16 += std::string{char(k * 16), char(k * 16), char(k * 16), 0};
  ASSERT_TRUE(DecodeBitmap(MakeBmp(2, 1, 4, t16, std::string("\xF1\x00\x00\x00", 4)), &img, &error));
  EXPECT_EQ(img.GreyAt(0, 0), 0xF0);
  EXPECT_EQ(img.GreyAt(1, 0), 0x10);
  std::string t2 = std::string("\x00\x00\x00\x00\xFF\xFF\xFF\x00", 8);
  ASSERT_TRUE(DecodeBitmap(MakeBmp(3, 1, 1, t2, std::string("\xA0\x00\x00\x00", 4)), &img, &error));
  EXPECT_EQ(img.GreyAt(0, 0), 255);
  EXPECT_EQ(img.GreyAt(1, 0), 0);
  EXPECT_EQ(img.GreyAt(2, 0), 255);
}

TEST(DecodeBitmap, CoreHeader) {
  // 12-byte header, 8-bit, 3-byte palette entries.
  std::string f(14 + 12, '\0');
  f[0] = 'B';
  f[1] = 'M';
  Put32(f, 14, 12);
  Put16(f, 18, 1);
  Put16(f, 20, 1);
  Put16(f, 22, 1);
  Put16(f, 24, 8);
  std::string table(256 * 3, '\0');
  table[3] = 9;
  table[4] = 9;
  table[5] = 9;
  f += table;
  f += std::string("\x01\x00\x00\x00", 4);
  ImageHolder img;
  std::string error;
  ASSERT_TRUE(DecodeBitmap(f, &img, &error)) << error;
  EXPECT_EQ(img.GreyAt(0, 0), 9);
}

TEST(DecodeBitmap, HostileHeadersAreRefused) {
  const std::string ok_rows(8, '\0');
  struct Case {
    const char* what;
    std::string file;
  } cases[] = {
      {"empty", ""},
      {"not BM", "XX" + std::string(60, '\0')},
      {"header only", MakeBmp(1, 1, 24, "", "").substr(0, 20)},
      {"zero width", MakeBmp(0, 1, 24, "", ok_rows)},
      {"negative width", MakeBmp(-5, 1, 24, "", ok_rows)},
      {"huge", MakeBmp(70000, 70000, 24, "", ok_rows)},
      {"rows missing", MakeBmp(1000, 1000, 24, "", ok_rows)},
      {"16 bit", MakeBmp(1, 1, 16, "", ok_rows)},
      {"0 bit", MakeBmp(1, 1, 0, "", ok_rows)},
      {"RLE", MakeBmp(1, 1, 8, std::string(1024, '\0'), ok_rows, 1)},
      {"table too big for depth", MakeBmp(1, 1, 1, std::string(16, '\0'), ok_rows, 0, 4)},
      {"table past end", MakeBmp(1, 1, 8, "", ok_rows, 0, 0x40000000u)},
      {"table count overflow", MakeBmp(1, 1, 24, "", ok_rows, 0, 0xFFFFFFFFu)},
  };
  for (const Case& c : cases) {
    ImageHolder img;
    img.width = 77;  // must stay untouched
    std::string error;
    EXPECT_FALSE(DecodeBitmap(c.file, &img, &error)) << c.what;
    EXPECT_FALSE(error.empty()) << c.what;
    EXPECT_EQ(img.width, 77) << c.what;
  }
  // Unknown header size.
  std::string odd = MakeBmp(1, 1, 24, "", ok_rows);
  Put32(odd, 14, 64);
  ImageHolder img;
  EXPECT_FALSE(DecodeBitmap(odd, &img));
}

TEST(DecodeBitmap, EveryTruncationIsRefused) {
  std::string rows(3 * 4 * 3, '\x55');
  const std::string full = MakeBmp(3, 3, 24, "", rows);
  ImageHolder img;
  ASSERT_TRUE(DecodeBitmap(full, &img));
  for (size_t n = 0; n < full.size(); ++n) {
    ImageHolder part;
    EXPECT_FALSE(DecodeBitmap(full.substr(0, n), &part)) << n;
  }
}

TEST(EncodeBitmap24, RoundTripsThroughTheDecoder) {
  const int w = 5, h = 3;
  std::vector<uint8_t> bgr(w * h * 3);
  for (size_t k = 0; k < bgr.size(); ++k) bgr[k] = static_cast<uint8_t>(k * 7);
  ImageHolder img;
  ASSERT_TRUE(DecodeBitmap(EncodeBitmap24(w, h, bgr.data()), &img));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint8_t* p = &bgr[(y * w + x) * 3];
      EXPECT_EQ(img.GreyAt(x, y), (p[0] + p[1] + p[2]) / 3);
    }
}

TEST(LoadBitmapFile, MissingFileNamesThePath) {
  ImageHolder img;
  std::string error;
  EXPECT_FALSE(LoadBitmapFile("/nonexistent/p1.bmp", &img, &error));
  EXPECT_NE(error.find("/nonexistent/p1.bmp"), std::string::npos);
}

// An OS/2 bitmap (12-byte header) whose colour table holds 4 entries, not
// 256, followed by trailing bytes: the rows start where the file header
// says, right after the short table, and every pixel comes out right.
TEST(DecodeBitmap, CoreHeaderWithShortPaletteAndTrailingBytes) {
  std::string f(14 + 12, '\0');
  f[0] = 'B';
  f[1] = 'M';
  Put32(f, 14, 12);
  Put16(f, 18, 4);  // width
  Put16(f, 20, 2);  // height
  Put16(f, 22, 1);  // planes
  Put16(f, 24, 8);  // bits
  const uint8_t table[4][3] = {{0, 0, 0}, {30, 60, 90}, {255, 255, 255}, {3, 3, 9}};
  for (const auto& e : table) f.append(reinterpret_cast<const char*>(e), 3);
  Put32(f, 10, static_cast<uint32_t>(f.size()));
  const uint8_t rows[8] = {0, 1, 2, 3, 3, 2, 1, 0};  // bottom row first
  f.append(reinterpret_cast<const char*>(rows), 8);
  f.append(1000, '\x77');  // trailing bytes: room for a full table
  Put32(f, 2, static_cast<uint32_t>(f.size()));
  ImageHolder img;
  std::string error;
  ASSERT_TRUE(DecodeBitmap(f, &img, &error)) << error;
  const uint8_t top[4] = {3, 2, 1, 0}, bottom[4] = {0, 1, 2, 3};
  for (int x = 0; x < 4; ++x) {
    uint32_t c = 0;
    ASSERT_TRUE(ColourAt(img, x, 0, &c));
    const uint8_t* e = table[top[x]];
    EXPECT_EQ(c, static_cast<uint32_t>(e[2] | (e[1] << 8) | (e[0] << 16))) << x;
    EXPECT_EQ(img.GreyAt(x, 1), (table[bottom[x]][0] + table[bottom[x]][1] + table[bottom[x]][2]) / 3);
  }
  // A pixel offset in the middle of a table entry cannot be right.
  Put32(f, 10, 14 + 12 + 4);
  EXPECT_FALSE(DecodeBitmap(f, &img, &error));
}

}  // namespace
}  // namespace vistamet
