// The two options kept per user (configuration group "Setting"): the
// initial values of every new document, written when the options sheet is
// closed with OK.
#pragma once

#include <cstdint>

#include "measure/model/vistamet_doc.h"

namespace vistamet {

inline constexpr char kSettingGroup[] = "Setting";
inline constexpr char kSettingLmsFeature[] = "bLmsFeature";
inline constexpr char kSettingAutoPlaneTrans[] = "bAutoPlaneTrans";
// Hidden: 1 selects the dense reference engine of the adjustment.
inline constexpr char kSettingDenseAdjustEngine[] = "DenseAdjustEngine";

// Missing values give the defaults (bLmsFeature 1, bAutoPlaneTrans 0,
// DenseAdjustEngine 0).
UserSettings LoadUserSettings();
void StoreLmsFeature(int32_t value);
void StoreAutoPlaneTrans(int32_t value);

}  // namespace vistamet
