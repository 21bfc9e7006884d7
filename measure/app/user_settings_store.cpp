#include "measure/app/user_settings_store.h"

#include <wx/config.h>

#include <algorithm>

#include "measure/model/photo_cache.h"
#include "measure/shell/options_values.h"
#include "measure/shell/recovery.h"

namespace vistamet {

namespace {

wxString Key(const char* name) { return wxString::Format("/%s/%s", kSettingGroup, name); }

void Store(const char* name, int32_t value) {
  if (wxConfigBase* config = wxConfigBase::Get()) {
    config->Write(Key(name), static_cast<long>(value));
    config->Flush();
  }
}

}  // namespace

UserSettings LoadUserSettings() {
  UserSettings s;
  if (wxConfigBase* config = wxConfigBase::Get()) {
    s.bLmsFeature = static_cast<int32_t>(config->ReadLong(Key(kSettingLmsFeature), 1));
    s.bAutoPlaneTrans = static_cast<int32_t>(config->ReadLong(Key(kSettingAutoPlaneTrans), 0));
    s.photoCacheMb = static_cast<int32_t>(std::clamp<long>(
        config->ReadLong(Key(kSettingPhotoCacheMb), 1024), kMinPhotoCacheMb, kMaxPhotoCacheMb));
    const TargetOptions d;
    s.targets.refine = config->ReadLong(Key(kSettingTargetRefine), d.refine) != 0;
    s.targets.rejectFalse = config->ReadLong(Key(kSettingTargetReject), d.rejectFalse) != 0;
    s.targets.weightsFromFit = config->ReadLong(Key(kSettingTargetWeights), d.weightsFromFit) != 0;
    s.denseAdjustEngine =
        static_cast<int32_t>(config->ReadLong(Key(kSettingDenseAdjustEngine), 0));
  }
  PhotoCache::Shared().SetBudget(int64_t{s.photoCacheMb} << 20);
  return s;
}

void StoreLmsFeature(int32_t value) { Store(kSettingLmsFeature, value); }
void StoreAutoPlaneTrans(int32_t value) { Store(kSettingAutoPlaneTrans, value); }
void StorePhotoCacheMb(int32_t value) { Store(kSettingPhotoCacheMb, value); }

void StoreTargetOptions(const TargetOptions& value) {
  Store(kSettingTargetRefine, value.refine);
  Store(kSettingTargetReject, value.rejectFalse);
  Store(kSettingTargetWeights, value.weightsFromFit);
}

int LoadAutosaveMinutes() {
  wxConfigBase* config = wxConfigBase::Get();
  const long minutes =
      config ? config->ReadLong(Key(kSettingAutosaveMinutes), kAutosaveMinutesDefault)
             : kAutosaveMinutesDefault;
  return minutes < 0 || minutes > kAutosaveMinutesMax ? kAutosaveMinutesDefault
                                                      : static_cast<int>(minutes);
}

void StoreAutosaveMinutes(int minutes) { Store(kSettingAutosaveMinutes, minutes); }

}  // namespace vistamet
