// PNG (libpng) and TIFF (libtiff) headers and decoding.
#include <png.h>
#include <tiffio.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "common/strformat.h"
#include "measure/model/photo_codecs.h"

namespace vistamet::photo_codecs {

namespace {

uint32_t Be32(const uint8_t* p) {
  return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
         (static_cast<uint32_t>(p[2]) << 8) | p[3];
}

// --- PNG ---
// libpng reports errors by longjmp; the functions that call it hold only
// plain data, so no destructor is skipped.

struct PngState {
  png_structp png = nullptr;
  png_infop info = nullptr;
  const uint8_t* data = nullptr;
  size_t size = 0;
  size_t pos = 0;
  char message[256] = {};
};

void PngError(png_structp png, png_const_charp text) {
  auto* s = static_cast<PngState*>(png_get_error_ptr(png));
  std::snprintf(s->message, sizeof s->message, "damaged at byte %zu: %s", s->pos, text);
  png_longjmp(png, 1);
}

void PngWarning(png_structp, png_const_charp) {}

void PngRead(png_structp png, png_bytep out, size_t n) {
  auto* s = static_cast<PngState*>(png_get_io_ptr(png));
  if (n > s->size - s->pos) {
    s->pos = s->size;
    png_error(png, "the file ends inside the PNG data");
  }
  std::memcpy(out, s->data + s->pos, n);
  s->pos += n;
}

struct PngLayout {
  uint32_t width = 0, height = 0;
  int depth = 8, channels = 1;
  size_t rowBytes = 0;
};

bool PngReadHeader(PngState* s, PngLayout* l) {
  if (setjmp(png_jmpbuf(s->png))) return false;
  png_set_user_limits(s->png, kMaxPhotoSide, kMaxPhotoSide);
  png_read_info(s->png, s->info);
  const int colour_type = png_get_color_type(s->png, s->info);
  const int depth = png_get_bit_depth(s->png, s->info);
  if (colour_type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(s->png);
  if (colour_type == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(s->png);
  png_set_strip_alpha(s->png);
  png_set_interlace_handling(s->png);
  png_read_update_info(s->png, s->info);
  l->width = png_get_image_width(s->png, s->info);
  l->height = png_get_image_height(s->png, s->info);
  l->depth = png_get_bit_depth(s->png, s->info);
  l->channels = png_get_channels(s->png, s->info);
  l->rowBytes = png_get_rowbytes(s->png, s->info);
  return true;
}

bool PngReadRows(PngState* s, png_bytepp rows) {
  if (setjmp(png_jmpbuf(s->png))) return false;
  png_read_image(s->png, rows);
  png_read_end(s->png, nullptr);
  return true;
}

struct PngReader {
  PngState s;
  PngReader() {
    s.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &s, PngError, PngWarning);
    if (s.png) s.info = png_create_info_struct(s.png);
  }
  ~PngReader() { png_destroy_read_struct(&s.png, &s.info, nullptr); }
};

// One row of 8- or 16-bit samples (big-endian) into 8-bit grey or RGB.
void PngRow(const uint8_t* src, const PngLayout& l, int out_channels, uint8_t* dst) {
  const int take = out_channels;
  for (uint32_t x = 0; x < l.width; ++x) {
    for (int c = 0; c < take; ++c) {
      const size_t k = static_cast<size_t>(x) * l.channels + c;
      dst[static_cast<size_t>(x) * take + c] =
          l.depth == 16 ? To8(static_cast<uint16_t>((src[2 * k] << 8) | src[2 * k + 1])) : src[k];
    }
  }
}

}  // namespace

bool ProbePng(const Source& src, PhotoInfo* info, std::string* why) {
  uint8_t h[33];
  if (src.ReadAt(0, h, sizeof h) < sizeof h) {
    *why = common::StrFormat("damaged at byte %llu: the file ends inside the PNG header",
                             static_cast<unsigned long long>(src.size));
    return false;
  }
  if (std::memcmp(h + 12, "IHDR", 4) != 0 || Be32(h + 8) != 13) {
    *why = "damaged at byte 8: the PNG header chunk is missing";
    return false;
  }
  if (!CheckSize(Be32(h + 16), Be32(h + 20), why)) return false;
  info->width = static_cast<int32_t>(Be32(h + 16));
  info->height = static_cast<int32_t>(Be32(h + 20));
  return true;
}

bool DecodePng(std::string_view file, Raster* out, std::string* why) {
  Source src;
  src.mem = reinterpret_cast<const uint8_t*>(file.data());
  src.size = file.size();
  PhotoInfo info;
  if (!ProbePng(src, &info, why)) return false;
  PngReader r;
  if (!r.s.png || !r.s.info) return (*why = "not enough memory", false);
  r.s.data = src.mem;
  r.s.size = file.size();
  png_set_read_fn(r.s.png, &r.s, PngRead);
  PngLayout l;
  if (!PngReadHeader(&r.s, &l)) return (*why = r.s.message, false);
  // Deflate packs at most 1032 bytes into one: a file too short for its
  // size is refused before its pixels are allocated.
  if ((static_cast<uint64_t>(l.rowBytes) + 1) * l.height > static_cast<uint64_t>(file.size()) * 1032) {
    *why = common::StrFormat("damaged: %zu bytes cannot hold %u x %u pixels", file.size(),
                             l.width, l.height);
    return false;
  }
  const int out_channels = l.channels >= 3 ? 3 : 1;
  std::vector<uint8_t> samples;
  std::vector<png_bytep> rows(l.height);
  if (!Allocate(&samples, l.rowBytes * l.height)) return (*why = "not enough memory", false);
  for (uint32_t y = 0; y < l.height; ++y) rows[y] = samples.data() + l.rowBytes * y;
  if (!PngReadRows(&r.s, rows.data())) return (*why = r.s.message, false);
  Raster raster;
  raster.width = static_cast<int32_t>(l.width);
  raster.height = static_cast<int32_t>(l.height);
  raster.channels = out_channels;
  if (l.depth == 8 && l.channels == out_channels) {
    raster.data = std::move(samples);
  } else {
    if (!Allocate(&raster.data, static_cast<size_t>(l.width) * l.height * out_channels))
      return (*why = "not enough memory", false);
    for (uint32_t y = 0; y < l.height; ++y)
      PngRow(rows[y], l, out_channels,
             raster.data.data() + static_cast<size_t>(y) * l.width * out_channels);
  }
  *out = std::move(raster);
  return true;
}

// --- TIFF ---

namespace {

struct TiffClient {
  Source src;
  uint64_t pos = 0;
  std::string message;
};

tsize_t TiffRead(thandle_t h, tdata_t buf, tsize_t n) {
  auto* c = static_cast<TiffClient*>(h);
  if (n <= 0) return 0;
  const size_t got = c->src.ReadAt(c->pos, buf, static_cast<size_t>(n));
  c->pos += got;
  return static_cast<tsize_t>(got);
}
tsize_t TiffWrite(thandle_t, tdata_t, tsize_t) { return 0; }
toff_t TiffSeek(thandle_t h, toff_t off, int whence) {
  auto* c = static_cast<TiffClient*>(h);
  uint64_t base = whence == SEEK_CUR ? c->pos : whence == SEEK_END ? c->src.size : 0;
  c->pos = base + off;
  return c->pos;
}
int TiffClose(thandle_t) { return 0; }
toff_t TiffSize(thandle_t h) { return static_cast<TiffClient*>(h)->src.size; }
int TiffMap(thandle_t, tdata_t*, toff_t*) { return 0; }
void TiffUnmap(thandle_t, tdata_t, toff_t) {}

int TiffErrorHandler(TIFF*, void* user, const char*, const char* fmt, va_list ap) {
  auto* c = static_cast<TiffClient*>(user);
  if (c->message.empty()) c->message = common::StrFormatV(fmt, ap);
  return 1;
}
int TiffWarningHandler(TIFF*, void*, const char*, const char*, va_list) { return 1; }

struct TiffFile {
  TiffClient client;
  TIFF* tif = nullptr;
  explicit TiffFile(const Source& src) {
    client.src = src;
    TIFFOpenOptions* opts = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetErrorHandlerExtR(opts, TiffErrorHandler, &client);
    TIFFOpenOptionsSetWarningHandlerExtR(opts, TiffWarningHandler, &client);
    TIFFOpenOptionsSetMaxSingleMemAlloc(opts, tmsize_t{1} << 30);
    tif = TIFFClientOpenExt("photo", "rm", &client, TiffRead, TiffWrite, TiffSeek, TiffClose,
                            TiffSize, TiffMap, TiffUnmap, opts);
    TIFFOpenOptionsFree(opts);
  }
  ~TiffFile() {
    if (tif) TIFFClose(tif);
  }
  std::string Why(const char* what) const {
    return std::string("damaged TIFF file: ") + what +
           (client.message.empty() ? "" : " (" + client.message + ")");
  }
};

struct TiffLayout {
  uint32_t width = 0, height = 0;
  uint16_t bits = 1, spp = 1, photometric = 0, planar = PLANARCONFIG_CONTIG, format = 1;
  int channels = 1;
};

bool TiffReadLayout(TiffFile& f, TiffLayout* l, std::string* why) {
  TIFF* t = f.tif;
  if (!TIFFGetField(t, TIFFTAG_IMAGEWIDTH, &l->width) ||
      !TIFFGetField(t, TIFFTAG_IMAGELENGTH, &l->height))
    return (*why = f.Why("no image size"), false);
  if (!CheckSize(l->width, l->height, why)) return false;
  TIFFGetFieldDefaulted(t, TIFFTAG_BITSPERSAMPLE, &l->bits);
  TIFFGetFieldDefaulted(t, TIFFTAG_SAMPLESPERPIXEL, &l->spp);
  TIFFGetFieldDefaulted(t, TIFFTAG_PLANARCONFIG, &l->planar);
  TIFFGetFieldDefaulted(t, TIFFTAG_SAMPLEFORMAT, &l->format);
  if (!TIFFGetField(t, TIFFTAG_PHOTOMETRIC, &l->photometric))
    l->photometric = l->spp >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
  const bool grey = l->photometric == PHOTOMETRIC_MINISBLACK ||
                    l->photometric == PHOTOMETRIC_MINISWHITE;
  if (l->bits != 8 && l->bits != 16)
    return (*why = common::StrFormat("unsupported TIFF: %u bits per sample", l->bits), false);
  if (l->format != SAMPLEFORMAT_UINT)
    return (*why = "unsupported TIFF: samples are not unsigned integers", false);
  if (!grey && !(l->photometric == PHOTOMETRIC_RGB && l->spp >= 3))
    return (*why = common::StrFormat("unsupported TIFF: photometric interpretation %u with %u "
                                     "samples a pixel", l->photometric, l->spp), false);
  // Grey, RGB and a few extra samples (alpha, masks); more is no photo, and
  // would make a strip's buffer many times the picture.
  if (l->spp > 8)
    return (*why = common::StrFormat("unsupported TIFF: %u samples a pixel", l->spp), false);
  if (l->spp < 1 || (l->planar != PLANARCONFIG_CONTIG && l->spp > 1))
    return (*why = "unsupported TIFF: separate colour planes", false);
  l->channels = grey ? 1 : 3;
  return true;
}

// Rows [y0, y0 + rows) and columns [x0, x0 + cols) of a strip or tile
// holding `span` pixels a row.
void TiffBlock(const uint8_t* buf, const TiffLayout& l, uint32_t x0, uint32_t y0, uint32_t cols,
               uint32_t rows, uint32_t span, Raster* r) {
  const bool invert = l.photometric == PHOTOMETRIC_MINISWHITE;
  const size_t bytes = l.bits / 8;
  for (uint32_t i = 0; i < rows; ++i) {
    const uint8_t* s = buf + static_cast<size_t>(i) * span * l.spp * bytes;
    uint8_t* d = r->data.data() + (static_cast<size_t>(y0 + i) * l.width + x0) * l.channels;
    for (uint32_t x = 0; x < cols; ++x)
      for (int c = 0; c < l.channels; ++c) {
        const size_t k = static_cast<size_t>(x) * l.spp + c;
        uint8_t v;
        if (bytes == 2) {
          uint16_t w;
          std::memcpy(&w, s + 2 * k, 2);
          v = To8(w);
        } else {
          v = s[k];
        }
        d[static_cast<size_t>(x) * l.channels + c] = invert ? static_cast<uint8_t>(255 - v) : v;
      }
  }
}

bool TiffReadPixels(TiffFile& f, const TiffLayout& l, Raster* r, std::string* why) {
  TIFF* t = f.tif;
  std::vector<uint8_t> buf;
  if (TIFFIsTiled(t)) {
    uint32_t tw = 0, th = 0;
    if (!TIFFGetField(t, TIFFTAG_TILEWIDTH, &tw) || !TIFFGetField(t, TIFFTAG_TILELENGTH, &th) ||
        tw == 0 || th == 0)
      return (*why = f.Why("no tile size"), false);
    // A tile larger than the picture with a margin holds nothing but padding.
    if (uint64_t{tw} * th > (uint64_t{l.width} + 1024) * (uint64_t{l.height} + 1024))
      return (*why = f.Why("tiles larger than the picture"), false);
    const tmsize_t size = TIFFTileSize(t);
    if (size <= 0 || static_cast<uint64_t>(size) < uint64_t{tw} * th * l.spp * (l.bits / 8) ||
        !Allocate(&buf, static_cast<size_t>(size)))
      return (*why = f.Why("bad tile size"), false);
    for (uint32_t y = 0; y < l.height; y += th)
      for (uint32_t x = 0; x < l.width; x += tw) {
        const uint32_t tile = TIFFComputeTile(t, x, y, 0, 0);
        if (TIFFReadEncodedTile(t, tile, buf.data(), size) < 0)
          return (*why = f.Why(common::StrFormat("tile %u cannot be read", tile).c_str()), false);
        TiffBlock(buf.data(), l, x, y, std::min(tw, l.width - x), std::min(th, l.height - y), tw, r);
      }
    return true;
  }
  uint32_t rps = l.height;
  TIFFGetFieldDefaulted(t, TIFFTAG_ROWSPERSTRIP, &rps);
  if (rps == 0 || rps > l.height) rps = l.height;
  const size_t row_bytes = static_cast<size_t>(l.width) * l.spp * (l.bits / 8);
  if (!Allocate(&buf, row_bytes * rps)) return (*why = "not enough memory", false);
  for (uint32_t y = 0; y < l.height; y += rps) {
    const uint32_t strip = TIFFComputeStrip(t, y, 0);
    const uint32_t rows = std::min(rps, l.height - y);
    const tmsize_t got = TIFFReadEncodedStrip(t, strip, buf.data(), static_cast<tmsize_t>(buf.size()));
    if (got < static_cast<tmsize_t>(row_bytes * rows))
      return (*why = f.Why(common::StrFormat("strip %u cannot be read", strip).c_str()), false);
    TiffBlock(buf.data(), l, 0, y, l.width, rows, l.width, r);
  }
  return true;
}

std::string TiffText(TIFF* t, uint32_t tag) {
  char* s = nullptr;
  if (!TIFFGetField(t, tag, &s) || !s) return {};
  std::string v(s, strnlen(s, 256));
  while (!v.empty() && v.back() == ' ') v.pop_back();
  return v;
}

}  // namespace

bool ProbeTiff(const Source& src, PhotoInfo* info, std::string* why) {
  TiffFile f(src);
  if (!f.tif) return (*why = f.Why("the header cannot be read"), false);
  TiffLayout l;
  if (!TiffReadLayout(f, &l, why)) return false;
  info->width = static_cast<int32_t>(l.width);
  info->height = static_cast<int32_t>(l.height);
  uint16_t orientation = 1;
  if (TIFFGetField(f.tif, TIFFTAG_ORIENTATION, &orientation)) info->orientation = orientation;
  // Focal length and focal-plane resolution from the EXIF block, when it
  // lies in the first 64 KiB where writers put it.
  std::string head(static_cast<size_t>(std::min<uint64_t>(src.size, 65536)) + 6, '\0');
  std::memcpy(head.data(), "Exif\0\0", 6);
  const size_t got = src.ReadAt(0, head.data() + 6, head.size() - 6);
  PhotoInfo exif;
  ReadExif(reinterpret_cast<const uint8_t*>(head.data()), got + 6, &exif);
  info->focalLengthMm = exif.focalLengthMm;
  info->pixelSizeMm = exif.pixelSizeMm;
  const std::string make = TiffText(f.tif, TIFFTAG_MAKE), model = TiffText(f.tif, TIFFTAG_MODEL);
  info->camera = model.rfind(make, 0) == 0 || make.empty() ? model
                 : model.empty()                           ? make
                                                           : make + " " + model;
  return true;
}

bool DecodeTiff(std::string_view file, Raster* out, std::string* why) {
  Source src;
  src.mem = reinterpret_cast<const uint8_t*>(file.data());
  src.size = file.size();
  TiffFile f(src);
  if (!f.tif) return (*why = f.Why("the header cannot be read"), false);
  TiffLayout l;
  if (!TiffReadLayout(f, &l, why)) return false;
  Raster r;
  r.width = static_cast<int32_t>(l.width);
  r.height = static_cast<int32_t>(l.height);
  r.channels = l.channels;
  if (!Allocate(&r.data, static_cast<size_t>(l.width) * l.height * l.channels))
    return (*why = "not enough memory", false);
  if (!TiffReadPixels(f, l, &r, why)) return false;
  *out = std::move(r);
  return true;
}

}  // namespace vistamet::photo_codecs
