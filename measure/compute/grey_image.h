// A read-only view of an 8-bit grey image: one byte per pixel, rows of
// `width` bytes from the top row down (the grey buffer of an ImageHolder).
// Pixel (x, y) is column x, row y counted from the top.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "measure/records/records.h"

namespace vistamet {

struct GreyImage {
  const uint8_t* pixels = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  size_t size = 0;  // bytes available at `pixels`

  // True when the view holds exactly width * height bytes of a non-empty
  // image. Every computation refuses a view that is not valid.
  bool Valid() const {
    return pixels != nullptr && width > 0 && height > 0 &&
           size == static_cast<size_t>(width) * static_cast<size_t>(height);
  }
  // Valid() and 0 <= x < width, 0 <= y < height are the caller's business.
  uint8_t At(int32_t x, int32_t y) const {
    return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
  }
  bool Contains(int32_t x, int32_t y) const {
    return x >= 0 && y >= 0 && x < width && y < height;
  }
};

inline GreyImage GreyView(const std::vector<uint8_t>& grey, int32_t width, int32_t height) {
  return GreyImage{grey.data(), width, height, grey.size()};
}

// The grey buffer of a decoded photo (invalid for an empty holder).
inline GreyImage GreyView(const ImageHolder& image) {
  return GreyView(image.grey, image.width, image.height);
}

}  // namespace vistamet
