#include "measure/model/photo_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <libexif/exif-data.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <stdexcept>
#include <utility>

#include "common/strformat.h"
#include "measure/model/bitmap.h"
#include "measure/model/photo_codecs.h"

namespace vistamet {

namespace photo_codecs {

size_t Source::ReadAt(uint64_t offset, void* dst, size_t n) const {
  if (offset >= size) return 0;
  if (n > size - offset) n = static_cast<size_t>(size - offset);
  if (mem) {
    std::memcpy(dst, mem + offset, n);
    return n;
  }
  size_t done = 0;
  while (done < n) {
    const ssize_t r = ::pread(fd, static_cast<uint8_t*>(dst) + done, n - done,
                              static_cast<off_t>(offset + done));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) break;
    done += static_cast<size_t>(r);
  }
  return done;
}

bool CheckSize(int64_t width, int64_t height, std::string* why) {
  if (width <= 0 || height <= 0 || width > kMaxPhotoSide || height > kMaxPhotoSide ||
      width * height > kMaxPhotoPixels) {
    *why = common::StrFormat("unsupported size %lld x %lld pixels", static_cast<long long>(width),
                             static_cast<long long>(height));
    return false;
  }
  return true;
}

bool Allocate(std::vector<uint8_t>* v, size_t n) {
  try {
    v->resize(n);
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
  return true;
}

namespace {

bool NoMemory(int32_t w, int32_t h, std::string* why) {
  *why = common::StrFormat("not enough memory for %d x %d pixels", w, h);
  return false;
}

}  // namespace

bool HolderFromRaster(Raster&& raster, bool colour, ImageHolder* out, std::string* why) {
  ImageHolder img;
  const int32_t w = raster.width, h = raster.height;
  img.width = w;
  img.height = h;
  img.bounds = {0, 0, w, h};
  img.topDown = true;
  img.bitsPerPixel = raster.channels == 3 ? 24 : 8;
  img.stride = static_cast<int32_t>(((static_cast<size_t>(img.bitsPerPixel) * w + 31) / 32) * 4);
  const size_t pixels = static_cast<size_t>(w) * h;
  if (raster.channels == 1) {
    img.grey = std::move(raster.data);
    if (colour) {
      img.palette.resize(256);
      for (uint32_t k = 0; k < 256; ++k) img.palette[k] = k | (k << 8) | (k << 16);
      if (!Allocate(&img.dib, static_cast<size_t>(img.stride) * h)) return NoMemory(w, h, why);
      for (int32_t i = 0; i < h; ++i)
        std::memcpy(img.dib.data() + static_cast<size_t>(i) * img.stride,
                    img.grey.data() + static_cast<size_t>(i) * w, w);
    }
    *out = std::move(img);
    return true;
  }
  if (!Allocate(&img.grey, pixels)) return NoMemory(w, h, why);
  if (colour && !Allocate(&img.dib, static_cast<size_t>(img.stride) * h)) return NoMemory(w, h, why);
  for (int32_t i = 0; i < h; ++i) {
    const uint8_t* src = raster.data.data() + static_cast<size_t>(i) * w * 3;
    uint8_t* g = img.grey.data() + static_cast<size_t>(i) * w;
    for (int32_t j = 0; j < w; ++j, src += 3) g[j] = static_cast<uint8_t>((src[0] + src[1] + src[2]) / 3);
    if (!colour) continue;
    src = raster.data.data() + static_cast<size_t>(i) * w * 3;
    uint8_t* d = img.dib.data() + static_cast<size_t>(i) * img.stride;
    for (int32_t j = 0; j < w; ++j, src += 3, d += 3) {
      d[0] = src[2];
      d[1] = src[1];
      d[2] = src[0];
    }
  }
  *out = std::move(img);
  return true;
}

namespace {

uint16_t ExifShort(const ExifEntry* e, ExifByteOrder order) {
  if (!e || e->format != EXIF_FORMAT_SHORT || e->components < 1 || e->size < 2) return 0;
  return exif_get_short(e->data, order);
}

double ExifRationalValue(const ExifEntry* e, ExifByteOrder order) {
  if (!e || e->format != EXIF_FORMAT_RATIONAL || e->components < 1 || e->size < 8) return 0;
  const ExifRational r = exif_get_rational(e->data, order);
  return r.denominator ? static_cast<double>(r.numerator) / r.denominator : 0;
}

std::string ExifText(ExifEntry* e) {
  if (!e || e->format != EXIF_FORMAT_ASCII) return {};
  std::string s(reinterpret_cast<const char*>(e->data), e->size);
  const size_t end = s.find('\0');
  if (end != std::string::npos) s.resize(end);
  while (!s.empty() && (s.back() == ' ')) s.pop_back();
  for (char& c : s)
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F) c = '?';
  return s;
}

}  // namespace

void ReadExif(const uint8_t* data, size_t size, PhotoInfo* info) {
  if (size < 14 || size > 0x7FFFFFFF) return;
  ExifData* ed = exif_data_new();
  if (!ed) return;
  exif_data_unset_option(ed, EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
  exif_data_load_data(ed, data, static_cast<unsigned>(size));
  const ExifByteOrder order = exif_data_get_byte_order(ed);
  const uint16_t orientation = ExifShort(exif_data_get_entry(ed, EXIF_TAG_ORIENTATION), order);
  if (orientation != 0) info->orientation = orientation;
  const double focal = ExifRationalValue(exif_data_get_entry(ed, EXIF_TAG_FOCAL_LENGTH), order);
  if (focal > 0 && focal < 1e5) info->focalLengthMm = focal;
  const double per_unit =
      ExifRationalValue(exif_data_get_entry(ed, EXIF_TAG_FOCAL_PLANE_X_RESOLUTION), order);
  // Focal-plane resolution unit: 2 inch (the default), 3 cm, 4 mm, 5 um.
  uint16_t unit = ExifShort(exif_data_get_entry(ed, EXIF_TAG_FOCAL_PLANE_RESOLUTION_UNIT), order);
  if (unit == 0) unit = 2;
  const double unit_mm = unit == 2 ? 25.4 : unit == 3 ? 10.0 : unit == 4 ? 1.0 : unit == 5 ? 0.001 : 0;
  if (per_unit > 0 && unit_mm > 0) {
    const double mm = unit_mm / per_unit;
    if (mm > 1e-5 && mm < 1) info->pixelSizeMm = mm;
  }
  const std::string make = ExifText(exif_data_get_entry(ed, EXIF_TAG_MAKE));
  const std::string model = ExifText(exif_data_get_entry(ed, EXIF_TAG_MODEL));
  // Most makers repeat their name in the model.
  info->camera = model.rfind(make, 0) == 0 || make.empty() ? model
                 : model.empty()                           ? make
                                                           : make + " " + model;
  exif_data_unref(ed);
}

}  // namespace photo_codecs

using photo_codecs::Source;

const char* PhotoFormatName(PhotoFormat format) {
  switch (format) {
    case PhotoFormat::kBmp: return "BMP";
    case PhotoFormat::kJpeg: return "JPEG";
    case PhotoFormat::kPng: return "PNG";
    case PhotoFormat::kTiff: return "TIFF";
    default: return "unknown";
  }
}

PhotoFormat SniffPhotoFormat(std::string_view head) {
  auto starts = [&head](std::string_view sig) { return head.substr(0, sig.size()) == sig; };
  if (starts("BM")) return PhotoFormat::kBmp;
  if (starts("\xFF\xD8\xFF")) return PhotoFormat::kJpeg;
  if (starts("\x89PNG\r\n\x1A\n")) return PhotoFormat::kPng;
  if (starts(std::string_view("II*\0", 4)) || starts(std::string_view("MM\0*", 4)) ||
      starts(std::string_view("II+\0", 4)) || starts(std::string_view("MM\0+", 4)))
    return PhotoFormat::kTiff;
  return PhotoFormat::kUnknown;
}

namespace {

bool Fail(std::string* error, const std::string& name, const std::string& why) {
  if (error) *error = name + ": " + why;
  return false;
}

bool ProbeSource(const Source& src, const std::string& name, PhotoInfo* out, std::string* error) {
  char head[8] = {};
  const size_t got = src.ReadAt(0, head, sizeof head);
  PhotoInfo info;
  info.format = SniffPhotoFormat(std::string_view(head, got));
  std::string why;
  bool ok = false;
  switch (info.format) {
    case PhotoFormat::kBmp: ok = photo_codecs::ProbeBmp(src, &info, &why); break;
    case PhotoFormat::kJpeg: ok = photo_codecs::ProbeJpeg(src, &info, &why); break;
    case PhotoFormat::kPng: ok = photo_codecs::ProbePng(src, &info, &why); break;
    case PhotoFormat::kTiff: ok = photo_codecs::ProbeTiff(src, &info, &why); break;
    default: why = "unsupported: not a BMP, JPEG, PNG or TIFF photo"; break;
  }
  if (!ok) return Fail(error, name, why);
  if (info.orientation < 1 || info.orientation > 8) {
    return Fail(error, name,
                common::StrFormat("unsupported EXIF orientation %d: the photo may be stored turned "
                                  "or mirrored; turn it upright and save it without the tag first",
                                  info.orientation));
  }
  // Turned a quarter: the photo is seen (and measured) upright.
  if (info.orientation >= 5) std::swap(info.width, info.height);
  info.fileSize = static_cast<int64_t>(src.size);
  *out = std::move(info);
  return true;
}

// Where the pixel (x, y) of the upright photo (w x h as seen) is stored,
// for an EXIF orientation; sw, sh the stored size.
inline void StoredAt(int orientation, int32_t x, int32_t y, int32_t sw, int32_t sh, int32_t* sx,
                     int32_t* sy) {
  switch (orientation) {
    case 2: *sx = sw - 1 - x; *sy = y; break;
    case 3: *sx = sw - 1 - x; *sy = sh - 1 - y; break;
    case 4: *sx = x; *sy = sh - 1 - y; break;
    case 5: *sx = y; *sy = x; break;
    case 6: *sx = y; *sy = sh - 1 - x; break;
    case 7: *sx = sw - 1 - y; *sy = sh - 1 - x; break;
    case 8: *sx = sw - 1 - y; *sy = x; break;
    default: *sx = x; *sy = y; break;
  }
}

// Turns decoded pixels (8-bit grey, and 8- or 24-bit top-down rows) upright.
bool Orient(int orientation, ImageHolder* img, std::string* why) {
  if (orientation <= 1) return true;
  const int32_t sw = img->width, sh = img->height;
  const int32_t w = orientation >= 5 ? sh : sw, h = orientation >= 5 ? sw : sh;
  const int bytes = img->bitsPerPixel / 8;
  const bool rows = !img->dib.empty();
  if (rows && (!img->topDown || img->pixelOffset != 0 || (bytes != 1 && bytes != 3)))
    return (*why = "unsupported: this pixel layout cannot be turned", false);
  const int32_t stride = static_cast<int32_t>(((static_cast<size_t>(img->bitsPerPixel) * w + 31) / 32) * 4);
  std::vector<uint8_t> grey, dib;
  if (!photo_codecs::Allocate(&grey, static_cast<size_t>(w) * h) ||
      (rows && !photo_codecs::Allocate(&dib, static_cast<size_t>(stride) * h)))
    return (*why = "not enough memory", false);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      int32_t sx, sy;
      StoredAt(orientation, x, y, sw, sh, &sx, &sy);
      grey[static_cast<size_t>(y) * w + x] = img->grey[static_cast<size_t>(sy) * sw + sx];
      if (rows)
        std::memcpy(&dib[static_cast<size_t>(y) * stride + static_cast<size_t>(x) * bytes],
                    &img->dib[static_cast<size_t>(sy) * img->stride + static_cast<size_t>(sx) * bytes],
                    bytes);
    }
  img->grey = std::move(grey);
  img->dib = std::move(dib);
  img->width = w;
  img->height = h;
  img->stride = stride;
  img->bounds = {0, 0, w, h};
  return true;
}

bool DecodeBytes(std::string_view file, const std::string& name, const DecodeOptions& options,
                 int orientation, ImageHolder* out, std::string* error) {
  std::string why;
  ImageHolder img;
  photo_codecs::Raster raster;
  bool ok = false;
  switch (SniffPhotoFormat(file)) {
    case PhotoFormat::kBmp:
      ok = DecodeBitmap(file, &img, &why);
      if (ok && !options.colour) {
        std::vector<uint8_t>().swap(img.dib);
        std::vector<uint32_t>().swap(img.palette);
      }
      break;
    case PhotoFormat::kJpeg: ok = photo_codecs::DecodeJpeg(file, options, &img, &why); break;
    case PhotoFormat::kPng:
      ok = photo_codecs::DecodePng(file, &raster, &why) &&
           photo_codecs::HolderFromRaster(std::move(raster), options.colour, &img, &why);
      break;
    case PhotoFormat::kTiff:
      ok = photo_codecs::DecodeTiff(file, &raster, &why) &&
           photo_codecs::HolderFromRaster(std::move(raster), options.colour, &img, &why);
      break;
    default: why = "unsupported: not a BMP, JPEG, PNG or TIFF photo"; break;
  }
  if (!ok || !Orient(orientation, &img, &why)) return Fail(error, name, why);
  *out = std::move(img);
  return true;
}

// Opens a photo without blocking (a FIFO or device never hangs the open)
// and refuses anything but a regular file of a sensible size.
int OpenPhoto(const std::string& path, struct stat* st, std::string* error) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    Fail(error, path, std::strerror(errno));
    return -1;
  }
  if (::fstat(fd, st) != 0 || !S_ISREG(st->st_mode)) {
    ::close(fd);
    Fail(error, path, "not a regular file");
    return -1;
  }
  if (st->st_size > kMaxPhotoFileBytes) {
    ::close(fd);
    Fail(error, path, common::StrFormat("unsupported: the file is too large (%lld bytes)",
                                        static_cast<long long>(st->st_size)));
    return -1;
  }
  return fd;
}

}  // namespace

ImageHolder PhotoHeader(const PhotoInfo& info) {
  ImageHolder image;
  image.width = info.width;
  image.height = info.height;
  image.bounds = {0, 0, info.width, info.height};
  return image;
}

bool ProbePhoto(std::string_view file, const std::string& name, PhotoInfo* out,
                std::string* error) {
  Source src;
  src.mem = reinterpret_cast<const uint8_t*>(file.data());
  src.size = file.size();
  return ProbeSource(src, name, out, error);
}

bool DecodePhoto(std::string_view file, const std::string& name, const DecodeOptions& options,
                 ImageHolder* out, std::string* error) {
  PhotoInfo info;
  if (!ProbePhoto(file, name, &info, error)) return false;
  return DecodeBytes(file, name, options, info.orientation, out, error);
}

bool ProbePhotoFile(const std::string& path, PhotoInfo* out, std::string* error) {
  struct stat st;
  const int fd = OpenPhoto(path, &st, error);
  if (fd < 0) return false;
  Source src;
  src.fd = fd;
  src.size = static_cast<uint64_t>(st.st_size);
  const bool ok = ProbeSource(src, path, out, error);
  ::close(fd);
  if (ok) out->modifiedNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return ok;
}

bool LoadPhotoFile(const std::string& path, const DecodeOptions& options, ImageHolder* out,
                   std::string* error, PhotoInfo* info) {
  struct stat st;
  const int fd = OpenPhoto(path, &st, error);
  if (fd < 0) return false;
  Source src;
  src.fd = fd;
  src.size = static_cast<uint64_t>(st.st_size);
  // The header first: a file that is no photo is refused from its first
  // bytes, before it is read whole.
  PhotoInfo probed;
  if (!ProbeSource(src, path, &probed, error)) {
    ::close(fd);
    return false;
  }
  std::vector<uint8_t> bytes;
  if (!photo_codecs::Allocate(&bytes, static_cast<size_t>(src.size))) {
    ::close(fd);
    return Fail(error, path, "not enough memory to read the file");
  }
  const size_t got = src.ReadAt(0, bytes.data(), bytes.size());
  ::close(fd);
  if (got != bytes.size())
    return Fail(error, path, common::StrFormat("cannot read the file past byte %zu", got));
  const bool ok = DecodeBytes(
      std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), path, options,
      probed.orientation, out, error);
  if (ok && info) {
    probed.modifiedNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    *info = std::move(probed);
  }
  return ok;
}

}  // namespace vistamet
