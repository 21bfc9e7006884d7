#include "measure/shell/feature_fields.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace vistamet {

namespace {
// The factors the saved rotations were always written with; kept so that
// files keep their values.
constexpr double kRadPerDegree = 0.017453292500000002;
constexpr double kDegreePerRad = 180.0 * 0.31830989161357204;

// A stored float as the decimal it was typed as (0.2f is 0.200000003 as a
// double): its shortest text of float precision, read back.
double AsTyped(float f) {
  char text[32];
  std::snprintf(text, sizeof text, "%.7g", static_cast<double>(f));
  return std::strtod(text, nullptr);
}
}  // namespace

FeatureFields FeatureFieldsOf(const MapFeature& f) {
  FeatureFields fields;
  fields.type = f.symbolType;
  fields.colour = f.colour;
  fields.scale = AsTyped(f.scale);
  fields.lineWidth = AsTyped(f.lineWidth);
  // Rounded, not truncated: a value saved as d degrees comes back as a hair
  // below d for many d, and truncation would turn the feature by a degree
  // on every OK.
  double d = std::round(static_cast<double>(f.rotation) * kDegreePerRad);
  if (!std::isfinite(d)) d = 0;
  d = std::fmod(d, 360.0);
  if (d < 0) d += 360.0;
  fields.degrees = static_cast<int32_t>(d) % 360;
  return fields;
}

void ApplyFeatureFields(const FeatureFields& fields, MapFeature& f) {
  f.symbolType = fields.type;
  f.colour = fields.colour;
  f.scale = static_cast<float>(fields.scale);
  f.lineWidth = static_cast<float>(fields.lineWidth);
  f.rotation = static_cast<float>(fields.degrees * kRadPerDegree);
}

double PreviewSize(int32_t type, float symbol_scale) {
  return (type > 52 ? 0.1 : 0.5) * symbol_scale;
}

double PreviewLineWidth(double line_width_mm) { return line_width_mm * 2.5; }

}  // namespace vistamet
