// CMainFrame: the main window of GeoReckon, holding the document windows,
// the toolbar and the status bar (prompt text and the caps, num and scroll
// lock indicators). Its size, position and bars are kept in the settings.
#pragma once

#include <wx/docmdi.h>

class wxConfigBase;

namespace georeckon {

class CMainFrame : public wxDocMDIParentFrame {
 public:
  CMainFrame(wxDocManager* manager, wxConfigBase* settings);
  ~CMainFrame() override;

  // Writes the window's size, position and bars into the settings.
  void SaveSettings();

 private:
  void CreateTools();
  void OnViewToolbar(wxCommandEvent&);
  void OnViewStatusBar(wxCommandEvent&);
  void OnUpdateViewToolbar(wxUpdateUIEvent& event);
  void OnUpdateViewStatusBar(wxUpdateUIEvent& event);
  void OnAbout(wxCommandEvent&);
  void OnWindowCommand(wxCommandEvent& event);
  void OnIdle(wxIdleEvent& event);
  void OnClose(wxCloseEvent& event);

  wxConfigBase* settings_;
  wxMenu* file_menu_ = nullptr;
  bool indicators_[3] = {false, false, false};
};

}  // namespace georeckon
