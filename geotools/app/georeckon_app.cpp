#include "geotools/app/georeckon_app.h"

#include <wx/config.h>
#include <wx/fileconf.h>
#include <wx/image.h>
#include <wx/stdpaths.h>

#include "geotools/app/app_texts.h"
#include "geotools/app/doc_manager.h"
#include "geotools/app/geo_reckon_doc.h"
#include "geotools/app/geo_reckon_view.h"
#include "geotools/app/main_frame.h"
#include "geotools/app/ui_services.h"

namespace georeckon {

namespace {
const char kRecentFilesGroup[] = "/RecentFiles";
}

CMainFrame* TheMainFrame() {
  auto* app = dynamic_cast<CGeoReckonApp*>(wxTheApp);
  return app ? app->main_frame() : nullptr;
}

bool CGeoReckonApp::OnInit() {
  SetAppName(app_texts::kProgramName);
  SetAppDisplayName(app_texts::kProgramName);
  wxInitAllImageHandlers();

  // Settings and recent files: ~/.config/GeoReckon/GeoReckon.conf.
  wxStandardPaths::Get().SetFileLayout(wxStandardPaths::FileLayout_XDG);
  wxConfigBase::Set(new wxFileConfig(app_texts::kProgramName, wxEmptyString, wxEmptyString,
                                     wxEmptyString,
                                     wxCONFIG_USE_LOCAL_FILE | wxCONFIG_USE_SUBDIR));
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
  manager_->CreateNewDocument();
  return true;
}

int CGeoReckonApp::OnExit() {
  if (manager_) {
    if (wxConfigBase* config = wxConfigBase::Get(false)) {
      config->SetPath(kRecentFilesGroup);
      manager_->FileHistorySave(*config);
      config->SetPath("/");
      config->Flush();
    }
    delete manager_;
    manager_ = nullptr;
  }
  delete wxConfigBase::Set(nullptr);
  return wxApp::OnExit();
}

}  // namespace georeckon
