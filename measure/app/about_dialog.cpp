#include "measure/app/about_dialog.h"

#include <wx/button.h>
#include <wx/filesys.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "measure/shell/app_texts.h"
#include "measure/app/hyper_link.h"
#include "measure/app/icons/command_icons.h"
#include "measure/app/main_frame.h"

namespace vistamet {

namespace {

wxString U(const char* s) { return wxString::FromUTF8(s); }

}  // namespace

CAboutDialog::CAboutDialog(wxWindow* parent) : wxDialog(parent, wxID_ANY, U(ui::kAboutTitle)) {
  auto* top = new wxBoxSizer(wxVERTICAL);
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  row->Add(new wxStaticBitmap(this, wxID_ANY, AppBitmap(48)), 0, wxALL | wxALIGN_TOP, 12);

  auto* lines = new wxBoxSizer(wxVERTICAL);
  lines->Add(new wxStaticText(this, wxID_ANY, U(ui::kAboutVersion)), 0, wxBOTTOM, 8);
  // The program's own page is its user's guide, shipped with it.
  const wxString guide_path = UserGuidePath();
  const wxString guide = wxFileSystem::FileNameToURL(
      guide_path.empty() ? ProgramFolder() + "Vistamet-manual.html" : guide_path);
  link_ = new CHyperLink(this, U(ui::kAboutProgram), guide);
  lines->Add(link_, 0, wxBOTTOM, 8);
  lines->Add(new wxStaticText(this, wxID_ANY, U(ui::kAboutCredits)), 0);
  row->Add(lines, 1, wxTOP | wxRIGHT | wxBOTTOM | wxEXPAND, 12);
  top->Add(row, 1, wxEXPAND);

  auto* ok = new wxButton(this, wxID_OK, U(ui::kOk));
  ok->SetDefault();
  top->Add(ok, 0, wxALIGN_RIGHT | wxRIGHT | wxBOTTOM, 12);
  SetSizerAndFit(top);
  CentreOnParent();
}

}  // namespace vistamet
