// The decoders behind photo_file.h, one per format. Each reports what is
// wrong in *why without the file name; photo_file.cpp prefixes it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "measure/model/photo_file.h"

namespace vistamet::photo_codecs {

// Bytes of a photo, either in memory or read from an open file.
struct Source {
  const uint8_t* mem = nullptr;
  int fd = -1;
  uint64_t size = 0;
  // Copies up to n bytes from `offset`; returns how many were copied.
  size_t ReadAt(uint64_t offset, void* dst, size_t n) const;
};

// 8-bit samples, 1 (grey) or 3 (red, green, blue) a pixel, top row first.
struct Raster {
  int32_t width = 0;
  int32_t height = 0;
  int channels = 1;
  std::vector<uint8_t> data;
};

inline uint8_t To8(uint16_t v) { return static_cast<uint8_t>((v * 255u + 32767u) / 65535u); }

// False (with the reason) for sizes that are not positive or too large.
bool CheckSize(int64_t width, int64_t height, std::string* why);
// Allocates without throwing; false when the memory is not there.
bool Allocate(std::vector<uint8_t>* v, size_t n);

// Fills the holder from a raster: rows for colour (24-bit BGR or 8-bit
// grey with a grey palette) when wanted, and the grey buffer.
bool HolderFromRaster(Raster&& raster, bool colour, ImageHolder* out, std::string* why);

// EXIF block (starting "Exif\0\0" or a TIFF header) into *info.
void ReadExif(const uint8_t* data, size_t size, PhotoInfo* info);

bool ProbeBmp(const Source& src, PhotoInfo* info, std::string* why);
bool ProbeJpeg(const Source& src, PhotoInfo* info, std::string* why);
bool ProbePng(const Source& src, PhotoInfo* info, std::string* why);
bool ProbeTiff(const Source& src, PhotoInfo* info, std::string* why);

bool DecodeJpeg(std::string_view file, const DecodeOptions& options, ImageHolder* out,
                std::string* why);
bool DecodePng(std::string_view file, Raster* out, std::string* why);
bool DecodeTiff(std::string_view file, Raster* out, std::string* why);

}  // namespace vistamet::photo_codecs
