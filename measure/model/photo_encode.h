// Writing photos in the formats the decoders read: the sample generator
// writes its photos with these, and the tests their reference files.
#pragma once

#include <cstdint>
#include <string>

namespace vistamet {

// The camera facts an EXIF block carries.
struct ExifFields {
  double focalLengthMm = 0;       // 0: not written
  double focalPlaneXResolution = 0;  // pixels per unit; 0: not written
  uint16_t resolutionUnit = 2;    // 2 inch, 3 cm, 4 mm
  uint16_t orientation = 0;       // 0: not written
  std::string make;
  std::string model;
};

// An APP1 payload: "Exif\0\0" and a little-endian TIFF structure.
std::string BuildExifBlock(const ExifFields& fields);

// Samples are 8-bit, `channels` (1 grey or 3 red, green, blue) a pixel, top
// row first. Empty on failure.
std::string EncodeJpeg(int width, int height, int channels, const uint8_t* samples, int quality,
                       const std::string& exif_block = {});
// 8- or 16-bit samples (16-bit in host order).
std::string EncodePng(int width, int height, int channels, int bits, const void* samples);
// A TIFF file in strips of `rows_per_strip` rows, or in tiles of
// tile x tile pixels when tile > 0; 8- or 16-bit samples in host order.
bool WriteTiffFile(const std::string& path, int width, int height, int channels, int bits,
                   const void* samples, int rows_per_strip, int tile = 0,
                   std::string* error = nullptr);

}  // namespace vistamet
