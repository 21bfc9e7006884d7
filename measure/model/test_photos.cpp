#include "measure/model/test_photos.h"

#include <cstdint>
#include <vector>

#include "common/atomic_file.h"
#include "measure/model/bitmap.h"

namespace vistamet::testing {

std::string WritePhoto(const std::string& path, int w, int h, int seed) {
  std::vector<uint8_t> bgr(static_cast<size_t>(w) * h * 3);
  for (size_t k = 0; k < bgr.size(); ++k) bgr[k] = static_cast<uint8_t>(k * 13 + seed * 7);
  common::SaveFileAtomically(path, EncodeBitmap24(w, h, bgr.data()));
  return path;
}

}  // namespace vistamet::testing
