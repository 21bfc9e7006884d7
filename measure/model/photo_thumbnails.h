// Thumbnails of photos, kept on disk in the user's cache folder so that a
// project reopens with its strip at once. A thumbnail is keyed by the
// photo's path, size and modification time: a photo changed on disk gets a
// new one.
#pragma once

#include <string>

#include "measure/records/records.h"

namespace vistamet {

// Longest side of a stored thumbnail, pixels.
constexpr int kThumbnailSide = 256;

// $XDG_CACHE_HOME/vistamet/thumbnails, or ~/.cache/vistamet/thumbnails.
std::string ThumbnailCacheDir();

// The thumbnail of the photo at `path` (colour rows and grey image, the
// longest side kThumbnailSide or the photo's own when smaller): read from
// `cache_dir` when there, else decoded (a JPEG at a fraction of its size)
// and stored there. A cache folder that cannot be written only costs the
// storing. False with *error when the photo cannot be decoded.
bool LoadPhotoThumbnail(const std::string& path, ImageHolder* out, std::string* error = nullptr,
                        const std::string& cache_dir = ThumbnailCacheDir());

// The file a photo's thumbnail is stored in; empty when the photo cannot be
// examined.
std::string ThumbnailFile(const std::string& path, const std::string& cache_dir);

}  // namespace vistamet
