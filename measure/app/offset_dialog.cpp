#include "measure/app/offset_dialog.h"

#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "measure/shell/app_texts.h"
#include "measure/app/range_validator.h"

namespace vistamet {

COffsetDialog::COffsetDialog(wxWindow* parent) : CDialogBase(parent, ui::kOffsetTitle) {
  auto* top = new wxBoxSizer(wxVERTICAL);
  auto* grid = new wxFlexGridSizer(3, 8, 8);
  const char* labels[3] = {ui::kOffsetX, ui::kOffsetY, ui::kOffsetZ};
  for (int i = 0; i < 3; ++i) {
    grid->Add(new wxStaticText(this, wxID_ANY, wxString::FromUTF8(labels[i])), 0,
              wxALIGN_CENTER_VERTICAL);
    edits_[i] = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(160, -1));
    edits_[i]->SetValidator(CRangeValidator(&xyz_[i], -kLimit, kLimit));
    grid->Add(edits_[i], 1, wxEXPAND);
    grid->Add(new wxStaticText(this, wxID_ANY, wxString::FromUTF8(ui::kUnitMm)), 0,
              wxALIGN_CENTER_VERTICAL);
  }
  grid->AddGrowableCol(1);
  top->Add(grid, 1, wxALL | wxEXPAND, 10);
  FinishLayout(top);
  TransferDataToWindow();
}

}  // namespace vistamet
