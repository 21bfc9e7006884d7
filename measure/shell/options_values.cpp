#include "measure/shell/options_values.h"

namespace vistamet {

namespace {

double PositiveWeight(double w) { return w > 0 ? w : 0.000001; }

}  // namespace

OptionsValues ReadOptions(const CVistametDoc& doc) {
  OptionsValues v;
  v.bLmsFeature = doc.bLmsFeature;
  v.bKeepMinRms = doc.bKeepMinRms;
  v.bCleanPoints = doc.bCleanPoints;
  v.dAngleTol = doc.dAngleTol;
  v.dCoordTol = doc.dCoordTol;
  v.nMaxIter = doc.nMaxIter;
  v.dControlWeight = doc.dControlWeight;
  v.dWeightX = doc.dWeightX;
  v.dWeightY = doc.dWeightY;
  v.bAutoPlaneTrans = doc.bAutoPlaneTrans;
  v.bShowDistances = doc.bShowDistances;
  v.bShowAdjusted = doc.bShowAdjusted;
  if (!doc.photoParams.empty()) v.camera = doc.photoParams[0].Camera();
  v.cameraChanged = false;
  return v;
}

void ApplyOptions(const OptionsValues& v, CVistametDoc& doc) {
  doc.bKeepMinRms = v.bKeepMinRms;
  doc.bCleanPoints = v.bCleanPoints;
  doc.bLmsFeature = v.bLmsFeature;
  doc.dAngleTol = v.dAngleTol;
  doc.dCoordTol = v.dCoordTol;
  doc.nMaxIter = v.nMaxIter;
  doc.dWeightX = PositiveWeight(v.dWeightX);
  doc.dControlWeight = v.dControlWeight;
  doc.dWeightY = PositiveWeight(v.dWeightY);
  doc.bAutoPlaneTrans = v.bAutoPlaneTrans;
  doc.bShowDistances = v.bShowDistances;
  doc.bShowAdjusted = v.bShowAdjusted;
  // One camera for all photos. The orientation and the adjustment compute
  // with the principal distances f1 and f2, which the sheet does not show:
  // when the user changes f they follow it, otherwise they keep their
  // (possibly calibrated) values.
  const bool focal_changed = !doc.photoParams.empty() && doc.photoParams[0].f != v.camera.f;
  for (PhotoParams& p : doc.photoParams) {
    p.SetCamera(v.camera);
    if (focal_changed) p.f1 = p.f2 = v.camera.f;
  }
  if (v.cameraChanged) doc.adjusted = 0;
  doc.SetModified();
  doc.UpdateViews(ViewUpdate::kAll);
}

bool SetPixelSizePreset(OptionsValues& v, double pixel_size) {
  if (v.camera.pixelSize == pixel_size) return false;
  v.camera.pixelSize = pixel_size;
  v.cameraChanged = true;
  return true;
}

}  // namespace vistamet
