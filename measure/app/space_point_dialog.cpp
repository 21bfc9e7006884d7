#include "measure/app/space_point_dialog.h"

#include <wx/checkbox.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "measure/shell/app_texts.h"
#include "measure/app/range_validator.h"
#include "measure/model/vistamet_doc.h"

namespace vistamet {

namespace {

wxString U(const char* s) { return wxString::FromUTF8(s); }

}  // namespace

CSpacePointDialog::CSpacePointDialog(wxWindow* parent, const SpacePoint& record)
    : CDialogBase(parent, ui::kSpacePointTitle), record_(record) {
  number_value_ = record.pointNumber;
  xyz_[0] = record.X;
  xyz_[1] = record.Y;
  xyz_[2] = record.Z;

  auto* top = new wxBoxSizer(wxVERTICAL);
  auto* head = new wxFlexGridSizer(2, 8, 8);
  control_ = new wxCheckBox(this, wxID_ANY, U(ui::kControlPoint));
  control_->SetValue(record.IsControl());
  head->Add(control_, 0, wxALIGN_CENTER_VERTICAL);
  head->AddSpacer(0);
  head->Add(new wxStaticText(this, wxID_ANY, U(ui::kPointNumber)), 0, wxALIGN_CENTER_VERTICAL);
  number_ = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(120, -1));
  number_->SetValidator(CRangeValidator(&number_value_, kMinNumber, kMaxNumber));
  head->Add(number_, 1, wxEXPAND);
  top->Add(head, 0, wxALL | wxEXPAND, 10);

  coord_group_ = new wxStaticBoxSizer(wxVERTICAL, this);
  wxWindow* box = coord_group_->GetStaticBox();
  auto* grid = new wxFlexGridSizer(3, 6, 8);
  const char* labels[3] = {ui::kCoordX, ui::kCoordY, ui::kCoordZ};
  for (int i = 0; i < 3; ++i) {
    grid->Add(new wxStaticText(box, wxID_ANY, U(labels[i])), 0, wxALIGN_CENTER_VERTICAL);
    coord_[i] = new wxTextCtrl(box, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(140, -1));
    coord_[i]->SetValidator(CRangeValidator(&xyz_[i]));
    grid->Add(coord_[i], 1, wxEXPAND);
    grid->Add(new wxStaticText(box, wxID_ANY, U(ui::kUnitMm)), 0, wxALIGN_CENTER_VERTICAL);
  }
  grid->AddGrowableCol(1);
  coord_group_->Add(grid, 1, wxALL | wxEXPAND, 8);
  top->Add(coord_group_, 0, wxLEFT | wxRIGHT | wxEXPAND, 10);

  FinishLayout(top);
  TransferDataToWindow();
  // A proposed corner of the reference square is shown as the control
  // point it is, as if it had been typed.
  if (!ShowReferenceCorner()) ApplyLayout();

  number_->SetFocus();
  number_->SelectAll();
  control_->Bind(wxEVT_CHECKBOX, &CSpacePointDialog::OnControlToggled, this);
  number_->Bind(wxEVT_TEXT, &CSpacePointDialog::OnNumberChanged, this);
}

bool CSpacePointDialog::CoordinatesShown() const {
  return coord_group_->GetStaticBox()->IsShown();
}

void CSpacePointDialog::ApplyLayout() {
  const bool control = control_->GetValue();
  for (wxTextCtrl* edit : coord_) edit->SetEditable(control);
  GetSizer()->Show(coord_group_, control, true);
  // Shortened without the group, full height with it.
  GetSizer()->SetSizeHints(this);
  Fit();
  Layout();
}

void CSpacePointDialog::OnControlToggled(wxCommandEvent&) {
  // Keep what was typed so far; a field that does not read as a number
  // keeps its previous value.
  for (int i = 0; i < 3; ++i) ParseReal(coord_[i]->GetValue().ToStdString(wxConvUTF8), &xyz_[i]);
  ApplyLayout();
}

void CSpacePointDialog::OnNumberChanged(wxCommandEvent&) { ShowReferenceCorner(); }

bool CSpacePointDialog::ShowReferenceCorner() {
  SpacePoint corner;
  if (!ParseInteger(number_->GetValue().ToStdString(wxConvUTF8), &corner.pointNumber) ||
      !IsReferenceNumber(corner.pointNumber))
    return false;
  // A corner of the reference square is a control point with known
  // coordinates.
  ApplyReferenceCorner(corner);
  control_->SetValue(true);
  const double xyz[3] = {corner.X, corner.Y, corner.Z};
  for (int i = 0; i < 3; ++i) {
    xyz_[i] = xyz[i];
    coord_[i]->ChangeValue(wxString::FromUTF8(FormatReal(xyz[i])));
  }
  ApplyLayout();
  return true;
}

bool CSpacePointDialog::Accept() {
  if (!CDialogBase::Accept()) return false;
  record_.controlFlag = control_->GetValue() ? 1 : 0;
  record_.pointNumber = number_value_;
  record_.X = xyz_[0];
  record_.Y = xyz_[1];
  record_.Z = xyz_[2];
  return true;
}

}  // namespace vistamet
