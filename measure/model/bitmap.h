// Decoding of device-independent bitmap files into an ImageHolder.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "measure/records/records.h"

namespace vistamet {

// Decodes the BMP file at `path` into *out (replaced only on success) and
// builds its grey buffer. Accepts 24- and 32-bit true colour and 1-, 4- and
// 8-bit palettized bitmaps with the 40-byte information header (or its
// longer successors) or the 12-byte core header, stored bottom-up or
// top-down, uncompressed (32-bit also with the standard bit-field masks).
// Every header field is checked against the file. On failure *error (if
// given) says why.
bool LoadBitmapFile(const std::string& path, ImageHolder* out, std::string* error = nullptr);

// The same from the bytes of a whole file.
bool DecodeBitmap(std::string_view file, ImageHolder* out, std::string* error = nullptr);

// RGB colour (0x00BBGGRR) of pixel (x, y), y counted from the top. False
// outside the bitmap or for an empty holder.
bool ColourAt(const ImageHolder& image, int32_t x, int32_t y, uint32_t* colour);

// Encodes a 24-bit bottom-up BMP file from rows of blue, green, red bytes,
// top row first (width * 3 bytes a row). Used to write generated photos.
std::string EncodeBitmap24(int32_t width, int32_t height, const uint8_t* bgr_top_down);

}  // namespace vistamet
