#include "measure/views/map_title_dialog.h"

#include <wx/checkbox.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "measure/app/flag_validator.h"
#include "measure/shell/app_texts.h"

namespace vistamet {

CMapTitleDialog::CMapTitleDialog(wxWindow* parent, const std::string& title, int32_t show_time)
    : CDialogBase(parent, ui::kMapTitleDialog), title_(title), show_time_(show_time) {
  auto* top = new wxBoxSizer(wxVERTICAL);
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  row->Add(new wxStaticText(this, wxID_ANY, wxString::FromUTF8(ui::kMapTitleLabel)), 0,
           wxALIGN_CENTER_VERTICAL | wxRIGHT, 8);
  edit_ = new wxTextCtrl(this, wxID_ANY, wxString::FromUTF8(title_), wxDefaultPosition,
                         wxSize(280, -1));
  row->Add(edit_, 1, wxEXPAND);
  top->Add(row, 0, wxALL | wxEXPAND, 10);
  check_ = new wxCheckBox(this, wxID_ANY, wxString::FromUTF8(ui::kMapShowTimeLabel));
  check_->SetValidator(CFlagValidator(&show_time_));
  top->Add(check_, 0, wxLEFT | wxRIGHT, 10);
  FinishLayout(top);
  TransferDataToWindow();
}

bool CMapTitleDialog::TransferDataFromWindow() {
  if (!CDialogBase::TransferDataFromWindow()) return false;
  // One line: the project file keeps the title on one line.
  wxString text = edit_->GetValue();
  text.Replace("\r", " ");
  text.Replace("\n", " ");
  title_ = text.ToStdString(wxConvUTF8);
  return true;
}

}  // namespace vistamet
