// BMP and JPEG headers, and JPEG decoding through TurboJPEG.
#include <turbojpeg.h>

#include <cstring>

#include "common/little_endian.h"
#include "common/strformat.h"
#include "measure/model/photo_codecs.h"

namespace vistamet::photo_codecs {

namespace {

uint16_t Be16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }

std::string EndsAt(uint64_t size, const char* where) {
  return common::StrFormat("damaged at byte %llu: the file ends inside the %s",
                           static_cast<unsigned long long>(size), where);
}

}  // namespace

bool ProbeBmp(const Source& src, PhotoInfo* info, std::string* why) {
  uint8_t h[14 + 16] = {};
  if (src.ReadAt(0, h, sizeof h) < sizeof h) {
    *why = EndsAt(src.size, "bitmap header");
    return false;
  }
  const uint32_t header_size = common::LoadLe32(h + 14);
  int64_t width, height;
  int bits;
  if (header_size == 12) {
    width = common::LoadLe16(h + 18);
    height = common::LoadLe16(h + 20);
    bits = common::LoadLe16(h + 24);
  } else {
    width = static_cast<int32_t>(common::LoadLe32(h + 18));
    height = static_cast<int32_t>(common::LoadLe32(h + 22));
    bits = common::LoadLe16(h + 28);
    if (height < 0) height = -height;
  }
  if (!CheckSize(width, height, why)) return false;
  const uint64_t stride = ((static_cast<uint64_t>(bits) * width + 31) / 32) * 4;
  if (14 + header_size + stride * height > src.size) {
    *why = common::StrFormat("damaged: the file is too short for a %lld x %lld bitmap",
                             static_cast<long long>(width), static_cast<long long>(height));
    return false;
  }
  info->width = static_cast<int32_t>(width);
  info->height = static_cast<int32_t>(height);
  return true;
}

// Walks the marker segments up to the frame header; EXIF comes from the
// first APP1 segment that holds it.
bool ProbeJpeg(const Source& src, PhotoInfo* info, std::string* why) {
  uint64_t pos = 2;
  bool exif_seen = false;
  for (;;) {
    uint8_t m[4];
    if (src.ReadAt(pos, m, 2) < 2) return (*why = EndsAt(src.size, "JPEG header"), false);
    if (m[0] != 0xFF) {
      *why = common::StrFormat("damaged at byte %llu: a JPEG marker was expected",
                               static_cast<unsigned long long>(pos));
      return false;
    }
    const uint8_t marker = m[1];
    if (marker == 0xFF) {  // fill byte
      ++pos;
      continue;
    }
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
      pos += 2;
      continue;
    }
    if (marker == 0xD9 || marker == 0xDA) {
      *why = common::StrFormat("damaged at byte %llu: no frame header before the image data",
                               static_cast<unsigned long long>(pos));
      return false;
    }
    if (src.ReadAt(pos + 2, m, 2) < 2) return (*why = EndsAt(src.size, "JPEG header"), false);
    const uint16_t length = Be16(m);
    if (length < 2) {
      *why = common::StrFormat("damaged at byte %llu: a segment length of %u",
                               static_cast<unsigned long long>(pos + 2), length);
      return false;
    }
    const bool sof = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
                     marker != 0xCC;
    if (sof) {
      uint8_t f[5];
      if (length < 7 || src.ReadAt(pos + 4, f, 5) < 5)
        return (*why = EndsAt(src.size, "JPEG frame header"), false);
      if (marker != 0xC0 && marker != 0xC1 && marker != 0xC2) {
        *why = common::StrFormat("unsupported JPEG coding (frame marker %02X)", marker);
        return false;
      }
      if (!CheckSize(Be16(f + 3), Be16(f + 1), why)) return false;
      info->width = Be16(f + 3);
      info->height = Be16(f + 1);
      return true;
    }
    if (marker == 0xE1 && !exif_seen && length > 8) {
      std::string payload(length - 2, '\0');
      if (src.ReadAt(pos + 4, payload.data(), payload.size()) < payload.size())
        return (*why = EndsAt(src.size, "JPEG header"), false);
      if (payload.compare(0, 6, std::string_view("Exif\0\0", 6)) == 0) {
        exif_seen = true;
        ReadExif(reinterpret_cast<const uint8_t*>(payload.data()), payload.size(), info);
      }
    }
    pos += 2 + static_cast<uint64_t>(length);
  }
}

namespace {

struct TjHandle {
  tjhandle h = tjInitDecompress();
  ~TjHandle() {
    if (h) tjDestroy(h);
  }
};

// Where decoding stopped cannot be told by TurboJPEG; a file without its end
// marker is reported as truncated.
std::string JpegFailure(tjhandle h, std::string_view file) {
  const bool ends = file.size() >= 2 && static_cast<uint8_t>(file[file.size() - 2]) == 0xFF &&
                    static_cast<uint8_t>(file[file.size() - 1]) == 0xD9;
  if (!ends)
    return common::StrFormat("damaged at byte %zu: the JPEG data ends early (%s)", file.size(),
                             tjGetErrorStr2(h));
  return std::string("damaged JPEG data: ") + tjGetErrorStr2(h);
}

}  // namespace

bool DecodeJpeg(std::string_view file, const DecodeOptions& options, ImageHolder* out,
                std::string* why) {
  TjHandle tj;
  if (!tj.h) return (*why = "the JPEG decoder cannot start", false);
  const auto* buf = reinterpret_cast<const unsigned char*>(file.data());
  int w = 0, h = 0, subsamp = 0, colourspace = 0;
  if (tjDecompressHeader3(tj.h, buf, file.size(), &w, &h, &subsamp, &colourspace) != 0)
    return (*why = JpegFailure(tj.h, file), false);
  if (!CheckSize(w, h, why)) return false;
  // Every 8 x 8 block of luminance takes at least one bit: a file too short
  // for its size is refused before its pixels are allocated.
  if (static_cast<uint64_t>(w) * h > static_cast<uint64_t>(file.size()) * 512) {
    *why = common::StrFormat("damaged: %zu bytes cannot hold %d x %d pixels", file.size(), w, h);
    return false;
  }
  int count = 0;
  const tjscalingfactor* factors = tjGetScalingFactors(&count);
  tjscalingfactor scale{1, 1};
  for (int k = 0; k < count; ++k)
    if (factors[k].num == 1 && factors[k].denom == options.reduce) scale = factors[k];
  const int sw = TJSCALED(w, scale), sh = TJSCALED(h, scale);
  const bool grey_file = colourspace == TJCS_GRAY;
  ImageHolder img;
  img.width = sw;
  img.height = sh;
  img.bounds = {0, 0, sw, sh};
  img.topDown = true;
  img.bitsPerPixel = grey_file ? 8 : 24;
  img.stride = static_cast<int32_t>(((static_cast<size_t>(img.bitsPerPixel) * sw + 31) / 32) * 4);
  const int flags = TJFLAG_STOPONWARNING;
  // The grey image is the luminance as coded, whatever else is wanted, so
  // that a photo's grey image never depends on how it was first decoded.
  if (!Allocate(&img.grey, static_cast<size_t>(sw) * sh)) return (*why = "not enough memory", false);
  if (tjDecompress2(tj.h, buf, file.size(), img.grey.data(), sw, sw, sh, TJPF_GRAY, flags) != 0)
    return (*why = JpegFailure(tj.h, file), false);
  if (options.colour) {
    if (!Allocate(&img.dib, static_cast<size_t>(img.stride) * sh))
      return (*why = "not enough memory", false);
    if (grey_file) {
      img.palette.resize(256);
      for (uint32_t k = 0; k < 256; ++k) img.palette[k] = k | (k << 8) | (k << 16);
      for (int i = 0; i < sh; ++i)
        std::memcpy(img.dib.data() + static_cast<size_t>(i) * img.stride,
                    img.grey.data() + static_cast<size_t>(i) * sw, sw);
    } else if (tjDecompress2(tj.h, buf, file.size(), img.dib.data(), sw, img.stride, sh, TJPF_BGR,
                             flags) != 0) {
      return (*why = JpegFailure(tj.h, file), false);
    }
  }
  *out = std::move(img);
  return true;
}

}  // namespace vistamet::photo_codecs
