// A synthetic close-range scene for trying the program and for end-to-end
// tests: a control field with triangular targets photographed from known
// stations, written as BMP photos, two project files, a known-distance file
// and the truth.
#pragma once

#include <string>
#include <vector>

#include "measure/model/records.h"

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

// Writes into `dir` (created if needed): photo1.bmp ... photoN.bmp,
// sample.vmt (every target measured and numbered, control points entered),
// sample_photos.vmt (the photos only), known_distances.txt and truth.txt.
// False with *error set on failure.
bool WriteSampleProject(const std::string& dir, const SampleOptions& options,
                        std::string* error);

}  // namespace vistamet
