#include "measure/model/photo_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <turbojpeg.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "common/atomic_file.h"
#include "measure/model/bitmap.h"
#include "measure/model/photo_encode.h"

namespace vistamet {
namespace {

std::string TempPath(const std::string& name) {
  return ::testing::TempDir() + "photo_file_test_" + name;
}

std::vector<uint8_t> Pattern8(int w, int h, int channels) {
  std::vector<uint8_t> v(static_cast<size_t>(w) * h * channels);
  for (size_t k = 0; k < v.size(); ++k) v[k] = static_cast<uint8_t>((k * 37) ^ (k >> 5));
  return v;
}

std::vector<uint16_t> Pattern16(int w, int h, int channels) {
  std::vector<uint16_t> v(static_cast<size_t>(w) * h * channels);
  for (size_t k = 0; k < v.size(); ++k) v[k] = static_cast<uint16_t>(k * 4099 + 17);
  return v;
}

uint8_t Reduce16(uint16_t v) { return static_cast<uint8_t>((v * 255u + 32767u) / 65535u); }

// The grey the decoders promise from 8-bit samples: the grey value itself,
// or (r + g + b) / 3.
template <typename Sample, typename To8>
std::vector<uint8_t> ExpectedGrey(const std::vector<Sample>& s, int channels, To8 to8) {
  std::vector<uint8_t> g(s.size() / channels);
  for (size_t p = 0; p < g.size(); ++p) {
    if (channels == 1) {
      g[p] = to8(s[p]);
    } else {
      g[p] = static_cast<uint8_t>((to8(s[3 * p]) + to8(s[3 * p + 1]) + to8(s[3 * p + 2])) / 3);
    }
  }
  return g;
}


TEST(SniffPhotoFormat, TellsFormatsByTheirFirstBytes) {
  EXPECT_EQ(SniffPhotoFormat("BM\x10\x00"), PhotoFormat::kBmp);
  EXPECT_EQ(SniffPhotoFormat("\xFF\xD8\xFF\xE0"), PhotoFormat::kJpeg);
  EXPECT_EQ(SniffPhotoFormat("\x89PNG\r\n\x1A\n"), PhotoFormat::kPng);
  EXPECT_EQ(SniffPhotoFormat(std::string_view("II*\0", 4)), PhotoFormat::kTiff);
  EXPECT_EQ(SniffPhotoFormat(std::string_view("MM\0*", 4)), PhotoFormat::kTiff);
  EXPECT_EQ(SniffPhotoFormat("GIF89a"), PhotoFormat::kUnknown);
  EXPECT_EQ(SniffPhotoFormat(""), PhotoFormat::kUnknown);
}

TEST(DecodePhoto, PngEqualsReferencePixelsExactly) {
  const int w = 37, h = 23;
  for (int channels : {1, 3}) {
    const auto s8 = Pattern8(w, h, channels);
    ImageHolder img;
    std::string error;
    ASSERT_TRUE(DecodePhoto(EncodePng(w, h, channels, 8, s8.data()), "a.png", {}, &img, &error))
        << error;
    ASSERT_EQ(img.width, w);
    ASSERT_EQ(img.height, h);
    EXPECT_EQ(img.grey, ExpectedGrey(s8, channels, [](uint8_t v) { return v; }));
    uint32_t c = 0;
    ASSERT_TRUE(ColourAt(img, 5, 7, &c));
    const size_t at = (7 * w + 5) * channels;
    const uint32_t r = s8[at], g = s8[at + (channels == 3)], b = s8[at + 2 * (channels == 3)];
    EXPECT_EQ(c, r | (g << 8) | (b << 16));

    const auto s16 = Pattern16(w, h, channels);
    ASSERT_TRUE(DecodePhoto(EncodePng(w, h, channels, 16, s16.data()), "b.png", {}, &img, &error))
        << error;
    EXPECT_EQ(img.grey, ExpectedGrey(s16, channels, Reduce16));
  }
}

TEST(DecodePhoto, TiffOfEveryLayoutEqualsReferencePixelsExactly) {
  const int w = 45, h = 29;
  struct Layout {
    int channels, bits, rows_per_strip, tile;
  };
  for (const Layout& l : {Layout{1, 8, 4, 0}, Layout{3, 8, 7, 0}, Layout{1, 16, 29, 0},
                          Layout{3, 16, 3, 0}, Layout{1, 8, 0, 16}, Layout{3, 16, 0, 32}}) {
    SCOPED_TRACE(::testing::Message() << l.channels << " channels, " << l.bits << " bits, tile "
                                      << l.tile);
    const std::string path = TempPath("layout.tif");
    ImageHolder img;
    std::string error;
    std::vector<uint8_t> expected;
    if (l.bits == 8) {
      const auto s = Pattern8(w, h, l.channels);
      ASSERT_TRUE(WriteTiffFile(path, w, h, l.channels, 8, s.data(), l.rows_per_strip, l.tile));
      expected = ExpectedGrey(s, l.channels, [](uint8_t v) { return v; });
    } else {
      const auto s = Pattern16(w, h, l.channels);
      ASSERT_TRUE(WriteTiffFile(path, w, h, l.channels, 16, s.data(), l.rows_per_strip, l.tile));
      expected = ExpectedGrey(s, l.channels, Reduce16);
    }
    ASSERT_TRUE(LoadPhotoFile(path, {}, &img, &error)) << error;
    EXPECT_EQ(img.width, w);
    EXPECT_EQ(img.height, h);
    EXPECT_EQ(img.grey, expected);
    PhotoInfo info;
    ASSERT_TRUE(ProbePhotoFile(path, &info, &error)) << error;
    EXPECT_EQ(info.format, PhotoFormat::kTiff);
    EXPECT_EQ(info.width, w);
    EXPECT_EQ(info.height, h);
  }
}

// TurboJPEG's own decode of the same file: its luminance, and its colours.
std::vector<uint8_t> ReferenceJpeg(const std::string& jpeg, int w, int h, int format) {
  tjhandle t = tjInitDecompress();
  std::vector<uint8_t> px(static_cast<size_t>(w) * h * tjPixelSize[format]);
  EXPECT_EQ(tjDecompress2(t, reinterpret_cast<const unsigned char*>(jpeg.data()), jpeg.size(),
                          px.data(), w, 0, h, format, 0),
            0);
  tjDestroy(t);
  return px;
}

TEST(DecodePhoto, JpegWithinOneGreyLevelOfTheLibraryDecode) {
  const int w = 67, h = 41;
  for (int channels : {1, 3}) {
    const auto s = Pattern8(w, h, channels);
    const std::string jpeg = EncodeJpeg(w, h, channels, s.data(), 90);
    ASSERT_FALSE(jpeg.empty());
    const auto reference = ReferenceJpeg(jpeg, w, h, TJPF_GRAY);
    const auto rgb = ReferenceJpeg(jpeg, w, h, TJPF_RGB);
    for (bool colour : {true, false}) {
      ImageHolder img;
      std::string error;
      DecodeOptions options;
      options.colour = colour;
      ASSERT_TRUE(DecodePhoto(jpeg, "a.jpg", options, &img, &error)) << error;
      ASSERT_EQ(img.grey.size(), reference.size());
      for (size_t k = 0; k < reference.size(); ++k)
        ASSERT_LE(std::abs(img.grey[k] - reference[k]), 1) << "pixel " << k;
      EXPECT_EQ(img.dib.empty(), !colour);
      uint32_t none = 0;
      if (!colour) {
        EXPECT_FALSE(ColourAt(img, 0, 0, &none));  // grey only: no colours
      }
      // The colours are the library's, and the grey image does not depend
      // on whether colours were wanted.
      uint32_t c = 0;
      if (colour) {
        for (int y : {0, h / 2, h - 1})
          for (int x : {0, w / 3, w - 1}) {
            ASSERT_TRUE(ColourAt(img, x, y, &c));
            const uint8_t* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
            EXPECT_EQ(c, p[0] | (p[1] << 8) | (p[2] << 16)) << x << "," << y;
          }
      }
    }
  }
}

TEST(DecodePhoto, JpegThumbnailDecodesAtAFraction) {
  const int w = 160, h = 96;
  const auto s = Pattern8(w, h, 3);
  DecodeOptions options;
  options.reduce = 8;
  ImageHolder img;
  std::string error;
  ASSERT_TRUE(DecodePhoto(EncodeJpeg(w, h, 3, s.data(), 80), "t.jpg", options, &img, &error));
  EXPECT_EQ(img.width, 20);
  EXPECT_EQ(img.height, 12);
  EXPECT_EQ(img.grey.size(), 240u);
}

TEST(ProbePhotoFile, ReadsSizeAndCameraFromExif) {
  const int w = 64, h = 48;
  const auto s = Pattern8(w, h, 3);
  ExifFields exif;
  exif.focalLengthMm = 24.5;
  exif.focalPlaneXResolution = 4000;  // pixels per cm
  exif.resolutionUnit = 3;
  exif.make = "Acme";
  exif.model = "Acme Z-9";
  exif.orientation = 1;
  const std::string path = TempPath("exif.jpg");
  ASSERT_TRUE(common::SaveFileAtomically(path, EncodeJpeg(w, h, 3, s.data(), 85,
                                                         BuildExifBlock(exif))));
  PhotoInfo info;
  std::string error;
  ASSERT_TRUE(ProbePhotoFile(path, &info, &error)) << error;
  EXPECT_EQ(info.format, PhotoFormat::kJpeg);
  EXPECT_EQ(info.width, w);
  EXPECT_EQ(info.height, h);
  EXPECT_DOUBLE_EQ(info.focalLengthMm, 24.5);
  EXPECT_DOUBLE_EQ(info.pixelSizeMm, 10.0 / 4000);
  EXPECT_EQ(info.camera, "Acme Z-9");

  // Inches are the default unit; make and model are joined when the model
  // does not repeat the make.
  exif.resolutionUnit = 2;
  exif.focalPlaneXResolution = 5080;
  exif.model = "R7";
  ASSERT_TRUE(common::SaveFileAtomically(path, EncodeJpeg(w, h, 3, s.data(), 85,
                                                         BuildExifBlock(exif))));
  ASSERT_TRUE(ProbePhotoFile(path, &info, &error)) << error;
  EXPECT_NEAR(info.pixelSizeMm, 0.005, 1e-12);
  EXPECT_EQ(info.camera, "Acme R7");

  // Without EXIF nothing is claimed.
  ASSERT_TRUE(common::SaveFileAtomically(path, EncodeJpeg(w, h, 3, s.data(), 85)));
  ASSERT_TRUE(ProbePhotoFile(path, &info, &error)) << error;
  EXPECT_EQ(info.focalLengthMm, 0);
  EXPECT_EQ(info.pixelSizeMm, 0);
  EXPECT_EQ(info.camera, "");
}

// A grey raster, w x h, turned or mirrored.
struct GreyRaster {
  int w, h;
  std::vector<uint8_t> v;
  uint8_t at(int x, int y) const { return v[static_cast<size_t>(y) * w + x]; }
};
GreyRaster TurnClockwise(const GreyRaster& in) {
  // The top row becomes the right column.
  GreyRaster out{in.h, in.w, std::vector<uint8_t>(in.v.size())};
  for (int y = 0; y < in.h; ++y)
    for (int x = 0; x < in.w; ++x) out.v[static_cast<size_t>(x) * out.w + (in.h - 1 - y)] = in.at(x, y);
  return out;
}
GreyRaster Mirror(const GreyRaster& in) {
  GreyRaster out = in;
  for (int y = 0; y < in.h; ++y)
    for (int x = 0; x < in.w; ++x) out.v[static_cast<size_t>(y) * in.w + x] = in.at(in.w - 1 - x, y);
  return out;
}
// What a viewer shows for each EXIF orientation of the stored raster.
GreyRaster Upright(const GreyRaster& stored, int orientation) {
  const GreyRaster m = orientation == 2 || orientation == 4 || orientation == 5 || orientation == 7
                           ? Mirror(stored) : stored;
  const int quarters[9] = {0, 0, 0, 2, 2, 3, 1, 1, 3};
  GreyRaster r = m;
  for (int k = 0; k < quarters[orientation]; ++k) r = TurnClockwise(r);
  return r;
}

TEST(DecodePhoto, TurnedPhotoIsDecodedUpright) {
  const int w = 24, h = 16;
  const auto s = Pattern8(w, h, 1);
  const std::string plain = EncodeJpeg(w, h, 1, s.data(), 95);
  const GreyRaster stored{w, h, ReferenceJpeg(plain, w, h, TJPF_GRAY)};
  for (int orientation = 1; orientation <= 8; ++orientation) {
    SCOPED_TRACE(orientation);
    ExifFields exif;
    exif.orientation = static_cast<uint16_t>(orientation);
    const std::string jpeg = EncodeJpeg(w, h, 1, s.data(), 95, BuildExifBlock(exif));
    const GreyRaster expected = Upright(stored, orientation);
    PhotoInfo info;
    std::string error;
    ASSERT_TRUE(ProbePhoto(jpeg, "t.jpg", &info, &error)) << error;
    EXPECT_EQ(info.orientation, orientation);
    EXPECT_EQ(info.width, expected.w);
    EXPECT_EQ(info.height, expected.h);
    ImageHolder img;
    ASSERT_TRUE(DecodePhoto(jpeg, "t.jpg", {}, &img, &error)) << error;
    ASSERT_EQ(img.width, expected.w);
    ASSERT_EQ(img.height, expected.h);
    EXPECT_EQ(img.grey, expected.v);
    for (int y = 0; y < expected.h; y += 5)
      for (int x = 0; x < expected.w; x += 7) {
        uint32_t c = 0;
        ASSERT_TRUE(ColourAt(img, x, y, &c));
        EXPECT_EQ(c, expected.at(x, y) * 0x010101u) << x << "," << y;
      }
  }
  // Colour rows turn with the grey image: each channel as a grey raster.
  const auto s3 = Pattern8(w, h, 3);
  const std::string plain3 = EncodeJpeg(w, h, 3, s3.data(), 95);
  const auto rgb = ReferenceJpeg(plain3, w, h, TJPF_RGB);
  for (int orientation : {5, 6, 8}) {
    ExifFields exif;
    exif.orientation = static_cast<uint16_t>(orientation);
    ImageHolder img;
    std::string error;
    ASSERT_TRUE(DecodePhoto(EncodeJpeg(w, h, 3, s3.data(), 95, BuildExifBlock(exif)), "c.jpg", {},
                            &img, &error)) << error;
    for (int c = 0; c < 3; ++c) {
      GreyRaster channel{w, h, std::vector<uint8_t>(static_cast<size_t>(w) * h)};
      for (size_t k = 0; k < channel.v.size(); ++k) channel.v[k] = rgb[3 * k + c];
      const GreyRaster expected = Upright(channel, orientation);
      for (int y = 0; y < expected.h; ++y)
        for (int x = 0; x < expected.w; ++x) {
          uint32_t colour = 0;
          ASSERT_TRUE(ColourAt(img, x, y, &colour));
          ASSERT_EQ((colour >> (8 * c)) & 0xFF, expected.at(x, y)) << orientation << " " << x << "," << y;
        }
    }
  }

  // A value no orientation has is refused with the reason.
  ExifFields exif;
  exif.orientation = 9;
  const std::string path = TempPath("turned.jpg");
  ASSERT_TRUE(common::SaveFileAtomically(path, EncodeJpeg(w, h, 1, s.data(), 95,
                                                         BuildExifBlock(exif))));
  PhotoInfo info;
  std::string error;
  EXPECT_FALSE(ProbePhotoFile(path, &info, &error));
  EXPECT_NE(error.find(path), std::string::npos) << error;
  EXPECT_NE(error.find("orientation 9"), std::string::npos) << error;
  ImageHolder img;
  EXPECT_FALSE(LoadPhotoFile(path, {}, &img, &error));
}

// Every format cut at every 64th byte: refused with the file's name, never
// decoded into something.
TEST(DecodePhoto, TruncatedFilesAreRefused) {
  const int w = 40, h = 30;
  const auto s = Pattern8(w, h, 3);
  const std::string tiff_path = TempPath("cut.tif");
  ASSERT_TRUE(WriteTiffFile(tiff_path, w, h, 3, 8, s.data(), 5));
  std::string tiff;
  ASSERT_TRUE(common::ReadWholeFile(tiff_path, &tiff));
  std::vector<uint8_t> bgr(s.size());
  for (size_t k = 0; k < s.size(); ++k) bgr[k] = s[k];
  const std::string files[] = {EncodeJpeg(w, h, 3, s.data(), 90), EncodePng(w, h, 3, 8, s.data()),
                               tiff, EncodeBitmap24(w, h, bgr.data())};
  for (const std::string& file : files) {
    ImageHolder img;
    std::string error;
    ASSERT_TRUE(DecodePhoto(file, "whole", {}, &img, &error)) << error;
    for (size_t cut = 0; cut < file.size(); cut += 64) {
      const std::string part = file.substr(0, cut);
      error.clear();
      EXPECT_FALSE(DecodePhoto(part, "cut", {}, &img, &error))
          << PhotoFormatName(SniffPhotoFormat(file)) << " cut at " << cut;
      EXPECT_EQ(error.rfind("cut: ", 0), 0u) << error;
    }
  }
}

// Rewrites the CRC of a PNG's header chunk after its fields were edited.
void FixHeaderCrc(std::string& png) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t k = 12; k < 29; ++k) {
    crc ^= static_cast<uint8_t>(png[k]);
    for (int b = 0; b < 8; ++b) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  crc ^= 0xFFFFFFFFu;
  for (int k = 0; k < 4; ++k) png[29 + k] = static_cast<char>(crc >> (24 - 8 * k));
}

TEST(DecodePhoto, AbsurdSizesAreRefusedBeforeAnyAllocation) {
  // A PNG header claiming 60000 x 60000 pixels.
  std::string png = EncodePng(2, 2, 1, 8, "\1\2\3\4");
  const uint8_t big[4] = {0, 0, 0xEA, 0x60};
  std::memcpy(&png[16], big, 4);
  std::memcpy(&png[20], big, 4);
  PhotoInfo info;
  ImageHolder img;
  std::string error;
  EXPECT_FALSE(ProbePhoto(png, "big.png", &info, &error));
  EXPECT_NE(error.find("unsupported size 60000 x 60000"), std::string::npos) << error;
  EXPECT_FALSE(DecodePhoto(png, "big.png", {}, &img, &error));

  // A JPEG frame header claiming 65535 x 65535.
  const auto s = Pattern8(8, 8, 1);
  std::string jpeg = EncodeJpeg(8, 8, 1, s.data(), 90);
  const size_t sof = jpeg.find("\xFF\xC0");
  ASSERT_NE(sof, std::string::npos);
  jpeg.replace(sof + 5, 4, "\xFF\xFF\xFF\xFF");
  EXPECT_FALSE(ProbePhoto(jpeg, "big.jpg", &info, &error));
  EXPECT_NE(error.find("unsupported size"), std::string::npos) << error;
  EXPECT_FALSE(DecodePhoto(jpeg, "big.jpg", {}, &img, &error));

  // Sizes a file's data cannot hold are refused before allocating: a PNG
  // header claiming 20000 x 20000 (within the limit) in a few bytes.
  const uint8_t mid[4] = {0, 0, 0x4E, 0x20};
  std::memcpy(&png[16], mid, 4);
  std::memcpy(&png[20], mid, 4);
  FixHeaderCrc(png);
  EXPECT_TRUE(ProbePhoto(png, "mid.png", &info, &error)) << error;  // the header alone is fine
  EXPECT_FALSE(DecodePhoto(png, "mid.png", {}, &img, &error));
  EXPECT_NE(error.find("cannot hold 20000 x 20000"), std::string::npos) << "PNG: " << error;
  jpeg.replace(sof + 5, 4, "\x4E\x20\x4E\x20");
  EXPECT_FALSE(DecodePhoto(jpeg, "mid.jpg", {}, &img, &error));
  EXPECT_NE(error.find("cannot hold 20000 x 20000"), std::string::npos) << "JPEG: " << error;

  // A file that is no photo is refused as such.
  EXPECT_FALSE(DecodePhoto("GIF89a.....", "x.gif", {}, &img, &error));
  EXPECT_NE(error.find("x.gif: unsupported"), std::string::npos) << error;
}

// Random damage to valid files of every format (bytes changed, runs
// copied over other places): each result is refused with a message or
// decodes to a consistent holder; nothing crashes.
TEST(DecodePhoto, DamagedFilesAreRefusedOrDecodeConsistently) {
  const int w = 24, h = 20;
  const auto s = Pattern8(w, h, 3);
  const auto s16 = Pattern16(w, h, 1);
  const std::string tiff_path = TempPath("damage.tif");
  ASSERT_TRUE(WriteTiffFile(tiff_path, w, h, 1, 16, s16.data(), 0, 16));
  std::string tiff;
  ASSERT_TRUE(common::ReadWholeFile(tiff_path, &tiff));
  ExifFields exif;
  exif.focalLengthMm = 50;
  exif.focalPlaneXResolution = 3000;
  exif.model = "M";
  std::vector<uint8_t> bgr(s.begin(), s.end());
  const std::string files[] = {EncodeJpeg(w, h, 3, s.data(), 80, BuildExifBlock(exif)),
                               EncodePng(w, h, 3, 8, s.data()), tiff,
                               EncodeBitmap24(w, h, bgr.data())};
  uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u, seed >> 8; };
  int decoded = 0, refused = 0;
  for (const std::string& file : files) {
    for (int round = 0; round < 400; ++round) {
      std::string bad = file;
      const int edits = 1 + next() % 4;
      for (int e = 0; e < edits; ++e) {
        const size_t at = next() % bad.size();
        if (next() % 3 == 0) {
          const size_t from = next() % bad.size();
          const size_t n = std::min<size_t>({8, bad.size() - at, bad.size() - from});
          bad.replace(at, n, bad.substr(from, n));
        } else {
          bad[at] = static_cast<char>(next());
        }
      }
      for (bool colour : {true, false}) {
        ImageHolder img;
        PhotoInfo info;
        std::string error;
        DecodeOptions options;
        options.colour = colour;
        ProbePhoto(bad, "bad", &info, &error);
        if (!DecodePhoto(bad, "bad", options, &img, &error)) {
          EXPECT_EQ(error.rfind("bad: ", 0), 0u) << error;
          ++refused;
          continue;
        }
        ++decoded;
        ASSERT_GT(img.width, 0);
        ASSERT_GT(img.height, 0);
        ASSERT_EQ(img.grey.size(), static_cast<size_t>(img.width) * img.height);
        if (colour) {
          ASSERT_GE(img.dib.size(),
                    img.pixelOffset + static_cast<size_t>(img.stride) * img.height);
        }
      }
    }
  }
  // Both outcomes occur (changed pixel bytes still decode).
  EXPECT_GT(decoded, 0);
  EXPECT_GT(refused, 0);
}

TEST(LoadPhotoFile, FifoIsRefusedAtOnce) {
  const std::string path = TempPath("fifo.jpg");
  ::unlink(path.c_str());
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  PhotoInfo info;
  ImageHolder img;
  std::string error;
  EXPECT_FALSE(ProbePhotoFile(path, &info, &error));
  EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
  EXPECT_FALSE(LoadPhotoFile(path, {}, &img, &error));
  EXPECT_FALSE(LoadBitmapFile(path, &img, &error));
  ::unlink(path.c_str());
}

TEST(LoadPhotoFile, HugeFileThatIsNoPhotoIsRefusedFromItsFirstBytes) {
  // Sparse: 2 GiB - 1 of zeros costs no disk.
  const std::string path = TempPath("huge.bin");
  const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, (off_t{1} << 31) - 1), 0);
  ::close(fd);
  ImageHolder img;
  std::string error;
  EXPECT_FALSE(LoadPhotoFile(path, {}, &img, &error));
  EXPECT_NE(error.find("unsupported"), std::string::npos) << error;
  EXPECT_FALSE(LoadBitmapFile(path, &img, &error));
  ::unlink(path.c_str());
}

}  // namespace
}  // namespace vistamet
