#include "geotools/app/about_dlg.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "geotools/app/app_texts.h"
#include "geotools/app/icons.h"
#include "geotools/app/ui_services.h"

namespace georeckon {

CAboutDlg::CAboutDlg(wxWindow* parent) : wxDialog(parent, wxID_ANY, Wx(app_texts::kAboutTitle)) {
  auto* top = new wxBoxSizer(wxVERTICAL);
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  row->Add(new wxStaticBitmap(this, wxID_ANY, ProgramBitmap(FromDIP(48))), 0, wxALIGN_TOP | wxALL,
           FromDIP(12));
  auto* lines = new wxBoxSizer(wxVERTICAL);
  lines->Add(new wxStaticText(this, wxID_ANY, Wx(app_texts::kAboutVersion), wxDefaultPosition,
                              wxDefaultSize, 0, "version"),
             0, wxBOTTOM, FromDIP(8));
  lines->Add(new wxStaticText(this, wxID_ANY, Wx(app_texts::kAboutLine), wxDefaultPosition,
                              wxDefaultSize, 0, "description"));
  row->Add(lines, 1, wxALIGN_CENTER_VERTICAL | wxTOP | wxBOTTOM | wxRIGHT, FromDIP(16));
  auto* ok = new wxButton(this, wxID_OK, Wx(app_texts::kOk));
  ok->SetDefault();
  row->Add(ok, 0, wxALIGN_TOP | wxALL, FromDIP(12));
  top->Add(row, 1, wxEXPAND);
  SetSizerAndFit(top);
  CentreOnParent();
}

}  // namespace georeckon
