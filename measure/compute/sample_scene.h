// A synthetic close-range scene: a control field with triangular targets
// seen from known camera stations, with the exact (or noisy) image
// positions of every target. The sample project and end-to-end tests are
// made from it.
#pragma once

#include <vector>

#include "measure/records/records.h"

namespace vistamet {

struct SampleOptions {
  int width = 3000;           // photo size, pixels (the pixel size follows:
                              // 0.0036 mm at 3000 pixels across)
  int height = 2000;
  int photos = 4;             // camera stations (4 to 8)
  double targetScale = 1.6;   // triangle size relative to the 11 x 6 pattern
  unsigned seed = 12345;      // background texture and noise
  double noisePx = 0;         // standard deviation of the noise added to the
                              // measured positions (the photos stay exact)
};

struct SampleScene {
  std::vector<SpacePoint> points;           // true coordinates; control flags set
  std::vector<PhotoParams> photos;          // true orientations and camera
  std::vector<std::vector<ImagePoint>> observations;  // per photo, exact pixels
};

// The scene (no files): points, stations and the image positions (exact,
// or with the requested noise).
SampleScene MakeSampleScene(const SampleOptions& options);

}  // namespace vistamet
