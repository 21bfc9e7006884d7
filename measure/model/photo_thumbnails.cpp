#include "measure/model/photo_thumbnails.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <vector>

#include "common/atomic_file.h"
#include "common/strformat.h"
#include "measure/model/photo_codecs.h"
#include "measure/model/photo_encode.h"
#include "measure/model/photo_file.h"

namespace vistamet {

namespace {

uint64_t Fnv1a(const std::string& s) {
  uint64_t h = 14695981039346656037ull;
  for (unsigned char c : s) {
    h ^= c;
    h *= 1099511628211ull;
  }
  return h;
}

bool MakeDirs(const std::string& dir) {
  for (size_t at = 1; at <= dir.size(); ++at) {
    if (at < dir.size() && dir[at] != '/') continue;
    const std::string part = dir.substr(0, at);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return true;
}

// The photo reduced by block means to fit kThumbnailSide, as RGB samples.
photo_codecs::Raster Reduce(const ImageHolder& photo) {
  const double scale =
      std::min(1.0, static_cast<double>(kThumbnailSide) / std::max(photo.width, photo.height));
  photo_codecs::Raster r;
  r.width = std::max(1, static_cast<int>(photo.width * scale + 0.5));
  r.height = std::max(1, static_cast<int>(photo.height * scale + 0.5));
  r.channels = 3;
  r.data.resize(static_cast<size_t>(r.width) * r.height * 3);
  for (int ty = 0; ty < r.height; ++ty) {
    const int y0 = static_cast<int>(static_cast<int64_t>(ty) * photo.height / r.height);
    const int y1 = std::max(y0 + 1, static_cast<int>(static_cast<int64_t>(ty + 1) * photo.height / r.height));
    for (int tx = 0; tx < r.width; ++tx) {
      const int x0 = static_cast<int>(static_cast<int64_t>(tx) * photo.width / r.width);
      const int x1 = std::max(x0 + 1, static_cast<int>(static_cast<int64_t>(tx + 1) * photo.width / r.width));
      uint64_t sum[3] = {0, 0, 0};
      uint64_t n = 0;
      for (int y = y0; y < y1; ++y) {
        const uint8_t* row = photo.dib.empty() ? nullptr : photo.Row(y);
        for (int x = x0; x < x1; ++x, ++n) {
          if (row && photo.bitsPerPixel == 24) {
            sum[0] += row[3 * x + 2];
            sum[1] += row[3 * x + 1];
            sum[2] += row[3 * x];
          } else {
            const uint8_t g = photo.GreyAt(x, y);
            sum[0] += g;
            sum[1] += g;
            sum[2] += g;
          }
        }
      }
      uint8_t* out = &r.data[(static_cast<size_t>(ty) * r.width + tx) * 3];
      for (int c = 0; c < 3; ++c) out[c] = static_cast<uint8_t>((sum[c] + n / 2) / n);
    }
  }
  return r;
}

}  // namespace

std::string ThumbnailCacheDir() {
  const char* xdg = std::getenv("XDG_CACHE_HOME");
  if (xdg && xdg[0] == '/') return std::string(xdg) + "/vistamet/thumbnails";
  const char* home = std::getenv("HOME");
  return std::string(home && home[0] ? home : "/tmp") + "/.cache/vistamet/thumbnails";
}

std::string ThumbnailFile(const std::string& path, const std::string& cache_dir) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return {};
  const std::string key = common::StrFormat(
      "%s\n%lld\n%lld.%09ld\n%d", path.c_str(), static_cast<long long>(st.st_size),
      static_cast<long long>(st.st_mtim.tv_sec), st.st_mtim.tv_nsec, kThumbnailSide);
  return cache_dir + common::StrFormat("/%016llx.png", static_cast<unsigned long long>(Fnv1a(key)));
}

bool LoadPhotoThumbnail(const std::string& path, ImageHolder* out, std::string* error,
                        const std::string& cache_dir) {
  const std::string stored = ThumbnailFile(path, cache_dir);
  if (!stored.empty() && LoadPhotoFile(stored, DecodeOptions{}, out)) return true;
  PhotoInfo info;
  if (!ProbePhotoFile(path, &info, error)) return false;
  DecodeOptions options;
  // A JPEG decodes at the largest fraction that still covers the thumbnail.
  for (int reduce : {8, 4, 2}) {
    if (info.format == PhotoFormat::kJpeg &&
        std::max(info.width, info.height) / reduce >= kThumbnailSide) {
      options.reduce = reduce;
      break;
    }
  }
  ImageHolder photo;
  if (!LoadPhotoFile(path, options, &photo, error)) return false;
  photo_codecs::Raster small = Reduce(photo);
  const std::string png = EncodePng(small.width, small.height, 3, 8, small.data.data());
  std::string why;
  if (!photo_codecs::HolderFromRaster(std::move(small), true, out, &why)) {
    if (error) *error = path + ": " + why;
    return false;
  }
  if (!stored.empty() && !png.empty() && MakeDirs(cache_dir))
    common::SaveFileAtomically(stored, png);
  return true;
}

}  // namespace vistamet
