#include "geotools/app/geo_reckon_app.h"

#include <wx/config.h>
#include <wx/fileconf.h>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/stdpaths.h>
#include <wx/utils.h>

#include "common/gui/chinese_texts.h"
#include "geotools/app/app_texts.h"
#include "geotools/app/geo_reckon_doc.h"
#include "geotools/app/geo_reckon_doc_manager.h"
#include "geotools/app/geo_reckon_view.h"
#include "geotools/app/main_frame.h"
#include "geotools/app/ui_services.h"

namespace georeckon {

namespace {
const char kRecentFilesGroup[] = "/RecentFiles";
}

wxString SettingsFilePath() {
  wxString base;
  if (!wxGetEnv("XDG_CONFIG_HOME", &base) || base.empty()) base = wxGetHomeDir() + "/.config";
  const wxString dir = base + "/" + app_texts::kProgramName;
  // The settings are a convenience: a folder that cannot be made only means
  // that they are not kept.
  wxLogNull quiet;
  wxFileName::Mkdir(dir, wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
  return dir + "/" + app_texts::kProgramName + ".conf";
}

CMainFrame* TheMainFrame() {
  auto* app = dynamic_cast<CGeoReckonApp*>(wxTheApp);
  return app ? app->main_frame() : nullptr;
}

bool CGeoReckonApp::OnInit() {
  SetAppName(app_texts::kProgramName);
  SetAppDisplayName(app_texts::kProgramName);
  wxInitAllImageHandlers();
  common::UseChineseStockTexts(wxStandardPaths::Get().GetExecutablePath());

  // Settings and recent files: ~/.config/GeoReckon/GeoReckon.conf.
  wxConfigBase::Set(new wxFileConfig(app_texts::kProgramName, wxEmptyString, SettingsFilePath(),
                                     wxEmptyString, wxCONFIG_USE_LOCAL_FILE));
  wxConfigBase* config = wxConfigBase::Get();

  manager_ = new CGeoReckonDocManager;
  new wxDocTemplate(manager_, Wx(app_texts::kDocDescription), Wx(app_texts::kDocFilter),
                    wxEmptyString, Wx(app_texts::kDocExtension), Wx(app_texts::kDocTypeName),
                    Wx(app_texts::kViewTypeName), CLASSINFO(CGeoReckonDoc),
                    CLASSINFO(CGeoReckonView));
  config->SetPath(kRecentFilesGroup);
  manager_->FileHistoryLoad(*config);
  config->SetPath("/");

  frame_ = new CMainFrame(manager_, config);
  SetTopWindow(frame_);
  frame_->Show(true);
  // Files named on the command line open; otherwise a new document does.
  bool opened = false;
  for (int i = 1; i < argc; ++i) {
    opened = manager_->CreateDocument(argv[i], wxDOC_SILENT) != nullptr || opened;
  }
  if (!opened) manager_->CreateNewDocument();
  return true;
}

int CGeoReckonApp::OnExit() {
  if (manager_) {
    wxLogNull quiet;
    if (wxConfigBase* config = wxConfigBase::Get(false)) {
      config->SetPath(kRecentFilesGroup);
      manager_->FileHistorySave(*config);
      config->SetPath("/");
      config->Flush();
    }
    delete manager_;
    manager_ = nullptr;
  }
  {
    wxLogNull quiet;
    delete wxConfigBase::Set(nullptr);
  }
  return wxApp::OnExit();
}

}  // namespace georeckon
