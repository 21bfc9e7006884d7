// Display images of the decoded photos. A photo is converted once and kept
// by the view that shows it, never at every paint.
#pragma once

#include <wx/image.h>

#include <string>

#include "measure/records/records.h"

namespace vistamet {

// The photo at full size (an invalid image for an empty holder).
wxImage PhotoImage(const ImageHolder& photo);

// The photo reduced to width x height pixels, each pixel the mean of a
// sample of the photo pixels it covers.
wxImage PhotoThumbnail(const ImageHolder& photo, int width, int height);

// Identifies the pixels of a photo for a cache without decoding them: the
// photo's path and size, and the holder's own pixels when the document
// holds them (a photo built in memory); changes when either is replaced.
struct PhotoKey {
  const void* data = nullptr;
  size_t bytes = 0;
  int32_t width = 0, height = 0;
  std::string path;
  static PhotoKey Of(const ImageHolder& photo, const std::string& path = {}) {
    return {photo.dib.data(), photo.dib.size(), photo.width, photo.height, path};
  }
  bool operator==(const PhotoKey&) const = default;
};

}  // namespace vistamet
