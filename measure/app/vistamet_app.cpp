#include "measure/app/vistamet_app.h"

#include <wx/cmdline.h>
#include <wx/display.h>
#include <wx/gdicmn.h>
#include <wx/config.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/stdpaths.h>
#include <wx/utils.h>

#include "common/gui/chinese_texts.h"
#include "measure/shell/app_texts.h"
#include "measure/shell/desktop_integration.h"
#include "measure/app/autosave.h"
#include "measure/app/doc_manager.h"
#include "measure/app/main_frame.h"
#include "measure/app/user_settings_store.h"

namespace vistamet {

namespace {

wxString U(const char* s) { return wxString::FromUTF8(s); }

}  // namespace

bool CVistametApp::OnInit() {
  SetAppName(U(ui::kAppName));
  SetAppDisplayName(U(ui::kAppName));
  SetVendorName(U(ui::kVendorName));
  wxStandardPaths::Get().SetFileLayout(wxStandardPaths::FileLayout_XDG);
  if (!wxApp::OnInit()) return false;  // the command line
  common::UseChineseStockTexts(wxStandardPaths::Get().GetExecutablePath());

  // The settings file's folder may not exist yet on a fresh account.
  const wxString config_dir = wxStandardPaths::Get().GetUserConfigDir();
  if (!wxFileName::DirExists(config_dir)) wxFileName::Mkdir(config_dir, 0700, wxPATH_MKDIR_FULL);

  manager_ = new CDocManager;
  manager_->CreateTemplates(Views());
  if (wxConfigBase* config = wxConfigBase::Get()) {
    const wxString old_path = config->GetPath();
    config->SetPath(kRecentFilesGroup);
    manager_->FileHistoryLoad(*config);
    config->SetPath(old_path);
  }

  frame_ = new CMainFrame(manager_);
  manager_->SetFrame(frame_);
  SetTopWindow(frame_);
  // Without a window manager Maximize does nothing; the frame then still
  // covers the screen.
  frame_->SetSize(wxGetClientDisplayRect());
  frame_->Maximize(true);
  frame_->Show(true);

  autosave_ = new CAutosave(manager_);
  autosave_->SetMinutes(LoadAutosaveMinutes());

  // A project named on the command line (the desktop's open request) opens
  // once the frame is up; a bare start opens nothing. Then what a crashed
  // run left is offered.
  if (!start_file_.empty()) CallAfter([this] { OpenProject(start_file_); });
  CallAfter([this] {
    if (autosave_) autosave_->OfferOrphans();
  });
  return true;
}

int CVistametApp::OnExit() {
  delete autosave_;
  autosave_ = nullptr;
  if (manager_) {
    if (wxConfigBase* config = wxConfigBase::Get()) {
      const wxString old_path = config->GetPath();
      config->SetPath(kRecentFilesGroup);
      manager_->FileHistorySave(*config);
      config->SetPath(old_path);
      config->Flush();
    }
    delete manager_;
    manager_ = nullptr;
  }
  if (write_shortcut_) {
    // Silently nothing when the user has no desktop folder.
    const std::string home = wxFileName::GetHomeDir().ToStdString(wxConvUTF8);
    wxString config_home;
    if (!wxGetEnv("XDG_CONFIG_HOME", &config_home) || config_home.empty())
      config_home = wxFileName::GetHomeDir() + "/.config";
    WriteDesktopShortcut(DesktopFolder(home, config_home.ToStdString(wxConvUTF8)),
                         wxStandardPaths::Get().GetExecutablePath().ToStdString(wxConvUTF8));
  }
  return wxApp::OnExit();
}

void CVistametApp::OnInitCmdLine(wxCmdLineParser& parser) {
  wxApp::OnInitCmdLine(parser);
  parser.AddParam("project", wxCMD_LINE_VAL_STRING,
                  wxCMD_LINE_PARAM_OPTIONAL | wxCMD_LINE_PARAM_MULTIPLE);
}

bool CVistametApp::OnCmdLineParsed(wxCmdLineParser& parser) {
  wxApp::OnCmdLineParsed(parser);
  if (parser.GetParamCount() > 0) {
    wxFileName name(parser.GetParam(0));
    name.MakeAbsolute();
    start_file_ = name.GetFullPath();
  }
  return true;
}

wxDocument* CVistametApp::OpenProject(const wxString& path) {
  if (!manager_ || !wxFileName::FileExists(path)) return nullptr;
  wxLogNull quiet;  // our own messages say what is wrong with a file
  return manager_->CreateDocument(path, wxDOC_SILENT);
}

}  // namespace vistamet
