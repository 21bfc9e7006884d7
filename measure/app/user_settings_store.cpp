#include "measure/app/user_settings_store.h"

#include <wx/config.h>

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
    s.denseAdjustEngine =
        static_cast<int32_t>(config->ReadLong(Key(kSettingDenseAdjustEngine), 0));
  }
  return s;
}

void StoreLmsFeature(int32_t value) { Store(kSettingLmsFeature, value); }
void StoreAutoPlaneTrans(int32_t value) { Store(kSettingAutoPlaneTrans, value); }

}  // namespace vistamet
