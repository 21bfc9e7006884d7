#include "geotools/app/main_frame.h"

#include <wx/artprov.h>
#include <wx/config.h>
#include <wx/log.h>
#include <wx/menu.h>
#include <wx/statusbr.h>
#include <wx/toolbar.h>
#include <wx/utils.h>

#include "geotools/app/about_dlg.h"
#include "geotools/app/app_texts.h"
#include "geotools/app/icons.h"
#include "geotools/app/menus.h"
#include "geotools/app/ui_services.h"

namespace georeckon {

namespace t = app_texts;

namespace {

const char kSettingsGroup[] = "/Settings/";

}  // namespace

CMainFrame::CMainFrame(wxDocManager* manager, wxConfigBase* settings)
    : wxDocMDIParentFrame(manager, nullptr, wxID_ANY, Wx(t::kProgramName), wxDefaultPosition,
                          wxSize(1000, 700), wxDEFAULT_FRAME_STYLE | wxFRAME_NO_WINDOW_MENU,
                          "mainFrame"),
      settings_(settings) {
  SetIcons(ProgramIcons());
  wxMenuBar* bar = CreateStartMenuBar();
  file_menu_ = FileMenuOf(bar);
  manager->FileHistoryUseMenu(file_menu_);
  SetMenuBar(bar);
  CreateTools();

  wxStatusBar* status = CreateStatusBar(4);
  const int widths[4] = {-1, FromDIP(60), FromDIP(60), FromDIP(60)};
  status->SetStatusWidths(4, widths);
  SetStatusText(Wx(t::kStatusReady), 0);

  if (settings_) {
    int x = -1, y = -1, w = 0, h = 0;
    settings_->Read(wxString(kSettingsGroup) + "x", &x);
    settings_->Read(wxString(kSettingsGroup) + "y", &y);
    settings_->Read(wxString(kSettingsGroup) + "width", &w);
    settings_->Read(wxString(kSettingsGroup) + "height", &h);
    if (w >= 400 && h >= 300) SetSize(x, y, w, h);
    bool shown = true;
    if (settings_->Read(wxString(kSettingsGroup) + "toolbar", &shown) && !shown) {
      GetToolBar()->Hide();
    }
    if (settings_->Read(wxString(kSettingsGroup) + "statusbar", &shown) && !shown) {
      GetStatusBar()->Hide();
    }
    bool maximized = false;
    settings_->Read(wxString(kSettingsGroup) + "maximized", &maximized);
    if (maximized) Maximize(true);
  }

  Bind(wxEVT_MENU, &CMainFrame::OnViewToolbar, this, ID_VIEW_TOOLBAR);
  Bind(wxEVT_MENU, &CMainFrame::OnViewStatusBar, this, ID_VIEW_STATUS_BAR);
  Bind(wxEVT_UPDATE_UI, &CMainFrame::OnUpdateViewToolbar, this, ID_VIEW_TOOLBAR);
  Bind(wxEVT_UPDATE_UI, &CMainFrame::OnUpdateViewStatusBar, this, ID_VIEW_STATUS_BAR);
  Bind(
      wxEVT_UPDATE_UI, [](wxUpdateUIEvent& e) { e.Enable(false); }, ID_EDIT_UNDO, ID_EDIT_PASTE);
  Bind(wxEVT_MENU, &CMainFrame::OnAbout, this, wxID_ABOUT);
  Bind(
      wxEVT_MENU, [this](wxCommandEvent&) { Close(); }, ID_APP_EXIT);
  Bind(
      wxEVT_MENU,
      [this](wxCommandEvent&) {
        wxDocManager* manager = GetDocumentManager();
        if (wxDocument* doc = manager->GetCurrentDocument()) manager->CloseDocument(doc);
      },
      ID_FILE_CLOSE);
  Bind(
      wxEVT_UPDATE_UI,
      [this](wxUpdateUIEvent& e) {
        e.Enable(GetDocumentManager()->GetCurrentDocument() != nullptr);
      },
      ID_FILE_CLOSE);
  Bind(wxEVT_MENU, &CMainFrame::OnWindowCommand, this, ID_WINDOW_CASCADE, ID_WINDOW_ARRANGE);
  Bind(wxEVT_IDLE, &CMainFrame::OnIdle, this);
  Bind(wxEVT_CLOSE_WINDOW, &CMainFrame::OnClose, this);
}

CMainFrame::~CMainFrame() {
  if (GetDocumentManager() && file_menu_) GetDocumentManager()->FileHistoryRemoveMenu(file_menu_);
}

void CMainFrame::CreateTools() {
  wxToolBar* bar = CreateToolBar(wxTB_HORIZONTAL | wxTB_FLAT, wxID_ANY, "toolbar");
  const wxSize size = FromDIP(wxSize(16, 16));
  auto art = [size](const wxArtID& id) {
    return wxArtProvider::GetBitmap(id, wxART_TOOLBAR, size);
  };
  bar->AddTool(wxID_NEW, Wx(t::kToolNew), art(wxART_NEW), Wx(t::kToolNew));
  bar->AddTool(wxID_OPEN, Wx(t::kToolOpen), art(wxART_FILE_OPEN), Wx(t::kToolOpen));
  bar->AddTool(wxID_SAVE, Wx(t::kToolSave), art(wxART_FILE_SAVE), Wx(t::kToolSave));
  bar->AddSeparator();
  bar->AddTool(ID_EDIT_CUT, Wx(t::kToolCut), art(wxART_CUT), Wx(t::kToolCut));
  bar->AddTool(ID_EDIT_COPY, Wx(t::kToolCopy), art(wxART_COPY), Wx(t::kToolCopy));
  bar->AddTool(ID_EDIT_PASTE, Wx(t::kToolPaste), art(wxART_PASTE), Wx(t::kToolPaste));
  bar->AddSeparator();
  bar->AddTool(wxID_PRINT, Wx(t::kToolPrint), art(wxART_PRINT), Wx(t::kToolPrint));
  bar->AddTool(wxID_ABOUT, Wx(t::kToolAbout), art(wxART_HELP), Wx(t::kToolAbout));
  bar->Realize();
}

void CMainFrame::SaveSettings() {
  if (!settings_) return;
  const bool maximized = IsMaximized();
  settings_->Write(wxString(kSettingsGroup) + "maximized", maximized);
  if (!maximized && !IsIconized()) {
    const wxRect r = GetRect();
    settings_->Write(wxString(kSettingsGroup) + "x", r.x);
    settings_->Write(wxString(kSettingsGroup) + "y", r.y);
    settings_->Write(wxString(kSettingsGroup) + "width", r.width);
    settings_->Write(wxString(kSettingsGroup) + "height", r.height);
  }
  settings_->Write(wxString(kSettingsGroup) + "toolbar", GetToolBar() && GetToolBar()->IsShown());
  settings_->Write(wxString(kSettingsGroup) + "statusbar",
                   GetStatusBar() && GetStatusBar()->IsShown());
  wxLogNull quiet;
  settings_->Flush();
}

void CMainFrame::OnViewToolbar(wxCommandEvent&) {
  if (wxToolBar* bar = GetToolBar()) {
    bar->Show(!bar->IsShown());
    SendSizeEvent();
  }
}

void CMainFrame::OnViewStatusBar(wxCommandEvent&) {
  if (wxStatusBar* bar = GetStatusBar()) {
    bar->Show(!bar->IsShown());
    SendSizeEvent();
  }
}

void CMainFrame::OnUpdateViewToolbar(wxUpdateUIEvent& event) {
  event.Check(GetToolBar() && GetToolBar()->IsShown());
}

void CMainFrame::OnUpdateViewStatusBar(wxUpdateUIEvent& event) {
  event.Check(GetStatusBar() && GetStatusBar()->IsShown());
}

void CMainFrame::OnAbout(wxCommandEvent&) {
  CAboutDlg dialog(this);
  dialog.ShowModal();
}

void CMainFrame::OnWindowCommand(wxCommandEvent& event) {
  switch (event.GetId()) {
    case ID_WINDOW_CASCADE:
      Cascade();
      break;
    case ID_WINDOW_TILE:
      Tile();
      break;
    case ID_WINDOW_ARRANGE:
      ArrangeIcons();
      break;
    default:
      event.Skip();
  }
}

void CMainFrame::OnIdle(wxIdleEvent& event) {
  event.Skip();
  wxStatusBar* status = GetStatusBar();
  if (!status || !status->IsShown()) return;
  const wxKeyCode keys[3] = {WXK_CAPITAL, WXK_NUMLOCK, WXK_SCROLL};
  const char* labels[3] = {t::kStatusCaps, t::kStatusNum, t::kStatusScroll};
  for (int i = 0; i < 3; ++i) {
    const bool on = wxGetKeyState(keys[i]);
    if (on == indicators_[i] && !status->GetStatusText(i + 1).empty() == on) continue;
    indicators_[i] = on;
    status->SetStatusText(on ? Wx(labels[i]) : wxString(), i + 1);
  }
}

void CMainFrame::OnClose(wxCloseEvent& event) {
  SaveSettings();
  event.Skip();  // the framework closes the documents (and may be vetoed)
}

}  // namespace georeckon
