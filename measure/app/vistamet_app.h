// The measurement program's application object: start-up (settings, the
// five document templates, the main frame, an optional project named on the
// command line) and shut-down (recent files, the desktop launcher).
#pragma once

#include <wx/app.h>

class wxDocument;

namespace vistamet {

class CAutosave;
class CDocManager;
class CMainFrame;
struct ViewClasses;

class CVistametApp : public wxApp {
 public:
  bool OnInit() override;
  int OnExit() override;
  void OnInitCmdLine(wxCmdLineParser& parser) override;
  bool OnCmdLineParsed(wxCmdLineParser& parser) override;
  bool OnCmdLineError(wxCmdLineParser&) override { return true; }

  CDocManager* DocManager() const { return manager_; }
  CMainFrame* MainFrame() const { return frame_; }

  // Opens a project file as the desktop's open request does; nullptr when
  // it is refused.
  wxDocument* OpenProject(const wxString& path);

  // Whether a normal exit writes the desktop launcher (tests turn it off).
  void SetWriteShortcut(bool on) { write_shortcut_ = on; }

 protected:
  // The view classes of the project's windows (see CVistametProgram).
  virtual ViewClasses Views() const = 0;

 private:
  CDocManager* manager_ = nullptr;
  CMainFrame* frame_ = nullptr;
  CAutosave* autosave_ = nullptr;
  wxString start_file_;
  bool write_shortcut_ = true;
};

// The configuration group of the recent-file list.
inline constexpr char kRecentFilesGroup[] = "/Recent File List";

}  // namespace vistamet
