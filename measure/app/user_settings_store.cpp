#include "measure/app/user_settings_store.h"

#include <wx/config.h>

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
  }
  return s;
}

void StoreLmsFeature(int32_t value) { Store(kSettingLmsFeature, value); }
void StoreAutoPlaneTrans(int32_t value) { Store(kSettingAutoPlaneTrans, value); }

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
