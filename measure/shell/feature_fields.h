// The fields of the feature dialog ("地物") and how they come from and go
// back to a MapFeature, apart from the window.
#pragma once

#include <cstdint>

#include "measure/records/records.h"

namespace vistamet {

struct FeatureFields {
  static constexpr int32_t kMaxType = 59;
  static constexpr int32_t kMaxDegrees = 359;
  static constexpr double kMinScale = 0.001, kMaxScale = 1000;
  static constexpr double kMaxLineWidth = 100;  // mm

  int32_t type = 0;
  uint32_t colour = 255;  // 0x00BBGGRR
  int32_t degrees = 0;    // 0..359
  double scale = 1.0;
  double lineWidth = 0.1;  // mm
};

// The fields of a feature: its rotation to the nearest whole degree, taken
// into 0..359 (a stored rotation may be negative or beyond a full turn).
FeatureFields FeatureFieldsOf(const MapFeature& f);
// The fields back into the feature; the rotation is degrees * 0.0174532925.
void ApplyFeatureFields(const FeatureFields& fields, MapFeature& f);

// How the dialog previews a symbol: pixels per symbol unit and line width in
// pixels (large symbols, types above 52, at a fifth of the size).
double PreviewSize(int32_t type, float symbol_scale);
double PreviewLineWidth(double line_width_mm);

}  // namespace vistamet
