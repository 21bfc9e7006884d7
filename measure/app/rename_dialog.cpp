#include "measure/app/rename_dialog.h"

#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "common/strformat.h"
#include "measure/shell/app_texts.h"
#include "measure/app/range_validator.h"

namespace vistamet {

CRenameDialog::CRenameDialog(wxWindow* parent, int32_t old_number)
    : CDialogBase(parent, ui::kRenameTitle), old_number_(old_number), new_number_(old_number) {
  auto* top = new wxBoxSizer(wxVERTICAL);
  auto* grid = new wxFlexGridSizer(2, 8, 8);
  grid->Add(new wxStaticText(this, wxID_ANY, wxString::FromUTF8(ui::kOldName)), 0,
            wxALIGN_CENTER_VERTICAL);
  old_ = new wxTextCtrl(this, wxID_ANY, wxString::FromUTF8(common::StrFormat("%d", old_number_)),
                        wxDefaultPosition, wxSize(140, -1), wxTE_READONLY);
  grid->Add(old_, 1, wxEXPAND);
  grid->Add(new wxStaticText(this, wxID_ANY, wxString::FromUTF8(ui::kNewName)), 0,
            wxALIGN_CENTER_VERTICAL);
  new_ = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(140, -1));
  new_->SetValidator(CRangeValidator(&new_number_, kMinNumber, kMaxNumber));
  grid->Add(new_, 1, wxEXPAND);
  grid->AddGrowableCol(1);
  top->Add(grid, 1, wxALL | wxEXPAND, 10);
  FinishLayout(top);
  TransferDataToWindow();
  new_->SetFocus();
  new_->SelectAll();
}

}  // namespace vistamet
