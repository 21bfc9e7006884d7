// A synthetic close-range scene for trying the program and for end-to-end
// tests: a control field with triangular targets photographed from known
// stations, written as BMP photos, two project files, a known-distance file
// and the truth.
#pragma once

#include <string>

#include "measure/compute/sample_scene.h"
#include "measure/model/photo_file.h"

namespace vistamet {

// Writes into `dir` (created if needed): photo1.bmp ... photoN.bmp (or
// .jpg, .png, .tif in the given format; JPEG photos carry the camera's
// focal length and focal-plane resolution in EXIF), sample.vmt (every
// target measured and numbered, control points entered), sample_photos.vmt
// (the photos only), known_distances.txt and truth.txt. False with *error
// set on failure.
bool WriteSampleProject(const std::string& dir, const SampleOptions& options,
                        std::string* error, PhotoFormat format = PhotoFormat::kBmp);

}  // namespace vistamet
