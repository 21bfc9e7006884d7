#include "measure/model/photo_encode.h"

#include <png.h>
#include <tiffio.h>
#include <turbojpeg.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace vistamet {

namespace {

struct IfdEntry {
  uint16_t tag, type;
  uint32_t count;
  std::string data;  // the value bytes
};

void Put16(std::string& s, uint16_t v) {
  s.push_back(static_cast<char>(v & 0xFF));
  s.push_back(static_cast<char>(v >> 8));
}
void Put32(std::string& s, uint32_t v) {
  for (int k = 0; k < 4; ++k) s.push_back(static_cast<char>((v >> (8 * k)) & 0xFF));
}

IfdEntry Rational(uint16_t tag, double v) {
  std::string d;
  Put32(d, static_cast<uint32_t>(std::lround(v * 1000)));
  Put32(d, 1000);
  return {tag, 5, 1, d};
}
IfdEntry Short(uint16_t tag, uint16_t v) {
  std::string d;
  Put16(d, v);
  return {tag, 3, 1, d};
}
IfdEntry Ascii(uint16_t tag, const std::string& v) {
  return {tag, 2, static_cast<uint32_t>(v.size() + 1), v + std::string(1, '\0')};
}

// Appends an IFD at tiff.size() (values that do not fit in four bytes after
// it); `next_ifd_patch` receives where a pointer entry's value sits.
void WriteIfd(std::string& tiff, const std::vector<IfdEntry>& entries, size_t* pointer_at) {
  const size_t start = tiff.size();
  size_t extra = start + 2 + 12 * entries.size() + 4;
  std::string tail;
  Put16(tiff, static_cast<uint16_t>(entries.size()));
  for (const IfdEntry& e : entries) {
    Put16(tiff, e.tag);
    Put16(tiff, e.type);
    Put32(tiff, e.count);
    if (e.tag == 0x8769 && pointer_at) *pointer_at = tiff.size();
    if (e.data.size() <= 4) {
      std::string v = e.data;
      v.resize(4, '\0');
      tiff += v;
    } else {
      Put32(tiff, static_cast<uint32_t>(extra + tail.size()));
      tail += e.data;
      if (tail.size() % 2) tail.push_back('\0');
    }
  }
  Put32(tiff, 0);
  tiff += tail;
}

}  // namespace

std::string BuildExifBlock(const ExifFields& f) {
  std::vector<IfdEntry> ifd0, exif;
  if (!f.make.empty()) ifd0.push_back(Ascii(0x010F, f.make));
  if (!f.model.empty()) ifd0.push_back(Ascii(0x0110, f.model));
  if (f.orientation) ifd0.push_back(Short(0x0112, f.orientation));
  ifd0.push_back({0x8769, 4, 1, std::string(4, '\0')});
  if (f.focalLengthMm > 0) exif.push_back(Rational(0x920A, f.focalLengthMm));
  if (f.focalPlaneXResolution > 0) {
    exif.push_back(Rational(0xA20E, f.focalPlaneXResolution));
    exif.push_back(Rational(0xA20F, f.focalPlaneXResolution));
    exif.push_back(Short(0xA210, f.resolutionUnit));
  }
  std::string tiff = std::string("II*\0", 4);
  Put32(tiff, 8);
  size_t pointer_at = 0;
  WriteIfd(tiff, ifd0, &pointer_at);
  const uint32_t exif_at = static_cast<uint32_t>(tiff.size());
  for (int k = 0; k < 4; ++k) tiff[pointer_at + k] = static_cast<char>((exif_at >> (8 * k)) & 0xFF);
  WriteIfd(tiff, exif, nullptr);
  return std::string("Exif\0\0", 6) + tiff;
}

std::string EncodeJpeg(int width, int height, int channels, const uint8_t* samples, int quality,
                       const std::string& exif_block) {
  tjhandle h = tjInitCompress();
  if (!h) return {};
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  const bool grey = channels == 1;
  const int rc = tjCompress2(h, samples, width, width * channels, height,
                             grey ? TJPF_GRAY : TJPF_RGB, &jpeg, &size,
                             grey ? TJSAMP_GRAY : TJSAMP_444, quality, 0);
  std::string out;
  if (rc == 0 && size >= 2) {
    out.assign(reinterpret_cast<const char*>(jpeg), size);
    if (!exif_block.empty() && exif_block.size() + 2 <= 0xFFFF) {
      std::string app1 = "\xFF\xE1";
      const size_t len = exif_block.size() + 2;
      app1.push_back(static_cast<char>(len >> 8));
      app1.push_back(static_cast<char>(len & 0xFF));
      out.insert(2, app1 + exif_block);
    }
  }
  tjFree(jpeg);
  tjDestroy(h);
  return out;
}

std::string EncodePng(int width, int height, int channels, int bits, const void* samples) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = (channels == 3 ? PNG_FORMAT_RGB : PNG_FORMAT_GRAY) |
                 (bits == 16 ? PNG_FORMAT_FLAG_LINEAR : 0);
  png_alloc_size_t size = 0;
  if (!png_image_write_get_memory_size(image, size, 0, samples, 0, nullptr)) return {};
  std::string out(size, '\0');
  if (!png_image_write_to_memory(&image, out.data(), &size, 0, samples, 0, nullptr)) return {};
  out.resize(size);
  return out;
}

bool WriteTiffFile(const std::string& path, int width, int height, int channels, int bits,
                   const void* samples, int rows_per_strip, int tile, std::string* error) {
  TIFF* t = TIFFOpen(path.c_str(), "w");
  if (!t) {
    if (error) *error = path + ": cannot be created";
    return false;
  }
  TIFFSetField(t, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(width));
  TIFFSetField(t, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(height));
  TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, static_cast<uint16_t>(bits));
  TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, static_cast<uint16_t>(channels));
  TIFFSetField(t, TIFFTAG_PHOTOMETRIC, channels == 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK);
  TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_ADOBE_DEFLATE);
  const size_t pixel = static_cast<size_t>(channels) * (bits / 8);
  const auto* base = static_cast<const uint8_t*>(samples);
  bool ok = true;
  if (tile > 0) {
    TIFFSetField(t, TIFFTAG_TILEWIDTH, static_cast<uint32_t>(tile));
    TIFFSetField(t, TIFFTAG_TILELENGTH, static_cast<uint32_t>(tile));
    std::vector<uint8_t> buf(static_cast<size_t>(tile) * tile * pixel);
    for (int y = 0; y < height && ok; y += tile)
      for (int x = 0; x < width && ok; x += tile) {
        std::fill(buf.begin(), buf.end(), 0);
        for (int i = 0; i < tile && y + i < height; ++i) {
          const int cols = std::min(tile, width - x);
          std::memcpy(buf.data() + static_cast<size_t>(i) * tile * pixel,
                      base + (static_cast<size_t>(y + i) * width + x) * pixel, cols * pixel);
        }
        ok = TIFFWriteTile(t, buf.data(), x, y, 0, 0) >= 0;
      }
  } else {
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(rows_per_strip));
    for (int y = 0; y < height && ok; ++y) {
      std::vector<uint8_t> row(base + static_cast<size_t>(y) * width * pixel,
                               base + static_cast<size_t>(y + 1) * width * pixel);
      ok = TIFFWriteScanline(t, row.data(), static_cast<uint32_t>(y), 0) >= 0;
    }
  }
  TIFFClose(t);
  if (!ok && error) *error = path + ": cannot be written";
  return ok;
}

}  // namespace vistamet
