#include "measure/views/photo_bitmaps.h"

#include <algorithm>

#include "measure/model/bitmap.h"

namespace vistamet {

namespace {

// True when the stored rows are all inside the holder's data, so that Row()
// may be read directly.
bool RowsAvailable(const ImageHolder& p) {
  if (p.Empty() || p.stride <= 0) return false;
  const size_t need = p.pixelOffset + static_cast<size_t>(p.stride) * static_cast<size_t>(p.height);
  return need <= p.dib.size();
}

// RGB of pixel (x, y), y from the top.
inline void Pixel(const ImageHolder& p, bool direct, int32_t x, int32_t y, unsigned char* rgb) {
  if (direct && p.bitsPerPixel == 24) {
    const uint8_t* px = p.Row(y) + static_cast<size_t>(x) * 3;
    rgb[0] = px[2];
    rgb[1] = px[1];
    rgb[2] = px[0];
    return;
  }
  uint32_t c = 0;
  // Rows that are not all there are shown black rather than read.
  if (!direct || !ColourAt(p, x, y, &c)) c = 0;
  rgb[0] = c & 0xFF;
  rgb[1] = (c >> 8) & 0xFF;
  rgb[2] = (c >> 16) & 0xFF;
}

}  // namespace

wxImage PhotoImage(const ImageHolder& photo) {
  if (photo.Empty()) return wxImage();
  wxImage image(photo.width, photo.height, false);
  unsigned char* out = image.GetData();
  const bool direct = RowsAvailable(photo);
  if (direct && photo.bitsPerPixel == 24) {
    for (int32_t y = 0; y < photo.height; ++y) {
      const uint8_t* row = photo.Row(y);
      for (int32_t x = 0; x < photo.width; ++x, out += 3, row += 3) {
        out[0] = row[2];
        out[1] = row[1];
        out[2] = row[0];
      }
    }
    return image;
  }
  for (int32_t y = 0; y < photo.height; ++y)
    for (int32_t x = 0; x < photo.width; ++x, out += 3) Pixel(photo, direct, x, y, out);
  return image;
}

wxImage PhotoThumbnail(const ImageHolder& photo, int width, int height) {
  if (photo.Empty() || width < 1 || height < 1) return wxImage();
  wxImage image(width, height, false);
  unsigned char* out = image.GetData();
  const bool direct = RowsAvailable(photo);
  for (int ty = 0; ty < height; ++ty) {
    const int32_t y0 = static_cast<int32_t>(static_cast<int64_t>(ty) * photo.height / height);
    const int32_t y1 = std::max<int32_t>(
        y0 + 1, static_cast<int32_t>(static_cast<int64_t>(ty + 1) * photo.height / height));
    for (int tx = 0; tx < width; ++tx, out += 3) {
      const int32_t x0 = static_cast<int32_t>(static_cast<int64_t>(tx) * photo.width / width);
      const int32_t x1 = std::max<int32_t>(
          x0 + 1, static_cast<int32_t>(static_cast<int64_t>(tx + 1) * photo.width / width));
      // At most 4 x 4 samples per thumbnail pixel keep large photos fast.
      const int32_t sy = std::max<int32_t>(1, (y1 - y0) / 4);
      const int32_t sx = std::max<int32_t>(1, (x1 - x0) / 4);
      unsigned sum[3] = {0, 0, 0};
      unsigned n = 0;
      for (int32_t y = y0; y < y1; y += sy)
        for (int32_t x = x0; x < x1; x += sx) {
          unsigned char rgb[3];
          Pixel(photo, direct, x, y, rgb);
          sum[0] += rgb[0];
          sum[1] += rgb[1];
          sum[2] += rgb[2];
          ++n;
        }
      for (int c = 0; c < 3; ++c) out[c] = static_cast<unsigned char>(sum[c] / n);
    }
  }
  return image;
}

}  // namespace vistamet
