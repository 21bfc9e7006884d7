// CGeoReckonApp: starts GeoReckon with its document manager, the one
// document template (.grk), the main window and a first empty document, and
// keeps the settings and recent files in the user's configuration.
#pragma once

#include <wx/app.h>

class wxConfigBase;

namespace georeckon {

class CGeoReckonDocManager;
class CMainFrame;

class CGeoReckonApp : public wxApp {
 public:
  bool OnInit() override;
  int OnExit() override;

  CMainFrame* main_frame() const { return frame_; }
  CGeoReckonDocManager* doc_manager() const { return manager_; }

 private:
  CGeoReckonDocManager* manager_ = nullptr;
  CMainFrame* frame_ = nullptr;
};

// The settings file: $XDG_CONFIG_HOME/GeoReckon/GeoReckon.conf (by default
// under ~/.config); its folder is made when missing.
wxString SettingsFilePath();

// The running application's main window (null before it exists).
CMainFrame* TheMainFrame();

}  // namespace georeckon

wxDECLARE_APP(georeckon::CGeoReckonApp);
