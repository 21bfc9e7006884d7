#include "geotools/app/seven_solve_dlg.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/textctrl.h>

#include "geotools/app/app_texts.h"
#include "geotools/app/ui_services.h"
#include "geotools/compute/param_file.h"
#include "geotools/compute/residuals.h"
#include "geotools/compute/texts.h"

namespace georeckon {

namespace t = app_texts;

CSevenSolveDlg::CSevenSolveDlg(wxWindow* parent)
    : CCommonPointDlg(parent, t::kSevenSolveTitle, CommonPointKind::kSpatial) {
  auto* top = new wxBoxSizer(wxVERTICAL);
  AddTableAndEntry(top, t::kGroupManual, t::kSevenEntryLabels);

  wxStaticBoxSizer* group = Group(t::kGroupTransformParams, wxHORIZONTAL);
  wxWindow* box = group->GetStaticBox();
  auto* grid = new wxFlexGridSizer(6, FromDIP(wxSize(6, 6)));
  for (int c : {1, 3, 5}) grid->AddGrowableCol(c, 1);
  double* values[7] = {&params_.dX0,    &params_.dY0,    &params_.dZ0,    &params_.thetaX,
                       &params_.thetaY, &params_.thetaZ, &params_.dLambda};
  static const char* const kNames[7] = {"dX0",    "dY0",    "dZ0",    "thetaX",
                                        "thetaY", "thetaZ", "dLambda"};
  // Shifts on the first row, rotations on the second, the scale on the third.
  for (int i = 0; i < 7; ++i) {
    wxTextCtrl* edit = NumberEdit(box, kNames[i], values[i]);
    edit->SetEditable(false);
    edit->SetMinSize(wxSize(FromDIP(120), -1));
    AddRow(box, grid, t::kSevenParamLabels[i], edit);
  }
  group->Add(grid, 1, wxEXPAND | wxALL, FromDIP(6));
  group->Add(MakeButton(box, t::kSaveParams, "saveParams"), 0, wxALIGN_BOTTOM | wxALL, FromDIP(6));
  top->Add(group, 0, wxEXPAND | wxALL, FromDIP(8));
  residuals_ = AddResidualView(top);

  auto* row = new wxBoxSizer(wxHORIZONTAL);
  row->AddStretchSpacer();
  wxButton* solve = MakeButton(this, t::kSolve, "solve");
  row->Add(solve, 0, wxRIGHT, FromDIP(6));
  row->Add(new wxButton(this, wxID_OK, Wx(t::kOk)), 0);
  top->Add(row, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, FromDIP(8));
  solve->SetDefault();
  Finish(top);

  solve->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnSolve(); });
  ButtonNamed("saveParams")->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnSave(); });
  Bind(
      wxEVT_BUTTON, [this](wxCommandEvent&) { EndWith(wxID_OK); }, wxID_OK);
}

void CSevenSolveDlg::OnSolve() {
  table()->CloseEditor();
  SevenParams solved;
  switch (SolveSevenFromRows(table()->rows(), &solved)) {
    case SolveStatus::kOk:
      params_ = solved;
      residuals_->ChangeValue(Wx(FormatResidualReport(SevenResiduals(table()->rows(), params_))));
      ShowValues({&params_.dX0, &params_.dY0, &params_.dZ0, &params_.thetaX, &params_.thetaY,
                  &params_.thetaZ, &params_.dLambda});
      break;
    case SolveStatus::kTooFewPoints:
      ShowMessage(texts::kNeedThreePoints, wxOK | wxICON_WARNING, this);
      break;
    case SolveStatus::kSingular:
      ShowMessage(texts::kSevenSolveFailed, wxOK, this);
      break;
    case SolveStatus::kOutOfMemory:
      ShowError(texts::kOutOfMemory, this);
      break;
  }
}

void CSevenSolveDlg::OnSave() {
  table()->CloseEditor();
  std::string path;
  if (!ChooseParamFile(&path)) return;
  std::string error;
  if (!WriteSevenParamFile(path, params_, table()->rows(), &error)) {
    ShowError(texts::kCreateFileError, this);
    return;
  }
  OpenWithDefaultProgram(path);
}

}  // namespace georeckon
