// The recent-file list of the 文件 menus: five entries, shown between
// "打印设置(&R)..." and "退出(&X)" in every file menu that uses it.
#pragma once

#include <wx/filehistory.h>

#include <vector>

class wxMenu;

namespace georeckon {

class CRecentFiles : public wxFileHistory {
 public:
  static constexpr size_t kMaxEntries = 5;
  CRecentFiles();

  void AddFileToHistory(const wxString& file) override;
  void RemoveFileFromHistory(size_t i) override;
  void UseMenu(wxMenu* menu) override;
  void RemoveMenu(wxMenu* menu) override;
  void AddFilesToMenu() override;
  void AddFilesToMenu(wxMenu* menu) override;

 private:
  // Rebuilds the entries of `menu` from the list.
  void Rebuild(wxMenu* menu);

  std::vector<wxMenu*> menus_;
};

}  // namespace georeckon
