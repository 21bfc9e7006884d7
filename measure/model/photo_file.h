// Photo files: the format told by the file's first bytes (never by its
// name), a header probe that reads no pixels, and decoding into an
// ImageHolder. Formats: BMP (bitmap.h), JPEG, PNG and TIFF.
//
// Pixels decoded from JPEG, PNG and TIFF are held like a top-down bitmap:
// colour photos as 24-bit rows of blue, green, red; grey photos as 8-bit
// rows with a grey palette. The grey buffer of PNG and TIFF photos is
// (r + g + b) / 3 of the 8-bit samples, as for BMP; that of a JPEG photo is
// its luminance as coded (0.299 r + 0.587 g + 0.114 b), which the decoder
// gives without converting colour. Samples of 16 bits become 8 bits by
// rounding to the nearest value: v8 = (v16 * 255 + 32767) / 65535.
//
// Every function refuses damaged, truncated or unsupported files with a
// message that names the file and says what is wrong; none of them throws
// or aborts on any input, and none blocks on a FIFO or device.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "measure/records/records.h"

namespace vistamet {

enum class PhotoFormat { kUnknown, kBmp, kJpeg, kPng, kTiff };

const char* PhotoFormatName(PhotoFormat format);

// The format whose signature starts `head` (a few bytes are enough).
PhotoFormat SniffPhotoFormat(std::string_view head);

// What a photo file says about itself without its pixels being decoded.
struct PhotoInfo {
  PhotoFormat format = PhotoFormat::kUnknown;
  int32_t width = 0;           // as seen upright (see orientation)
  int32_t height = 0;
  int32_t orientation = 1;     // EXIF orientation, 1 = upright as stored
  double focalLengthMm = 0;    // EXIF focal length; 0 when not recorded
  double pixelSizeMm = 0;      // from the focal-plane resolution; 0 when not recorded
  std::string camera;          // make and model; empty when not recorded
  int64_t fileSize = 0;
  int64_t modifiedNs = 0;      // modification time, ns since the epoch
};

// Largest photo accepted, in pixels and by side.
constexpr int64_t kMaxPhotoPixels = 400'000'000;
constexpr int32_t kMaxPhotoSide = 65535;
// Largest photo file read.
constexpr int64_t kMaxPhotoFileBytes = int64_t{1} << 31;

struct DecodeOptions {
  bool colour = true;  // false: the grey buffer only (no rows kept)
  // 1, 2, 4 or 8: a JPEG is decoded at 1/reduce of its size (thumbnails);
  // other formats ignore it.
  int reduce = 1;
};

// Reads the header (and EXIF) of the photo at `path`. A photo whose EXIF
// orientation says it is stored turned or mirrored is decoded upright, so
// that it is never measured sideways: its size here is the upright size.
// An orientation value outside 1..8 is refused.
bool ProbePhotoFile(const std::string& path, PhotoInfo* out, std::string* error = nullptr);

// Decodes the photo at `path` into *out (replaced only on success).
bool LoadPhotoFile(const std::string& path, const DecodeOptions& options, ImageHolder* out,
                   std::string* error = nullptr, PhotoInfo* info = nullptr);

// A holder with the size and bounds of the probed photo and no pixels: what
// a project keeps of a photo until its pixels are needed.
ImageHolder PhotoHeader(const PhotoInfo& info);

// The same from the bytes of a whole file; messages start with `name`.
bool ProbePhoto(std::string_view file, const std::string& name, PhotoInfo* out,
                std::string* error = nullptr);
bool DecodePhoto(std::string_view file, const std::string& name, const DecodeOptions& options,
                 ImageHolder* out, std::string* error = nullptr);

}  // namespace vistamet
