#include "measure/shell/options_values.h"

#include <algorithm>

#include "measure/model/photo_cache.h"

namespace vistamet {

OptionsValues ReadOptions(const CVistametDoc& doc) {
  OptionsValues v;
  v.adjust = doc.options;
  v.bAutoPlaneTrans = doc.bAutoPlaneTrans;
  v.bShowDistances = doc.bShowDistances;
  v.bShowAdjusted = doc.bShowAdjusted;
  v.targets = doc.targetOptions;
  if (!doc.photoParams.empty()) v.camera = doc.photoParams[0].Camera();
  v.cameraChanged = false;
  v.photoCacheMb = static_cast<int32_t>(PhotoCache::Shared().Budget() >> 20);
  return v;
}

void ApplyOptions(const OptionsValues& v, CVistametDoc& doc) {
  PhotoCache::Shared().SetBudget(
      int64_t{std::clamp(v.photoCacheMb, kMinPhotoCacheMb, kMaxPhotoCacheMb)} << 20);
  doc.SetOptions(v.adjust);
  doc.bAutoPlaneTrans = v.bAutoPlaneTrans;
  doc.bShowDistances = v.bShowDistances;
  doc.bShowAdjusted = v.bShowAdjusted;
  doc.targetOptions = v.targets;
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
