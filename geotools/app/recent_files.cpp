#include "geotools/app/recent_files.h"

#include <wx/menu.h>

#include <algorithm>

#include "geotools/app/menus.h"

namespace georeckon {

CRecentFiles::CRecentFiles() : wxFileHistory(kMaxEntries, wxID_FILE1) {}

void CRecentFiles::AddFileToHistory(const wxString& file) {
  // The base keeps the list; it has no menus of its own to update.
  wxFileHistory::AddFileToHistory(file);
  for (wxMenu* menu : menus_) Rebuild(menu);
}

void CRecentFiles::RemoveFileFromHistory(size_t i) {
  wxFileHistory::RemoveFileFromHistory(i);
  for (wxMenu* menu : menus_) Rebuild(menu);
}

void CRecentFiles::UseMenu(wxMenu* menu) {
  if (std::find(menus_.begin(), menus_.end(), menu) == menus_.end()) menus_.push_back(menu);
  Rebuild(menu);
}

void CRecentFiles::RemoveMenu(wxMenu* menu) {
  menus_.erase(std::remove(menus_.begin(), menus_.end(), menu), menus_.end());
}

void CRecentFiles::AddFilesToMenu() {
  for (wxMenu* menu : menus_) Rebuild(menu);
}

void CRecentFiles::AddFilesToMenu(wxMenu* menu) { Rebuild(menu); }

void CRecentFiles::Rebuild(wxMenu* menu) {
  // Remove the old entries and the separator that follows them.
  const int first = GetBaseId();
  const int last = first + static_cast<int>(kMaxEntries) - 1;
  for (size_t i = 0; i < menu->GetMenuItemCount();) {
    wxMenuItem* item = menu->FindItemByPosition(i);
    if (item->GetId() < first || item->GetId() > last) {
      ++i;
      continue;
    }
    menu->Destroy(item);
    if (i < menu->GetMenuItemCount() && menu->FindItemByPosition(i)->IsSeparator()) {
      menu->Destroy(menu->FindItemByPosition(i));
    }
  }
  if (GetCount() == 0) return;
  // The entries go right before "退出", followed by a separator of their own.
  size_t pos = menu->GetMenuItemCount();
  for (size_t i = 0; i < menu->GetMenuItemCount(); ++i) {
    if (menu->FindItemByPosition(i)->GetId() == ID_APP_EXIT) {
      pos = i;
      break;
    }
  }
  menu->InsertSeparator(pos);
  for (size_t n = GetCount(); n-- > 0;) {
    wxString label = GetHistoryFile(n);
    label.Replace("&", "&&");
    menu->Insert(pos, GetBaseId() + static_cast<int>(n), wxString::Format("&%zu %s", n + 1, label));
  }
}

}  // namespace georeckon
