// The values the options sheet edits, and how they reach the document.
#pragma once

#include <cstdint>

#include "measure/records/records.h"
#include "measure/model/vistamet_doc.h"

namespace vistamet {

struct OptionsValues {
  // Adjustment page.
  AdjustmentOptions adjust;
  // Image page.
  int32_t bAutoPlaneTrans = 0;
  int32_t bShowAdjusted = 1;
  int32_t bShowDistances = 1;
  TargetOptions targets;  // target extraction (kept per user)
  // Camera page: the camera of photo 0, zeros for a project without photos.
  CameraParams camera{0, 0, 0, 0, 0, 0, 0};
  // Set when the user edited a camera value or pressed D7/D75 with effect.
  bool cameraChanged = false;
  // The bound of the decoded-photo cache (one for the program), MB.
  int32_t photoCacheMb = 1024;
  // Autosave page: minutes between autosaves, 0 = off. A setting of the
  // user, not of the project (neither read nor applied with it).
  int32_t autosaveMinutes = 5;
};

// The range the photo cache's bound may take, MB.
constexpr int32_t kMinPhotoCacheMb = 64;
constexpr int32_t kMaxPhotoCacheMb = 65536;

// The pixel sizes of the two camera buttons, mm per pixel.
constexpr double kPixelSizeD7 = 0.007;
constexpr double kPixelSizeD75 = 0.0035;

// The sheet's starting values.
OptionsValues ReadOptions(const CVistametDoc& doc);

// Stores accepted values: the photo cache's bound (clamped to its range),
// the options (a weight that is not greater than 0
// becomes 0.000001), the camera of every photo (all photos share it; a
// changed f also becomes the principal distances f1 and f2), resets
// `adjusted` when the camera was changed, then marks the document modified
// and refreshes all views, also when nothing was edited.
void ApplyOptions(const OptionsValues& values, CVistametDoc& doc);

// The camera buttons: true (and the pixel size set, cameraChanged set) when
// the pixel size differs from `pixel_size`; false and nothing changed when
// it already has that value.
bool SetPixelSizePreset(OptionsValues& values, double pixel_size);

}  // namespace vistamet
