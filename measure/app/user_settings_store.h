// The options kept per user (configuration group "Setting"): the initial
// values of every new document, written when the options sheet is closed
// with OK.
#pragma once

#include <cstdint>

#include "measure/model/vistamet_doc.h"

namespace vistamet {

inline constexpr char kSettingGroup[] = "Setting";
inline constexpr char kSettingLmsFeature[] = "bLmsFeature";
inline constexpr char kSettingAutoPlaneTrans[] = "bAutoPlaneTrans";
inline constexpr char kSettingPhotoCacheMb[] = "photoCacheMB";
inline constexpr char kSettingTargetRefine[] = "bTargetRefine";
inline constexpr char kSettingTargetReject[] = "bTargetReject";
inline constexpr char kSettingTargetWeights[] = "bTargetWeights";
inline constexpr char kSettingAutosaveMinutes[] = "AutosaveMinutes";
// Hidden: 1 selects the dense reference engine of the adjustment.
inline constexpr char kSettingDenseAdjustEngine[] = "DenseAdjustEngine";

// Missing values give the defaults (bLmsFeature 1, bAutoPlaneTrans 0, a
// photo cache of 1024 MB, targets refined and sifted, weights 1,
// DenseAdjustEngine 0); the photo cache takes its bound from here.
UserSettings LoadUserSettings();
void StorePhotoCacheMb(int32_t value);
void StoreLmsFeature(int32_t value);
void StoreAutoPlaneTrans(int32_t value);
void StoreTargetOptions(const TargetOptions& value);

// Minutes between autosaves, 0 = off (default 5); a stored value out of
// range gives the default.
int LoadAutosaveMinutes();
void StoreAutosaveMinutes(int minutes);

}  // namespace vistamet
