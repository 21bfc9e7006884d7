#include "measure/model/bitmap.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <array>
#include <cstring>
#include <new>

#include "common/atomic_file.h"
#include "common/little_endian.h"
#include "common/strformat.h"

namespace vistamet {

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr int32_t kMaxSide = 65535;

using common::LoadLe16;
using common::LoadLe32;
int32_t I32(const uint8_t* p) { return static_cast<int32_t>(LoadLe32(p)); }

bool Fail(std::string* error, std::string text) {
  if (error) *error = std::move(text);
  return false;
}

uint32_t Rgb(uint8_t r, uint8_t g, uint8_t b) {
  return static_cast<uint32_t>(r) | (static_cast<uint32_t>(g) << 8) |
         (static_cast<uint32_t>(b) << 16);
}

// Palette index of pixel x in a row of 1, 4 or 8 bits per pixel.
inline unsigned PaletteIndex(const uint8_t* row, int32_t x, int bits) {
  switch (bits) {
    case 8: return row[x];
    case 4: return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
    default: return (row[x >> 3] >> (7 - (x & 7))) & 1;
  }
}

void BuildGrey(ImageHolder* img) {
  const int32_t w = img->width, h = img->height;
  img->grey.resize(static_cast<size_t>(w) * h);
  uint8_t* out = img->grey.data();
  const int bits = img->bitsPerPixel;
  if (bits == 24 || bits == 32) {
    // (b + g + r) / 3 through a table: the sum is at most 765.
    static const auto kThird = [] {
      std::array<uint8_t, 766> t{};
      for (int k = 0; k < 766; ++k) t[k] = static_cast<uint8_t>(k / 3);
      return t;
    }();
    const int step = bits / 8;
    for (int32_t i = 0; i < h; ++i) {
      const uint8_t* row = img->Row(i);
      uint8_t* dst = out + static_cast<size_t>(i) * w;
      if (step == 3) {
        for (int32_t j = 0; j < w; ++j) {
          const uint8_t* px = row + 3 * j;
          dst[j] = kThird[px[0] + px[1] + px[2]];
        }
      } else {
        for (int32_t j = 0; j < w; ++j) {
          const uint8_t* px = row + 4 * j;
          dst[j] = kThird[px[0] + px[1] + px[2]];
        }
      }
    }
    return;
  }
  // Palettized: grey of each palette entry by the same rule.
  uint8_t lut[256] = {};
  for (size_t k = 0; k < img->palette.size() && k < 256; ++k) {
    const uint32_t c = img->palette[k];
    lut[k] = static_cast<uint8_t>(((c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF)) / 3);
  }
  for (int32_t i = 0; i < h; ++i) {
    const uint8_t* row = img->Row(i);
    uint8_t* dst = out + static_cast<size_t>(i) * w;
    for (int32_t j = 0; j < w; ++j) dst[j] = lut[PaletteIndex(row, j, bits)];
  }
}

}  // namespace

namespace {

// Decodes a whole file held in `file`; `dib` is moved into the holder when
// the caller already owns the bytes after the file header (no extra copy).
// `bytes` is the 14-byte file header, `dib` the rest of the file.
bool Decode(const uint8_t* bytes, const uint8_t* dib, size_t dib_size,
            std::vector<uint8_t>* owned_dib, ImageHolder* out, std::string* error) {
  if (bytes[0] != 'B' || bytes[1] != 'M') return Fail(error, "not a BMP file");
  const size_t file_pixel_offset = LoadLe32(bytes + 10);
  if (dib_size < 12) return Fail(error, "the bitmap header is incomplete");

  ImageHolder img;
  const uint32_t header_size = LoadLe32(dib);
  size_t colour_count = 0;
  size_t entry_size = 4;
  size_t masks_size = 0;
  int64_t width, height;
  int bits;
  if (header_size == 12) {
    width = LoadLe16(dib + 4);
    height = LoadLe16(dib + 6);
    bits = LoadLe16(dib + 10);
    entry_size = 3;
    if (bits <= 8) colour_count = size_t{1} << bits;
  } else if (header_size == 40 || header_size == 52 || header_size == 56 ||
             header_size == 108 || header_size == 124) {
    if (dib_size < header_size) return Fail(error, "the bitmap header is incomplete");
    width = I32(dib + 4);
    height = I32(dib + 8);
    bits = LoadLe16(dib + 14);
    const uint32_t compression = LoadLe32(dib + 16);
    if (compression == 3) {
      // Bit fields: accepted for 32 bits per pixel with the usual layout
      // blue, green, red in the low three bytes.
      if (bits != 32) return Fail(error, "compressed bitmaps are not supported");
      const uint8_t* m = dib + 40;
      if (header_size == 40) {
        masks_size = 12;
        if (dib_size < 40 + masks_size) return Fail(error, "the bitmap header is incomplete");
      }
      if (LoadLe32(m) != 0x00FF0000u || LoadLe32(m + 4) != 0x0000FF00u || LoadLe32(m + 8) != 0x000000FFu)
        return Fail(error, "this bit-field layout is not supported");
    } else if (compression != 0) {
      return Fail(error, "compressed bitmaps are not supported");
    }
    const uint32_t used = LoadLe32(dib + 32);
    if (used != 0) {
      colour_count = used;
    } else if (bits <= 8) {
      colour_count = size_t{1} << bits;
    }
  } else {
    return Fail(error, common::StrFormat("unknown bitmap header size %u", header_size));
  }

  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
    return Fail(error, common::StrFormat("%d bits per pixel are not supported", bits));
  if (bits <= 8 && colour_count > (size_t{1} << bits))
    return Fail(error, "the colour table is larger than the pixel depth allows");
  if (bits > 8 && colour_count > (size_t{1} << 24))
    return Fail(error, "the colour table is too large");
  bool top_down = false;
  if (height < 0) {
    top_down = true;
    height = -height;
  }
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
    return Fail(error, common::StrFormat("invalid bitmap size %lld x %lld",
                                         static_cast<long long>(width),
                                         static_cast<long long>(height)));

  const size_t table_offset = header_size + masks_size;
  // A colour table shorter than the depth allows (seen with core headers,
  // which cannot say their table's length) shows in the file header's pixel
  // offset: the rows start inside where the full table would be. Reading
  // the rows after a full table would shift every pixel.
  if (file_pixel_offset >= kFileHeaderSize + table_offset &&
      file_pixel_offset - kFileHeaderSize < table_offset + colour_count * entry_size) {
    const size_t entries = (file_pixel_offset - kFileHeaderSize - table_offset) / entry_size;
    if (entries * entry_size != file_pixel_offset - kFileHeaderSize - table_offset)
      return Fail(error, "the pixel offset falls inside a colour table entry");
    colour_count = entries;
  }
  const size_t table_size = colour_count * entry_size;
  if (table_offset + table_size > dib_size)
    return Fail(error, "the colour table extends past the end of the file");
  const size_t stride = ((static_cast<size_t>(bits) * width + 31) / 32) * 4;
  const size_t pixel_bytes = stride * static_cast<size_t>(height);
  // The pixel rows follow header and colour table. A file that says they
  // start later (a gap after the table) is honoured when that still fits.
  size_t pixel_offset = table_offset + table_size;
  if (file_pixel_offset >= kFileHeaderSize + pixel_offset &&
      file_pixel_offset - kFileHeaderSize + pixel_bytes <= dib_size)
    pixel_offset = file_pixel_offset - kFileHeaderSize;
  if (pixel_offset + pixel_bytes > dib_size)
    return Fail(error, common::StrFormat("the file is too short for a %lld x %lld bitmap",
                                         static_cast<long long>(width),
                                         static_cast<long long>(height)));

  img.width = static_cast<int32_t>(width);
  img.height = static_cast<int32_t>(height);
  img.bitsPerPixel = bits;
  img.stride = static_cast<int32_t>(stride);
  img.topDown = top_down;
  img.pixelOffset = pixel_offset;
  img.bounds = {0, 0, img.width, img.height};
  if (bits <= 8) {
    img.palette.resize(colour_count);
    const uint8_t* t = dib + table_offset;
    for (size_t k = 0; k < colour_count; ++k, t += entry_size)
      img.palette[k] = Rgb(t[2], t[1], t[0]);
    // Entries beyond a short table are black.
    img.palette.resize(size_t{1} << bits, 0);
  }
  if (owned_dib)
    img.dib = std::move(*owned_dib);
  else
    img.dib.assign(dib, dib + dib_size);
  BuildGrey(&img);
  *out = std::move(img);
  return true;
}

bool ReadFully(int fd, uint8_t* p, size_t n) {
  while (n > 0) {
    const ssize_t r = ::read(fd, p, n);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return false;
    p += r;
    n -= static_cast<size_t>(r);
  }
  return true;
}

}  // namespace

bool DecodeBitmap(std::string_view file, ImageHolder* out, std::string* error) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(file.data());
  if (file.size() < kFileHeaderSize || bytes[0] != 'B' || bytes[1] != 'M')
    return Fail(error, "not a BMP file");
  try {
    return Decode(bytes, bytes + kFileHeaderSize, file.size() - kFileHeaderSize, nullptr, out,
                  error);
  } catch (const std::bad_alloc&) {
    return Fail(error, "not enough memory for the pixels");
  }
}

bool LoadBitmapFile(const std::string& path, ImageHolder* out, std::string* error) {
  // Read the file header, then the rest straight into the buffer that the
  // holder keeps, so the pixels are copied once.
  // Non-blocking, so that a FIFO or device never hangs the open.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return Fail(error, path + ": " + std::strerror(errno));
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return Fail(error, path + ": not a regular file");
  }
  const size_t length = static_cast<size_t>(st.st_size);
  uint8_t header[kFileHeaderSize];
  std::vector<uint8_t> dib;
  bool ok = length >= kFileHeaderSize && ReadFully(fd, header, kFileHeaderSize);
  // A file that is no bitmap is refused from its first bytes, before it is
  // read whole.
  if (ok && (header[0] != 'B' || header[1] != 'M')) {
    ::close(fd);
    return Fail(error, path + ": not a BMP file");
  }
  if (ok) {
    try {
      dib.resize(length - kFileHeaderSize);
    } catch (const std::bad_alloc&) {
      ::close(fd);
      return Fail(error, path + ": not enough memory to read the file");
    }
    ok = ReadFully(fd, dib.data(), dib.size());
    uint8_t extra;
    if (ok && ::read(fd, &extra, 1) != 0) ok = false;  // the file grew meanwhile
  }
  ::close(fd);
  if (!ok) return Fail(error, path + ": cannot read the file");
  std::string why;
  bool decoded = false;
  try {
    decoded = Decode(header, dib.data(), dib.size(), &dib, out, &why);
  } catch (const std::bad_alloc&) {
    why = "not enough memory for the pixels";
  }
  if (!decoded) return Fail(error, path + ": " + why);
  return true;
}

bool ColourAt(const ImageHolder& image, int32_t x, int32_t y, uint32_t* colour) {
  if (image.Empty() || x < 0 || y < 0 || x >= image.width || y >= image.height) return false;
  // A holder with the grey image only (or short rows) has no colours.
  if (image.stride <= 0 ||
      image.dib.size() < image.pixelOffset + static_cast<size_t>(image.stride) * image.height)
    return false;
  const uint8_t* row = image.Row(y);
  switch (image.bitsPerPixel) {
    case 24: {
      const uint8_t* p = row + 3 * x;
      *colour = Rgb(p[2], p[1], p[0]);
      return true;
    }
    case 32: {
      const uint8_t* p = row + 4 * x;
      *colour = Rgb(p[2], p[1], p[0]);
      return true;
    }
    case 1:
    case 4:
    case 8: {
      const unsigned k = PaletteIndex(row, x, image.bitsPerPixel);
      if (k >= image.palette.size()) return false;
      *colour = image.palette[k];
      return true;
    }
    default:
      return false;
  }
}

std::string EncodeBitmap24(int32_t width, int32_t height, const uint8_t* bgr_top_down) {
  const size_t stride = ((24 * static_cast<size_t>(width) + 31) / 32) * 4;
  const size_t pixels = stride * height;
  std::string f(14 + 40 + pixels, '\0');
  auto put16 = [&](size_t at, uint16_t v) {
    f[at] = static_cast<char>(v & 0xFF);
    f[at + 1] = static_cast<char>(v >> 8);
  };
  auto put32 = [&](size_t at, uint32_t v) {
    for (int k = 0; k < 4; ++k) f[at + k] = static_cast<char>((v >> (8 * k)) & 0xFF);
  };
  f[0] = 'B';
  f[1] = 'M';
  put32(2, static_cast<uint32_t>(f.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(width));
  put32(22, static_cast<uint32_t>(height));
  put16(26, 1);
  put16(28, 24);
  put32(34, static_cast<uint32_t>(pixels));
  put32(38, 3780);
  put32(42, 3780);
  for (int32_t i = 0; i < height; ++i) {
    const uint8_t* src = bgr_top_down + static_cast<size_t>(i) * width * 3;
    std::memcpy(&f[54 + static_cast<size_t>(height - 1 - i) * stride], src,
                static_cast<size_t>(width) * 3);
  }
  return f;
}

}  // namespace vistamet
